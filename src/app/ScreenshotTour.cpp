#include "ScreenshotTour.h"

#include "shell/LoginDlg.h"
#include "shell/MainFrame.h"
#include "shell/NoticePane.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QTimer>
#include <cstdio>

namespace telvora {

namespace {

// Time for the service's first answers (stock, notice) and for each page to paint.
constexpr int kSettleMs = 1500;
constexpr int kPageMs = 300;

QString fileNameFor(const QString& caption)
{
    static const QList<QPair<QString, QString>> names = {
        {QStringLiteral("今日提醒"), QStringLiteral("page-today")},
        {QStringLiteral("短信群发"), QStringLiteral("page-send")},
        {QStringLiteral("客户资料"), QStringLiteral("page-cards")},
        {QStringLiteral("短信记录"), QStringLiteral("page-records")},
        {QStringLiteral("移动助理"), QStringLiteral("page-assistant")},
        {QStringLiteral("精准短信"), QStringLiteral("page-precision")},
    };
    for (const auto& [page, name] : names) {
        if (page == caption)
            return name + QStringLiteral(".png");
    }
    return caption + QStringLiteral(".png");
}

} // namespace

ScreenshotTour::ScreenshotTour(CMainFrame& frame, QString directory, QObject* parent)
    : QObject(parent)
    , m_frame(frame)
    , m_directory(std::move(directory))
{ }

ScreenshotTour::~ScreenshotTour() = default;

void ScreenshotTour::start()
{
    QDir().mkpath(m_directory);
    if (CLoginDlg* login = m_frame.loginDialog()) {
        save(*login, QStringLiteral("login.png"));
        // A scripted login that fails leaves the dialog open: nothing more to take.
        connect(login, &CLoginDlg::loginAttempted, this, [](int result) {
            if (result != static_cast<int>(LoginOutcome::Result::LoggedIn))
                QCoreApplication::exit(1);
        });
    }
    connect(&m_frame, &CMainFrame::loginDialogFinished, this,
        [this]() { QTimer::singleShot(kSettleMs, this, &ScreenshotTour::takePages); });
}

void ScreenshotTour::takePages()
{
    m_remaining = {QStringLiteral("今日提醒"), QStringLiteral("短信群发"), QStringLiteral("客户资料"),
        QStringLiteral("短信记录"), QStringLiteral("移动助理")};
    takeNextPage();
}

void ScreenshotTour::takeNextPage()
{
    if (m_remaining.isEmpty()) {
        QCoreApplication::exit(m_failures == 0 ? 0 : 1);
        return;
    }
    const QString caption = m_remaining.takeFirst();
    m_frame.SwitchPage(caption);
    QTimer::singleShot(kPageMs, this, [this, caption]() {
        save(m_frame, fileNameFor(caption));
        takeNextPage();
    });
}

bool ScreenshotTour::save(QWidget& widget, const QString& name)
{
    const QString path = QDir(m_directory).filePath(name);
    const bool saved = widget.grab().save(path);
    std::fprintf(stderr, "%s %s\n", saved ? "saved" : "could not save", qPrintable(path));
    if (!saved)
        ++m_failures;
    return saved;
}

} // namespace telvora
