#include "shell/MainFrame.h"

#include "account/AccountChecks.h"
#include "account/MgrUserDlg.h"
#include "account/ModifyPasswordDlg.h"
#include "account/QueryBillDlg.h"
#include "app/AppConstants.h"
#include "app/AppContext.h"
#include "app/HintBroadcaster.h"
#include "app/LoginGate.h"
#include "app/ParameterStore.h"
#include "app/Prompter.h"
#include "app/ViewServices.h"
#include "contacts/CardFolderView.h"
#include "contacts/CardListView.h"
#include "contacts/CardSearchBar.h"
#include "db/ADODataBase.h"
#include "db/DatabaseMaintenance.h"
#include "db/DateTime.h"
#include "maintenance/DataBackupDlg.h"
#include "maintenance/MaintenanceServices.h"
#include "maintenance/RestoreDlg.h"
#include "records/RecordTexts.h"
#include "records/SMSLogTabView.h"
#include "records/SendHistory.h"
#include "records/SendLedger.h"
#include "remind/BirthdayDailySend.h"
#include "remind/CalendarRemainView.h"
#include "remind/HolidayMgrDlg.h"
#include "remind/LunarCalendar.h"
#include "remind/RemainListView.h"
#include "remind/ReminderCheck.h"
#include "remind/TodayView.h"
#include "send/CustomSendCheck.h"
#include "send/ExcelSMSSendView.h"
#include "send/FolderNumberCache.h"
#include "send/SMSSendView.h"
#include "send/SelCardFolderView.h"
#include "send/SendEngine.h"
#include "send/SendProgressAdapter.h"
#include "service/ServiceClient.h"
#include "session/Session.h"
#include "session/SessionKeeper.h"
#include "settings/SetupDlg.h"
#include "shell/AboutDlg.h"
#include "shell/FrameRuntime.h"
#include "shell/LoginDlg.h"
#include "shell/NavigationPane.h"
#include "shell/NoticePane.h"
#include "shell/SendTabView.h"
#include "shell/ShellIcons.h"
#include "shell/ShellOptions.h"
#include "shell/ShellServices.h"
#include "shell/TrayIcon.h"
#include "shell/Updater.h"
#include "shell/WorkArea.h"
#include "tools/DigGetPhone.h"
#include "tools/PhoneDivisionDlg.h"
#include "tools/PhoneQueryDlg.h"
#include "tools/RegionTable.h"
#include "tools/ShortMessageDlg.h"
#include "widgets/CalendarControl.h"
#include "widgets/DesktopAlertStack.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

namespace telvora {

namespace {

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

constexpr int kBalloonMs = 10'000;

} // namespace

CMainFrame::CMainFrame(ShellServices& services, QWidget* parent)
    : QMainWindow(parent)
    , m_services(services)
    , m_folderNumbers(std::make_unique<CFolderNumberCache>())
    , m_work(new CWorkArea(pageTable(), this))
    , m_tray(new CTrayIcon(this))
    , m_alerts(new DesktopAlertStack(this))
    , m_runtime(new CFrameRuntime(services, services.options.timings, this))
{
    setWindowTitle(QStringLiteral("Telvora"));
    setWindowIcon(ShellIcons::application());
    resize(1024, 700);
    setCentralWidget(m_work);

    createCommands();
    createStatusBar();
    createPanes();
    // Working offline, the window opens where a login would take it.
    SwitchPage(QStringLiteral("今日提醒"));

    m_alerts->setIcon(ShellIcons::alert());
    m_alerts->setTimings(services.options.timings.alertFadeMs, services.options.timings.alertShowMs);
    connect(m_runtime, &CFrameRuntime::statusTextChanged, this, &CMainFrame::setStatusText);
    connect(m_runtime, &CFrameRuntime::stockTextChanged, this, [this](const QString& text) {
        m_stockPane->setText(text);
        // The pane is as wide as the old client made it: (digits of the stock + 40) x 3.
        const int digits = static_cast<int>(QString::number(m_services.session.stock).size());
        m_stockPane->setMinimumWidth(text.isEmpty() ? 0 : (digits + 40) * 3);
    });
    connect(m_runtime, &CFrameRuntime::sessionEnded, this, &CMainFrame::onSessionEnded);
    connect(m_runtime, &CFrameRuntime::replyArrived, m_alerts, &DesktopAlertStack::showAlert);
    connect(m_runtime, &CFrameRuntime::incomingSound, this, []() { QApplication::beep(); });
    connect(m_runtime, &CFrameRuntime::lowStockWarning, this, [this](const QString& lines) {
        m_services.prompter.message(this, PromptKind::Information, QStringLiteral("帐号余量不足提示"), lines);
    });

    CSendProgressAdapter& progress = m_services.sendProgress;
    connect(&progress, &CSendProgressAdapter::progressReported, this, &CMainFrame::setProgress);
    connect(&progress, &CSendProgressAdapter::finished, this,
        [this](int recordId, const QString& note) { onSendCompleted(recordId, true, note); });
    connect(&progress, &CSendProgressAdapter::failed, this,
        [this](int recordId, const QString& message) { onSendCompleted(recordId, false, message); });
    connect(&progress, &CSendProgressAdapter::writeRetrying, this,
        [this]() { setStatusText(QStringLiteral("发送记录暂时无法写入，正在重试......")); });

    connect(m_tray, &CTrayIcon::restoreRequested, this, &CMainFrame::restoreFromTray);
    connect(m_tray, &CTrayIcon::exitRequested, this, &QWidget::close);
    connect(m_tray, &CTrayIcon::websiteRequested, this, [this]() { commandAction(CmdWebsite)->trigger(); });
    if (QSystemTrayIcon::isSystemTrayAvailable())
        m_tray->show();

    // Automatic copies at close go here.
    QDir().mkpath(qs(m_services.app.GetApplicationDirectory()) + QStringLiteral("backupdata"));

    m_notice->load(qs(m_services.login.InitialServiceAddress()));
    m_runtime->start();

    m_birthdays = new CBirthdayDailySend(viewServices(), this);
    m_reminderCheck = new CReminderCheck(m_services.app.GetDatabase(), m_services.session, m_services.loginGate,
        m_services.prompter, m_services.hints, &DateTime::now, this);
    m_reminderCheck->start();
    // Set at creation, and again as the day turns while the program runs.
    updateLunarPane();
    m_lunarTimer = new QTimer(this);
    connect(m_lunarTimer, &QTimer::timeout, this, &CMainFrame::updateLunarPane);
    m_lunarTimer->start(60'000);
}

CMainFrame::~CMainFrame() = default;

QVector<PageRow> CMainFrame::pageTable()
{
    // Pages still to come have no factory yet; their layout is already theirs.
    const auto sendPage = [this](QWidget* parent) -> QWidget* {
        return new CSendTabView(
            new CSMSSendView(viewServices()), new CExcelSMSSendView(viewServices(), m_services.sendProgress), parent);
    };
    const auto recordsPage = [this](QWidget* parent) -> QWidget* { return new CSMSLogTabView(viewServices(), parent); };
    // The folder tree is made first; the card list then hears its selection.
    const auto folderPane = [this](QWidget* parent) -> QWidget* {
        m_cardFolders = new CCardFolderView({m_services.app, m_services.prompter, m_services.hints, *this}, parent);
        return m_cardFolders;
    };
    const auto cardPage = [this](QWidget* parent) -> QWidget* {
        auto* list = new CCardListView(
            {m_services.app, m_services.prompter, m_services.hints, m_services.handOver, *this}, parent);
        if (m_cardFolders)
            connect(m_cardFolders, &CCardFolderView::folderSelected, list, &CCardListView::showFolder);
        return list;
    };
    const auto cardSearch = [](QWidget* parent, QWidget* view) -> QWidget* {
        auto* bar = new CCardSearchBar(parent);
        if (auto* list = qobject_cast<CCardListView*>(view)) {
            connect(bar, &CCardSearchBar::searchTextChanged, list, &CCardListView::filterCards);
            connect(bar, &CCardSearchBar::advancedSearchRequested, list, &CCardListView::findCards);
        }
        return bar;
    };
    const auto todayPage = [this](QWidget* parent) -> QWidget* {
        auto* view = new CTodayView(viewServices(), parent);
        connect(view, &CTodayView::holidayGreetingRequested, this, &CMainFrame::greetHoliday);
        return view;
    };
    const auto remindList = [this](QWidget* parent) -> QWidget* {
        m_remainList = new CRemainListView(viewServices(), &DateTime::now, parent);
        return m_remainList;
    };
    const auto calendarPage = [this](QWidget* parent) -> QWidget* {
        auto* view = new CCalendarRemainView(viewServices(), &DateTime::now, parent);
        if (m_remainList) {
            connect(m_remainList, &CRemainListView::taskActionRequested, view, &CCalendarRemainView::taskAction);
            connect(m_remainList, &CRemainListView::holidayGreetingRequested, view,
                &CCalendarRemainView::startHolidayGreeting);
            connect(m_remainList, &CRemainListView::typeFilterChosen, view, &CCalendarRemainView::reload);
        }
        if (auto* picker
            = qobject_cast<QCalendarWidget*>(m_pageDocks.value(QStringLiteral("datePickerPane"))->widget()))
            connect(picker, &QCalendarWidget::clicked, view->calendar(), &CCalendarControl::setSelectedDate);
        return view;
    };
    const auto pickerPane = [this](QWidget* parent) -> QWidget* { return makeRecipientPicker(parent); };
    // The recipient picker left of the send page shows on "添加客户".
    return {
        {.caption = QStringLiteral("客户资料"),
            .view = cardPage,
            .left = folderPane,
            .leftWidth = 130,
            .top = cardSearch,
            .topHeight = 30},
        {.caption = QStringLiteral("短信群发"),
            .view = sendPage,
            .left = pickerPane,
            .leftWidth = 200,
            .leftHidden = true},
        {.caption = QStringLiteral("精准短信"), .leftWidth = 180},
        {.caption = QStringLiteral("今日提醒"),
            .view = todayPage,
            .left = pickerPane,
            .leftWidth = 200,
            .leftHidden = true},
        {.caption = QStringLiteral("短信记录"), .view = recordsPage},
        {.caption = QStringLiteral("移动助理"),
            .view = calendarPage,
            .left = remindList,
            .leftWidth = 170,
            .docks = {QStringLiteral("datePickerPane")}},
    };
}

CSelCardFolderView* CMainFrame::makeRecipientPicker(QWidget* parent)
{
    auto* picker = new CSelCardFolderView(
        {m_services.app, m_services.prompter, m_services.hints, m_services.handOver, *this, *m_folderNumbers}, parent);
    // The send list takes folder rows only once the send page exists.
    connect(picker, &CSelCardFolderView::folderChecked, this,
        [this](const QString& folder, const CollectedNumbers& numbers) {
            if (CSMSSendView* view = sendView())
                view->addFolderRow(folder, numbers);
        });
    connect(picker, &CSelCardFolderView::folderUnchecked, this, [this](const QString& folder) {
        if (CSMSSendView* view = sendView())
            view->removeFolderRows(folder);
    });
    return picker;
}

CSMSSendView* CMainFrame::sendView() const
{
    QWidget* sendPage = page(QStringLiteral("短信群发"));
    return sendPage ? sendPage->findChild<CSMSSendView*>() : nullptr;
}

QStringList CMainFrame::pageCaptions() const
{
    return m_work->captions();
}

bool CMainFrame::SwitchPage(const QString& caption)
{
    return m_work->SwitchPage(caption);
}

void CMainFrame::onPageSwitched(const QString& caption)
{
    const QStringList shown = m_work->currentDocks();
    for (const QString& name : m_work->pageDocks()) {
        if (QDockWidget* dock = m_pageDocks.value(name))
            dock->setVisible(shown.contains(name));
    }
    m_navigation->setCurrentPage(caption);
    emit pageSwitched(caption);
}

QString CMainFrame::currentPage() const
{
    return m_work->currentPage();
}

QWidget* CMainFrame::page(const QString& caption) const
{
    return m_work->view(caption);
}

void CMainFrame::showPage(const QString& caption, int hint)
{
    SwitchPage(caption);
    if (hint != 0)
        m_services.hints.broadcast(hint);
}

void CMainFrame::showLeftPane(bool shown)
{
    m_work->showLeftPane(shown);
}

void CMainFrame::runCommand(int command)
{
    if (command == CmdFetchReplies) {
        m_runtime->onFetchTimer();
        return;
    }
    QAction* action = m_commands.value(command);
    if (action && action->isEnabled())
        action->trigger();
}

QAction* CMainFrame::addCommand(int id, const QString& text)
{
    auto* action = new QAction(text, this);
    action->setData(id);
    // Commands without a handler belong to parts of the program not built yet.
    action->setEnabled(false);
    m_commands.insert(id, action);
    return action;
}

void CMainFrame::createCommands()
{
    QStyle* style = QApplication::style();
    auto handle = [this](int id, auto slot) {
        QAction* action = m_commands.value(id);
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, slot);
    };

    QMenu* system = menuBar()->addMenu(QStringLiteral("系统(&S)"));
    system->addAction(addCommand(CmdLogin, QStringLiteral("用户登录")));
    system->addAction(addCommand(CmdPassword, QStringLiteral("修改密码")));
    system->addSeparator();
    system->addAction(addCommand(CmdSettings, QStringLiteral("系统设置")));
    system->addAction(addCommand(CmdHolidays, QStringLiteral("节日管理")));
    system->addSeparator();
    system->addAction(addCommand(CmdExit, QStringLiteral("退出(&X)")));

    QMenu* data = menuBar()->addMenu(QStringLiteral("数据管理(&D)"));
    data->addAction(addCommand(CmdBackup, QStringLiteral("数据库备份")));
    data->addAction(addCommand(CmdRestore, QStringLiteral("数据库还原")));
    data->addAction(addCommand(CmdCompact, QStringLiteral("修复/压缩数据库")));
    data->addAction(addCommand(CmdClearData, QStringLiteral("清除数据")));
    data->addSeparator();
    data->addAction(addCommand(CmdRestoreCards, QStringLiteral("恢复用户资料")));
    data->addAction(addCommand(CmdClearCards, QStringLiteral("清理用户资料")));
    data->addAction(addCommand(CmdRestoreRecords, QStringLiteral("恢复发送/接收历史记录")));
    data->addAction(addCommand(CmdClearRecords, QStringLiteral("清理发送/接收历史记录")));
    data->addSeparator();
    data->addAction(addCommand(CmdRefreshStock, QStringLiteral("更新余量")));

    QMenu* tools = menuBar()->addMenu(QStringLiteral("工具(&T)"));
    tools->addAction(addCommand(CmdRegionQuery, QStringLiteral("手机归属地查询...")));
    tools->addAction(addCommand(CmdDivision, QStringLiteral("手机归属省/市分离...")));
    tools->addAction(addCommand(CmdExtract, QStringLiteral("号码提取工具...")));

    QMenu* help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    help->addAction(addCommand(CmdUpdate, QStringLiteral("在线升级")));
    help->addSeparator();
    help->addAction(addCommand(CmdWebsite, QStringLiteral("访问Pelwin网站")));
    help->addAction(addCommand(CmdMail, QStringLiteral("发邮件给我们")));
    help->addAction(addCommand(CmdHelp, QStringLiteral("使用帮助")));
    help->addSeparator();
    help->addAction(addCommand(CmdAbout, QStringLiteral("关于Telvora...")));

    addCommand(CmdPhrases, QStringLiteral("短语库"));
    addCommand(CmdBills, QStringLiteral("帐单查询"));
    addCommand(CmdAccounts, QStringLiteral("帐号管理"));

    handle(CmdLogin, &CMainFrame::onLoginCommand);
    handle(CmdExit, &QWidget::close);
    handle(CmdClearRecords, &CMainFrame::onClearRecords);
    handle(CmdRefreshStock, &CMainFrame::onRefreshStock);
    handle(CmdAbout, &CMainFrame::onAbout);
    handle(CmdSettings, &CMainFrame::onSettings);
    handle(CmdHolidays, &CMainFrame::onHolidays);
    handle(CmdRegionQuery, &CMainFrame::onRegionQuery);
    handle(CmdDivision, &CMainFrame::onDivision);
    handle(CmdExtract, &CMainFrame::onExtract);
    handle(CmdPhrases, &CMainFrame::onPhrases);
    handle(CmdAccounts, &CMainFrame::onAccounts);
    handle(CmdBills, &CMainFrame::onBills);
    handle(CmdPassword, &CMainFrame::onPassword);
    handle(CmdBackup, [this]() { onBackup(false); });
    handle(CmdRestore, [this]() { onBackup(true); });
    handle(CmdCompact, &CMainFrame::onCompact);
    handle(CmdClearData, &CMainFrame::onClearData);
    handle(CmdRestoreCards, [this]() { onRestoreGroup(TableGroup::Cards); });
    handle(CmdRestoreRecords, [this]() { onRestoreGroup(TableGroup::Records); });
    handle(CmdClearCards, &CMainFrame::onClearCards);
    if (!CUpdater::ConfiguredProgram(m_services.app).isEmpty())
        handle(CmdUpdate, &CMainFrame::onUpdate);

    // The maker's site and mail address are configuration; without them the links stay off.
    const CIniFile& setup = m_services.app.GetSetupFile();
    const QString website = qs(setup.GetString(kSetupSection, "WebSite"));
    const QString mail = qs(setup.GetString(kSetupSection, "SupportMail"));
    const QString helpFile = qs(m_services.app.GetApplicationDirectory()) + QStringLiteral("Telvora帮助文档.doc");
    if (!website.isEmpty())
        handle(CmdWebsite, [this, website]() { openLink(website); });
    if (!mail.isEmpty())
        handle(CmdMail, [this, mail]() { openLink(QStringLiteral("mailto:") + mail); });
    if (QFileInfo::exists(helpFile))
        handle(CmdHelp, [this, helpFile]() { openLink(QUrl::fromLocalFile(helpFile).toString()); });

    m_commands.value(CmdLogin)->setIcon(style->standardIcon(QStyle::SP_DialogYesButton));
    m_commands.value(CmdRefreshStock)->setIcon(style->standardIcon(QStyle::SP_BrowserReload));
    m_commands.value(CmdSettings)->setIcon(style->standardIcon(QStyle::SP_FileDialogDetailedView));
    m_commands.value(CmdPhrases)->setIcon(style->standardIcon(QStyle::SP_FileDialogContentsView));
    m_commands.value(CmdBills)->setIcon(style->standardIcon(QStyle::SP_FileDialogListView));
    m_commands.value(CmdAccounts)->setIcon(style->standardIcon(QStyle::SP_DirHomeIcon));
    m_commands.value(CmdUpdate)->setIcon(style->standardIcon(QStyle::SP_ArrowUp));
    m_commands.value(CmdHelp)->setIcon(style->standardIcon(QStyle::SP_DialogHelpButton));
    m_commands.value(CmdExit)->setIcon(style->standardIcon(QStyle::SP_DialogCloseButton));

    QToolBar* toolBar = addToolBar(QStringLiteral("Standard"));
    toolBar->setObjectName(QStringLiteral("standardToolBar"));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolBar->setMovable(false);
    for (int id :
        {CmdLogin, CmdRefreshStock, CmdSettings, CmdPhrases, CmdBills, CmdAccounts, CmdUpdate, CmdHelp, CmdExit})
        toolBar->addAction(m_commands.value(id));
}

void CMainFrame::createStatusBar()
{
    QStatusBar* bar = statusBar();
    m_firstPane = new QLabel(bar);
    m_iconPane = new QLabel(bar);
    m_iconPane->setFixedWidth(32);
    m_statusPane = new QLabel(bar);
    m_statusPane->setMinimumWidth(100);
    // Today in the lunar calendar, once the calendar exists.
    m_lunarPane = new QLabel(bar);
    m_lunarPane->setFixedWidth(130);
    m_stockPane = new QLabel(bar);
    // Status texts carry the service's and the user's words: never rich text.
    for (QLabel* pane : {m_firstPane, m_statusPane, m_stockPane})
        pane->setTextFormat(Qt::PlainText);
    bar->addWidget(m_firstPane);
    bar->addWidget(m_iconPane);
    bar->addWidget(m_statusPane, 1);
    bar->addPermanentWidget(m_lunarPane);
    bar->addPermanentWidget(m_stockPane);
    setOnlineIcon(false);
}

void CMainFrame::createPanes()
{
    m_navigation = new CNavigationPane(this);
    m_notice = new CNoticePane(m_services.options.noticeTimeoutMs, this);
    addDockWidget(Qt::LeftDockWidgetArea, m_navigation);
    addDockWidget(Qt::LeftDockWidgetArea, m_notice);
    resizeDocks({m_navigation, m_notice}, {180, 180}, Qt::Horizontal);
    resizeDocks({m_navigation, m_notice}, {260, 320}, Qt::Vertical);
    connect(m_navigation, &CNavigationPane::pageRequested, this, &CMainFrame::SwitchPage);

    // The date picker of the reminders page; it starts closed.
    auto* datePicker = new QDockWidget(QStringLiteral("日期选择"), this);
    datePicker->setObjectName(QStringLiteral("datePickerPane"));
    datePicker->setWidget(new QCalendarWidget(datePicker));
    datePicker->widget()->setMinimumWidth(180);
    addDockWidget(Qt::RightDockWidgetArea, datePicker);
    datePicker->hide();
    m_pageDocks.insert(datePicker->objectName(), datePicker);
    connect(m_work, &CWorkArea::pageSwitched, this, &CMainFrame::onPageSwitched);
}

void CMainFrame::setStatusText(const QString& text)
{
    m_statusPane->setText(text);
}

QString CMainFrame::statusText() const
{
    return m_statusPane->text();
}

QString CMainFrame::firstPaneText() const
{
    return m_firstPane->text();
}

QString CMainFrame::stockText() const
{
    return m_stockPane->text();
}

void CMainFrame::setOnlineIcon(bool online)
{
    m_online = online;
    m_iconPane->setPixmap((online ? ShellIcons::online() : ShellIcons::offline()).pixmap(16, 16));
}

CLoginDlg* CMainFrame::openLoginDialog(bool showFrame)
{
    if (m_loginDialog)
        return m_loginDialog;
    auto* dialog = new CLoginDlg(m_services, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    m_loginDialog = dialog;
    connect(dialog, &QDialog::finished, this, [this, dialog, showFrame](int result) {
        if (showFrame)
            show();
        const LoginOutcome::Result outcome = dialog->outcome().result;
        if (result == QDialog::Accepted && outcome == LoginOutcome::Result::LoggedIn)
            onLoggedIn(false);
        else if (result == QDialog::Accepted && outcome == LoginOutcome::Result::InterfaceAccount)
            onLoggedIn(true);
        emit loginDialogFinished(result);
    });
    dialog->show();
    return dialog;
}

CLoginDlg* CMainFrame::loginDialog() const
{
    return m_loginDialog.data();
}

void CMainFrame::onLoginCommand()
{
    if (m_services.session.loggedIn) {
        m_services.prompter.information(this, QStringLiteral("系统已经登录！"));
        return;
    }
    openLoginDialog(false);
}

void CMainFrame::onLoggedIn(bool interfaceAccount)
{
    m_services.keeper.SessionStarted();
    // The connection now points at the account's database.
    m_services.hints.broadcast(HintBroadcaster::AddressBookChanged);
    m_runtime->refreshStock();
    setStatusText(QStringLiteral("在线登录成功"));
    m_firstPane->clear();
    setOnlineIcon(true);
    m_notice->load(qs(m_services.service.Address()));
    if (interfaceAccount) {
        // This account may not send from the client: the program ends.
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    QTimer::singleShot(0, this, &CMainFrame::onAfterLogin);
}

void CMainFrame::onAfterLogin()
{
    SwitchPage(QStringLiteral("今日提醒"));
    // A second for the window to show the page before the greetings may ask anything.
    QTimer::singleShot(1000, this, [this]() {
        if (m_services.loginGate.isOpen())
            m_birthdays->run(DateTime::now());
    });
    m_runtime->checkLowStockLater();
    offerResume();
}

void CMainFrame::offerResume()
{
    CSendEngine& engine = m_services.sendEngine;
    if (engine.IsBusy() || m_resuming)
        return;
    const ResumeOffer offer = ResumeOfferOf(engine.FindInterrupted());
    if (offer.recordIds.empty() || !m_services.prompter.question(this, qs(offer.question)))
        return;
    m_resumeQueue = offer.recordIds;
    m_resumeNotes.clear();
    if (!offer.unknownNote.empty())
        m_resumeNotes << qs(offer.unknownNote);
    m_resuming = resumeNext();
    if (!m_resuming)
        m_services.prompter.information(this, m_resumeNotes.join(QLatin1Char('\n')));
}

// Starts the next record of the queue; false when none could start.
bool CMainFrame::resumeNext()
{
    CSendEngine& engine = m_services.sendEngine;
    while (!m_resumeQueue.empty()) {
        const int recordId = m_resumeQueue.front();
        m_resumeQueue.erase(m_resumeQueue.begin());
        // The user's OK is the consent to send a scheduled record whose time has passed.
        if (engine.ResumeSend(recordId, false, true)) {
            setStatusText(QStringLiteral("短信正在发送，请不要退出软件!"));
            return true;
        }
        m_resumeNotes << qs(engine.GetLastError());
    }
    return false;
}

ViewServices CMainFrame::viewServices()
{
    return {m_services.app, m_services.session, m_services.service, m_services.sendEngine, m_services.prompter,
        m_services.hints, m_services.handOver, *this, m_services.loginGate};
}

void CMainFrame::onSettings()
{
    CSetupDlg dialog(m_services.app, m_services.session, m_services.prompter, this);
    dialog.exec();
}

void CMainFrame::onHolidays()
{
    CHolidayMgrDlg dialog(m_services.app.GetDatabase(), m_services.prompter, this);
    dialog.exec();
    m_services.hints.broadcast(HintBroadcaster::CalendarTasksChanged);
}

void CMainFrame::greetHoliday(int holidayId)
{
    SwitchPage(QStringLiteral("移动助理"));
    if (auto* calendar = qobject_cast<CCalendarRemainView*>(page(QStringLiteral("移动助理"))))
        calendar->startHolidayGreeting(holidayId);
}

void CMainFrame::updateLunarPane()
{
    m_lunarPane->setText(lunarText());
}

QString CMainFrame::lunarText() const
{
    const DateTime today = DateTime::now();
    const SystemTime solar = SystemTimeOf(today);
    SystemTime lunar;
    int leap = 0;
    const CLunarCalendar calendar;
    if (!calendar.SolarToLunar(&solar, &lunar, &leap))
        return {};
    return qs(calendar.FormatLunarDate(lunar, leap));
}

void CMainFrame::onRefreshStock()
{
    m_runtime->refreshStock();
}

void CMainFrame::onSessionEnded()
{
    setOnlineIcon(false);
    m_firstPane->setText(QStringLiteral("远程登录失败"));
    m_tray->showBalloon(QStringLiteral("Telvora"), QStringLiteral("与短信服务中心连接失败，请重新登录!"), kBalloonMs);
}

void CMainFrame::onClearRecords()
{
    // The running send's rows would be deleted under it and its record lost.
    if (m_services.sendEngine.IsBusy()) {
        m_services.prompter.information(this, QStringLiteral("短信发送任务尚未完成，不能清理发送记录!"));
        return;
    }
    if (!m_services.prompter.question(this, QStringLiteral("您是否确定要清空所有发送记录？")))
        return;
    CSendHistory history(m_services.app.GetDatabase());
    if (!history.Clear()) {
        m_services.prompter.error(this, QStringLiteral("清除发送记录数据失败!"));
        return;
    }
    m_services.hints.broadcast(HintBroadcaster::SendRecordsChanged);
    m_services.prompter.information(this, QStringLiteral("清除发送记录数据成功!"));
}

void CMainFrame::onAbout()
{
    CAboutDlg about(qs(m_services.app.GetCurrentVersion()), this);
    about.exec();
}

void CMainFrame::onUpdate()
{
    CUpdater::Start(m_services.app);
}

QDialog* CMainFrame::openToolDialog(QDialog* dialog)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    emit toolDialogOpened(dialog);
    return dialog;
}

void CMainFrame::onRegionQuery()
{
    std::string regionDatabase;
    PrepareRegionDatabase(m_services.app.GetDataDirectory(), regionDatabase);
    openToolDialog(new CPhoneQueryDlg(m_services.prompter, regionDatabase, this));
}

void CMainFrame::onDivision()
{
    std::string regionDatabase;
    PrepareRegionDatabase(m_services.app.GetDataDirectory(), regionDatabase);
    openToolDialog(new CPhoneDivisionDlg(m_services.prompter, regionDatabase, nullptr, this));
}

void CMainFrame::onExtract()
{
    openToolDialog(new CDigGetPhone(m_services.prompter, this));
}

void CMainFrame::onPhrases()
{
    auto* dialog = new CShortMessageDlg(m_services.prompter, m_services.app.GetDatabase(), this);
    connect(dialog, &QDialog::accepted, this, [this, dialog]() {
        // "选中发送": the phrase goes into the message of the send page.
        showPage(QStringLiteral("短信群发"), 0);
        if (CSMSSendView* view = sendView()) {
            view->insertPhrase(dialog->chosenText());
        }
    });
    openToolDialog(dialog);
}

void CMainFrame::onAccounts()
{
    CParameterStore& parameters = m_services.app.GetParameters();
    const std::string refusal = CheckAccountManagementAccess(m_services.session.loggedIn, parameters.Get("User"));
    if (!refusal.empty()) {
        m_services.prompter.information(this, qs(refusal));
        return;
    }
    QDialog* dialog = openToolDialog(
        new CMgrUserDlg(m_services.prompter, m_services.service, m_services.session, parameters.Get("Account"), this));
    // Stock moved in the dialog shows in the status bar once it closes.
    connect(dialog, &QDialog::finished, this, &CMainFrame::onRefreshStock);
}

void CMainFrame::onBills()
{
    if (!m_services.session.loggedIn) {
        m_services.prompter.information(this, QStringLiteral("系统尚未登录！"));
        return;
    }
    CParameterStore& parameters = m_services.app.GetParameters();
    const std::string refusal = CheckBillQueryAccess(parameters.Get("User"));
    if (!refusal.empty()) {
        m_services.prompter.information(this, qs(refusal));
        return;
    }
    openToolDialog(new CQueryBillDlg(
        m_services.prompter, m_services.service, m_services.session, parameters.Get("Account"), DateTime::now(), this));
}

void CMainFrame::onPassword()
{
    CAppContext& app = m_services.app;
    openToolDialog(new CModifyPasswordDlg({m_services.prompter, m_services.service, m_services.session,
                                              app.GetDatabase(), app.GetParameters(), m_services.vault},
        this));
}

MaintenanceServices CMainFrame::maintenanceServices()
{
    CSendEngine& engine = m_services.sendEngine;
    return MaintenanceServices {m_services.prompter, m_services.app, m_services.session, m_services.service,
        m_services.hints, [&engine]() { return engine.IsBusy(); }};
}

bool CMainFrame::refuseOffline()
{
    if (m_services.session.loggedIn)
        return false;
    m_services.prompter.information(this, QStringLiteral("您尚未在线登录!"));
    return true;
}

void CMainFrame::onBackup(bool restoring)
{
    auto* dialog = new CDataBackupDlg(maintenanceServices(), restoring, this);
    connect(dialog, &CDataBackupDlg::restoreChosen, this,
        [this](bool fromService) { openToolDialog(new CRestoreDlg(maintenanceServices(), fromService, this)); });
    openToolDialog(dialog);
}

void CMainFrame::onCompact()
{
    if (!m_services.prompter.question(this, QStringLiteral("压缩数据前请确认所有操作已停止")))
        return;
    CDatabaseMaintenance maintenance = maintenanceServices().maintenance();
    const CDatabaseMaintenance::Result result = maintenance.Compact();
    if (result == CDatabaseMaintenance::Result::Done)
        m_services.hints.broadcast(HintBroadcaster::AddressBookChanged);
    maintenanceServices().report(this, maintenance, result, QStringLiteral("压缩数据库成功完成"));
}

void CMainFrame::onClearData()
{
    if (refuseOffline() || !m_services.prompter.question(this, QStringLiteral("您是否确定要清空所有数据？")))
        return;
    CAppContext& app = m_services.app;
    CDatabaseMaintenance maintenance = maintenanceServices().maintenance();
    const CDatabaseMaintenance::Result result = maintenance.ClearAllData();
    if (result == CDatabaseMaintenance::Result::Done) {
        // Only the login values survived; every other parameter is the template's again.
        app.GetParameters().Load(app.GetDatabase(), app.GetSetupFile());
        m_services.hints.broadcast(HintBroadcaster::AllDataReplaced);
    }
    maintenanceServices().report(this, maintenance, result, QStringLiteral("清空所有数据成功!"));
}

void CMainFrame::onRestoreGroup(TableGroup group)
{
    if (refuseOffline())
        return;
    const MaintenanceServices services = maintenanceServices();
    const QString path = m_services.prompter.getOpenFileName(this,
        FileRequest {QStringLiteral("请选择要还原的数据文件"), services.backupDirectory(),
            QStringLiteral("*.db Files (*.db)"), {}});
    if (path.isEmpty())
        return;
    CDatabaseMaintenance maintenance = services.maintenance();
    const CDatabaseMaintenance::Result result = maintenance.Restore(path.toStdString(), {group});
    const bool cards = group == TableGroup::Cards;
    if (result == CDatabaseMaintenance::Result::Done && cards) {
        m_services.hints.broadcast(HintBroadcaster::AddressBookChanged);
    } else if (result == CDatabaseMaintenance::Result::Done) {
        m_services.hints.broadcast(HintBroadcaster::SendRecordsChanged);
        m_services.hints.broadcast(HintBroadcaster::ReceivedMessagesChanged);
    }
    services.report(this, maintenance, result,
        cards ? QStringLiteral("客户资料数据恢复成功!") : QStringLiteral("发送/接收记录数据恢复成功!"));
}

void CMainFrame::onClearCards()
{
    if (refuseOffline() || !m_services.prompter.question(this, QStringLiteral("您是否确定要清空所有客户资料？")))
        return;
    CDatabaseMaintenance maintenance = maintenanceServices().maintenance();
    if (maintenance.ResetCustomerData() == CDatabaseMaintenance::Result::Done)
        m_services.prompter.information(this, QStringLiteral("清除客户资料数据成功!"));
    else
        m_services.prompter.error(this, QStringLiteral("清除客户资料数据失败!"));
    m_services.hints.broadcast(HintBroadcaster::AddressBookChanged);
}

void CMainFrame::openLink(const QString& url)
{
    QDesktopServices::openUrl(QUrl(url));
}

void CMainFrame::setProgress(int done, int total)
{
    if (!m_progress) {
        m_progress = new QProgressBar(statusBar());
        m_progress->setFixedWidth(150);
        m_progress->setTextVisible(false);
        statusBar()->addPermanentWidget(m_progress);
    }
    m_progress->setRange(0, qMax(total, 1));
    m_progress->setValue(done);
}

void CMainFrame::endProgress()
{
    if (!m_progress)
        return;
    statusBar()->removeWidget(m_progress);
    delete m_progress;
    m_progress = nullptr;
}

void CMainFrame::onSendCompleted(int recordId, bool finished, const QString& detail)
{
    if (m_resuming) {
        if (!detail.isEmpty())
            m_resumeNotes << detail;
        if (resumeNext())
            return;
        m_resuming = false;
    }
    m_services.hints.broadcast(HintBroadcaster::SendRecordsChanged);
    endProgress();
    m_runtime->refreshStock();
    QString status = finished ? QStringLiteral("短信发送完成") : QStringLiteral("短信发送未完成");
    QStringList lines;
    lines << (finished ? QStringLiteral("短信发送完成，详情请查阅发送记录!")
                       : QStringLiteral("短信发送遇到错误未能全部完成，详情请查阅发送记录!"));
    // A personalised send tells how many numbers the service took.
    const std::optional<SendRecord> record = CSendHistory(m_services.app.GetDatabase()).Find(recordId);
    if (finished && m_resumeNotes.isEmpty() && record && record->sendMode == kPersonalisedSendMode) {
        const CustomSendOutcome outcome
            = CustomSendOutcomeOf(CSendLedger(m_services.app.GetDatabase()).CountOf(recordId));
        status = qs(outcome.status);
        lines.first() = qs(outcome.message);
    }
    setStatusText(status);
    if (!m_resumeNotes.isEmpty())
        lines << m_resumeNotes;
    else if (!detail.isEmpty())
        lines << detail;
    m_resumeNotes.clear();
    m_services.prompter.information(this, lines.join(QLatin1Char('\n')));
}

void CMainFrame::restoreFromTray()
{
    showNormal();
    raise();
    activateWindow();
}

void CMainFrame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !isMinimized())
        return;
    // Without an icon in a notification area a hidden window could not be brought back.
    if (m_services.app.GetParameters().Get("HideTray") == "1" && m_tray->canHoldWindow())
        QTimer::singleShot(0, this, &QWidget::hide);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // A log-in under way owns the session and the database until it ends.
    if (m_loginDialog && m_loginDialog->isBusy()) {
        event->ignore();
        return;
    }
    CSendEngine& engine = m_services.sendEngine;
    if (engine.IsBusy() && !m_services.prompter.question(this, QString::fromUtf8(kClosingQuestion))) {
        event->ignore();
        return;
    }
    CAppContext& app = m_services.app;
    if (!app.IsOffline() && app.GetParameters().Get("AutoSaveDB") == "1") {
        const std::string target
            = app.GetApplicationDirectory() + AutomaticBackupName(app.GetParameters().Get("User"), DateTime::now());
        QDir().mkpath(QFileInfo(qs(target)).absolutePath());
        // A failed copy must not keep the user from leaving; nothing is reported.
        CDatabaseMaintenance(app.GetDatabase(), {}).Backup(target);
    }
    // The rest may wait for the service, each step bounded by its time-out: the window is
    // gone by then. Nothing may reach the service after the log-off, so the send worker
    // stops first, then the timer work, whose fetch in flight is waited for and stored.
    hide();
    m_tray->hide();
    engine.RequestStop();
    engine.Wait();
    m_runtime->shutDown();
    m_services.keeper.LogOff();
    event->accept();
    emit frameClosing();
}

} // namespace telvora
