#pragma once

#include <QDockWidget>
#include <QFutureWatcher>
#include <memory>

class QTextBrowser;

namespace telvora {

class CWebClient;

// "系统公告": the service's notice page, shown as rich text. The page is fetched on a
// worker with a short time-out of its own, so a slow site never holds up the window.
class CNoticePane final : public QDockWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CNoticePane)

public:
    static constexpr const char* kNoticePath = "/download/UserNoticeNew.asp";

    CNoticePane(int timeoutMs, QWidget* parent = nullptr);
    // Waits for a fetch in progress (at most the time-out).
    ~CNoticePane() override;

    QTextBrowser* browser() const { return m_browser; }
    QString lastUrl() const { return m_url; }

public slots:
    // address is the service's host[:port].
    void load(const QString& address);

signals:
    void loaded(bool ok);

private:
    struct Page
    {
        bool ok = false;
        QString html;
    };

    std::unique_ptr<CWebClient> m_web;
    QTextBrowser* m_browser;
    QFutureWatcher<Page> m_watcher;
    QString m_url;
    QString m_pendingAddress;
};

} // namespace telvora
