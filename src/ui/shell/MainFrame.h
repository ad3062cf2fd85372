#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <vector>

class QAction;
class QLabel;
class QProgressBar;
class QStackedWidget;

namespace telvora {

class CFrameRuntime;
class CLoginDlg;
class CNavigationPane;
class CNoticePane;
class CTrayIcon;
class DesktopAlertStack;
struct ShellServices;

// The program's one top-level window: menus and tool bar, the pages of the work area,
// the navigation and notice panes, the status bar, the tray icon, and (through
// CFrameRuntime) the timer work of the session.
class CMainFrame final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMainFrame)

public:
    // Command ids of the menus and the tool bar.
    enum Command : int {
        CmdLogin = 32812,
        CmdClearData = 32781,
        CmdExit = 57665,
        CmdRestoreCards = 32797,
        CmdClearCards = 32799,
        CmdRestoreRecords = 32804,
        CmdClearRecords = 32805,
        CmdBackup = 32793,
        CmdRestore = 32802,
        CmdCompact = 32789,
        CmdPassword = 32778,
        CmdRefreshStock = 32803,
        CmdSettings = 32811,
        CmdHolidays = 32815,
        CmdUpdate = 32810,
        CmdRegionQuery = 32813,
        CmdDivision = 32817,
        CmdExtract = 32820,
        CmdWebsite = 32807,
        CmdMail = 32808,
        CmdHelp = 32809,
        CmdAbout = 57664,
        CmdPhrases = 32774,
        CmdBills = 32791,
        CmdAccounts = 138,
    };

    static constexpr const char* kClosingQuestion = "短信发送任务尚未完成，强行退出将造成异常失败，您是否强行退出?";

    explicit CMainFrame(ShellServices& services, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Every page caption, in the order of the work area.
    static QStringList pageCaptions();
    // Shows the page of that caption; false (nothing changes) for an unknown one.
    bool SwitchPage(const QString& caption);
    QString currentPage() const;
    QWidget* page(const QString& caption) const;

    // Opens the login dialog (modal to the application); showFrame shows this window
    // once it closes, whatever the outcome, as at start-up.
    CLoginDlg* openLoginDialog(bool showFrame);
    CLoginDlg* loginDialog() const;

    QAction* commandAction(int id) const { return m_commands.value(id); }

    void setStatusText(const QString& text);
    QString statusText() const;
    QString firstPaneText() const;
    QString stockText() const;
    bool isOnlineIconShown() const { return m_online; }
    QProgressBar* progressPane() const { return m_progress; }

    CFrameRuntime* runtime() const { return m_runtime; }
    CNavigationPane* navigationPane() const { return m_navigation; }
    CNoticePane* noticePane() const { return m_notice; }
    CTrayIcon* trayIcon() const { return m_tray; }
    DesktopAlertStack* alerts() const { return m_alerts; }

public slots:
    // Command 139, posted after a successful login.
    void onAfterLogin();
    void onRefreshStock();

signals:
    void pageSwitched(const QString& caption);
    void loginDialogFinished(int result);
    // The closing sequence is over and the window is closing.
    void frameClosing();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createPages();
    void createCommands();
    void createStatusBar();
    void createPanes();
    QAction* addCommand(int id, const QString& text);
    void onLoginCommand();
    void onClearRecords();
    void onAbout();
    void onUpdate();
    void onLoggedIn(bool interfaceAccount);
    void onSessionEnded();
    void onSendProgress(int done, int total);
    void onSendCompleted(bool finished, const QString& detail);
    void offerResume();
    bool resumeNext();
    void setOnlineIcon(bool online);
    void restoreFromTray();
    void openLink(const QString& url);

    ShellServices& m_services;
    QHash<int, QAction*> m_commands;
    QHash<QString, QWidget*> m_pages;
    QStackedWidget* m_work;
    CNavigationPane* m_navigation = nullptr;
    CNoticePane* m_notice = nullptr;
    QLabel* m_firstPane = nullptr;
    QLabel* m_iconPane = nullptr;
    QLabel* m_statusPane = nullptr;
    QLabel* m_lunarPane = nullptr;
    QLabel* m_stockPane = nullptr;
    QProgressBar* m_progress = nullptr;
    bool m_online = false;
    CTrayIcon* m_tray;
    DesktopAlertStack* m_alerts;
    CFrameRuntime* m_runtime;
    QPointer<CLoginDlg> m_loginDialog;
    // Interrupted records the user chose to finish, sent one after another.
    std::vector<int> m_resumeQueue;
    bool m_resuming = false;
    QStringList m_resumeNotes;
};

} // namespace telvora
