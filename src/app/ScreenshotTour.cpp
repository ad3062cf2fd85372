#include "ScreenshotTour.h"

#include "app/HintBroadcaster.h"
#include "send/LoadSendFileDlg.h"
#include "send/RecipientHandOver.h"
#include "send/SMSSendView.h"
#include "send/SmsRules.h"
#include "shell/LoginDlg.h"
#include "shell/MainFrame.h"
#include "shell/NoticePane.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QPlainTextEdit>
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

// What the card list does before it switches to the send page.
void handOver(CSMSSendView& view)
{
    std::vector<std::string> recipients {"13500135000", "13100131000", "15312345678", "18612345678"};
    CarrierCounts counts;
    for (const std::string& number : recipients) {
        counts.add(ClassifyMobileNumber(number));
    }
    view.handOver().handOverRecipients(std::move(recipients), counts);
    view.onHint(HintBroadcaster::NumbersHandedOver);
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
        QStringLiteral("短信记录"), QStringLiteral("移动助理"), QStringLiteral("精准短信")};
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
        if (caption != QStringLiteral("短信群发")) {
            takeNextPage();
            return;
        }
        composeSendPage([this]() {
            QTimer::singleShot(kPageMs, this, [this]() {
                save(m_frame, QStringLiteral("page-send-composed.png"));
                takeNextPage();
            });
        });
    });
}

void ScreenshotTour::composeSendPage(std::function<void()> done)
{
    QWidget* page = m_frame.page(QStringLiteral("短信群发"));
    CSMSSendView* view = page ? page->findChild<CSMSSendView*>() : nullptr;
    const QString file = m_files.filePath(QStringLiteral("会员名单.txt"));
    QFile numbers(file);
    if (!view || !numbers.open(QIODevice::WriteOnly)) {
        ++m_failures;
        done();
        return;
    }
    numbers.write("张先生 13800138000\n李女士 13912345678, 15012345678\n王经理 18912345678\n17712345678\n");
    numbers.close();

    // Long enough for two segments.
    view->messageEdit()->setPlainText(
        QStringLiteral("尊敬的会员：本周六至周日全场商品八折，会员再享积分双倍，凭本短信到店还可领取精美礼品一份，"
                       "数量有限，送完即止。详情请咨询门店或回复本短信，退订请回复T。"));
    for (const char* typed : {"13600136000", "13012345678", "18012345678"}) {
        view->numberBox()->setEditText(QString::fromLatin1(typed));
        view->onNumberEntered();
    }
    // The file goes through the load dialog, which reads it on its worker thread; the view
    // adds the row when the dialog finishes.
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(view, &CSMSSendView::loadDialogOpened, this,
        [this, connection, view, file, done = std::move(done)](CLoadSendFileDlg* dialog) {
            disconnect(*connection);
            connect(dialog, &QDialog::finished, this, [view, done]() {
                handOver(*view);
                done();
            });
            // A file that yields nothing leaves the dialog open: close it so the tour goes on.
            connect(dialog, &CLoadSendFileDlg::loadingFinished, dialog, [this, dialog]() {
                QTimer::singleShot(0, dialog, [this, dialog]() {
                    if (dialog->isVisible()) {
                        ++m_failures;
                        dialog->reject();
                    }
                });
            });
            dialog->startLoading(file);
        });
    view->onLoadFileClicked();
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
