#pragma once

#include "app/FrameServices.h"
#include "db/TableGroups.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <memory>
#include <vector>

class QAction;
class QDialog;
class QDockWidget;
class QLabel;
class QProgressBar;
class QTimer;

namespace telvora {

class CCardFolderView;
class CFolderNumberCache;
class CSMSSendView;
class CSelCardFolderView;
class CBirthdayDailySend;
class CFrameRuntime;
class CReminderCheck;
class CRemainListView;
class CLoginDlg;
class CNavigationPane;
class CNoticePane;
class CTrayIcon;
class CWorkArea;
class DesktopAlertStack;
struct MaintenanceServices;
struct PageRow;
struct ViewServices;
struct ShellServices;

// The program's one top-level window: menus and tool bar, the pages of the work area,
// the navigation and notice panes, the status bar, the tray icon, and (through
// CFrameRuntime) the timer work of the session. The views it hosts reach it only as
// FrameServices.
class CMainFrame final : public QMainWindow, public FrameServices
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMainFrame)

public:
    static constexpr const char* kClosingQuestion = "短信发送任务尚未完成，强行退出将造成异常失败，您是否强行退出?";

    explicit CMainFrame(ShellServices& services, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Every page caption, in the order of the work area.
    QStringList pageCaptions() const;
    // Shows the page of that caption, making it when first shown; false (nothing
    // changes) for an unknown one.
    bool SwitchPage(const QString& caption);
    QString currentPage() const;
    // The view of that page; null until the page was first shown.
    QWidget* page(const QString& caption) const;
    CWorkArea* workArea() const { return m_work; }
    // The docking panes that belong to pages, by object name.
    QDockWidget* pageDock(const QString& name) const { return m_pageDocks.value(name); }

    void showPage(const QString& caption, int hint) override;
    void showLeftPane(bool shown) override;
    void setStatusText(const QString& text) override;
    void setProgress(int done, int total) override;
    void endProgress() override;
    void runCommand(int command) override;

    // Opens the login dialog (modal to the application); showFrame shows this window
    // once it closes, whatever the outcome, as at start-up.
    CLoginDlg* openLoginDialog(bool showFrame);
    CLoginDlg* loginDialog() const;

    QAction* commandAction(int id) const { return m_commands.value(id); }

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
    CReminderCheck* reminderCheck() const { return m_reminderCheck; }
    QString lunarText() const;

public slots:
    // Command 139, posted after a successful login.
    void onAfterLogin();
    void onRefreshStock();

signals:
    void pageSwitched(const QString& caption);
    void loginDialogFinished(int result);
    // The closing sequence is over and the window is closing.
    void frameClosing();
    // A dialog of a menu or tool bar command was opened (window-modal).
    void toolDialogOpened(QDialog* dialog);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QVector<PageRow> pageTable();
    CSelCardFolderView* makeRecipientPicker(QWidget* parent);
    // The send page's view; null until that page was first shown.
    CSMSSendView* sendView() const;
    void onPageSwitched(const QString& caption);
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
    void onSendCompleted(int recordId, bool finished, const QString& detail);
    void offerResume();
    bool resumeNext();
    void setOnlineIcon(bool online);
    void restoreFromTray();
    void openLink(const QString& url);
    ViewServices viewServices();
    void onSettings();
    void onHolidays();
    void updateLunarPane();
    void greetHoliday(int holidayId);
    QDialog* openToolDialog(QDialog* dialog);
    void onRegionQuery();
    void onDivision();
    void onExtract();
    void onPhrases();
    void onAccounts();
    void onBills();
    void onPassword();
    MaintenanceServices maintenanceServices();
    // Shows "您尚未在线登录!" and is true when no user is logged in.
    bool refuseOffline();
    void onBackup(bool restoring);
    void onCompact();
    void onClearData();
    void onRestoreGroup(TableGroup group);
    void onClearCards();

    ShellServices& m_services;
    // Shared by the recipient pickers of every page, so a folder checked anywhere is read once.
    std::unique_ptr<CFolderNumberCache> m_folderNumbers;
    QHash<int, QAction*> m_commands;
    CWorkArea* m_work;
    QHash<QString, QDockWidget*> m_pageDocks;
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
    CReminderCheck* m_reminderCheck = nullptr;
    CBirthdayDailySend* m_birthdays = nullptr;
    QPointer<CRemainListView> m_remainList;
    QTimer* m_lunarTimer = nullptr;
    QPointer<CLoginDlg> m_loginDialog;
    QPointer<CCardFolderView> m_cardFolders;
    // Interrupted records the user chose to finish, sent one after another.
    std::vector<int> m_resumeQueue;
    bool m_resuming = false;
    QStringList m_resumeNotes;
};

} // namespace telvora
