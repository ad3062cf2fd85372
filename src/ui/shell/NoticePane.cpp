#include "shell/NoticePane.h"

#include "service/WebClient.h"

#include <QTextBrowser>
#include <QtConcurrent/QtConcurrentRun>
#include <utility>

namespace telvora {

CNoticePane::CNoticePane(int timeoutMs, QWidget* parent)
    : QDockWidget(QStringLiteral("系统公告"), parent)
    , m_web(std::make_unique<CWebClient>(nullptr, timeoutMs, timeoutMs))
    , m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("noticePane"));
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    m_browser->setOpenExternalLinks(true);
    setWidget(m_browser);
    connect(&m_watcher, &QFutureWatcher<Page>::finished, this, [this]() {
        const Page page = m_watcher.result();
        if (page.ok)
            m_browser->setHtml(page.html);
        emit loaded(page.ok);
        if (!m_pendingAddress.isEmpty())
            load(std::exchange(m_pendingAddress, QString()));
    });
}

CNoticePane::~CNoticePane()
{
    m_watcher.waitForFinished();
}

void CNoticePane::load(const QString& address)
{
    if (m_watcher.isRunning()) {
        m_pendingAddress = address;
        return;
    }
    QString base = address.trimmed();
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    m_url = base + QLatin1String(kNoticePath);
    CWebClient& web = *m_web;
    const std::string url = m_url.toStdString();
    m_watcher.setFuture(QtConcurrent::run([&web, url]() {
        std::string reply;
        Page page;
        page.ok = web.Get(url, {}, reply) == CWebClient::kResultOk;
        if (page.ok)
            page.html = QString::fromStdString(reply);
        return page;
    }));
}

} // namespace telvora
