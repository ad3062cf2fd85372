#include "SmsSimulator.h"
#include "account/MgrUserDlg.h"
#include "account/ModifyPasswordDlg.h"
#include "account/QueryBillDlg.h"
#include "app/AppContext.h"
#include "app/FrameServices.h"
#include "app/HintBroadcaster.h"
#include "app/ParameterStore.h"
#include "contacts/CardListView.h"
#include "contacts/CardSearchBar.h"
#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "maintenance/DataBackupDlg.h"
#include "send/SMSSendView.h"
#include "send/SendEngine.h"
#include "session/Session.h"
#include "session/SessionKeeper.h"
#include "shell/FrameRuntime.h"
#include "shell/LoginDlg.h"
#include "shell/MainFrame.h"
#include "shell/NavigationPane.h"
#include "shell/TelvoraApp.h"
#include "shell/TrayIcon.h"
#include "shell/WorkArea.h"
#include "support/ScriptedPrompter.h"
#include "tools/DigGetPhone.h"
#include "tools/PhoneDivisionDlg.h"
#include "tools/PhoneQueryDlg.h"
#include "tools/ShortMessageDlg.h"
#include "widgets/ReportView.h"

#include <QDockWidget>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

namespace telvora {

namespace {

constexpr const char* kAccount = "100001";

// The whole program on a fresh data directory, pointed at an in-process simulator, with
// its timers off (tests call their slots) and short time-outs.
struct Shell
{
    Shell()
    {
        SimAccount account;
        account.account = kAccount;
        account.adminPassword = "123456";
        account.stock = 5000;
        simulator.addAccount(account);
        simulator.start();
        // The start-at-logon entry and the default service address are the environment's.
        qputenv("XDG_CONFIG_HOME", QByteArray(dir.filePath(QStringLiteral("config")).toUtf8()));
        qputenv("TELVORA_DEFAULT_SERVER", QByteArray::fromStdString(simulator.address()));
        options.dataDirectory = dir.filePath(QStringLiteral("data"));
        options.templateDirectory = QStringLiteral(TELVORA_TEST_TEMPLATE_DIR);
        options.timings.fetchMs = options.timings.heartbeatMs = options.timings.lowStockDelayMs = 0;
        options.timings.alertFadeMs = 10;
        options.timings.alertShowMs = 50;
        options.getTimeoutMs = options.postTimeoutMs = options.noticeTimeoutMs = 3000;
    }
    ~Shell()
    {
        app.reset();
        simulator.stop();
    }

    CTelvoraApp::StartResult start()
    {
        app = std::make_unique<CTelvoraApp>(prompter, options);
        return app->Start();
    }
    CMainFrame* frame() const { return app->mainFrame(); }
    CLoginDlg* loginDialog() const { return frame() ? frame()->loginDialog() : nullptr; }
    CADODataBase& database() const { return app->context().GetDatabase(); }

    // Fills the open login dialog, presses "登录" and waits for the outcome.
    bool submit(const QString& account, const QString& password)
    {
        CLoginDlg* dialog = loginDialog();
        if (!dialog)
            return false;
        dialog->setCredentials(account, QStringLiteral("admin"), password);
        QSignalSpy attempts(dialog, &CLoginDlg::loginAttempted);
        QTest::mouseClick(dialog->loginButton(), Qt::LeftButton);
        return attempts.wait();
    }
    bool startLoggedIn()
    {
        return start() == CTelvoraApp::StartResult::Running && submit(kAccount, QStringLiteral("123456"))
            && QTest::qWaitFor([this]() { return frame()->isVisible() && app->session().loggedIn; });
    }

    QTemporaryDir dir;
    SmsSimulator simulator;
    ScriptedPrompter prompter;
    ShellOptions options;
    std::unique_ptr<CTelvoraApp> app;
};

QString count(CADODataBase& database, const std::string& table)
{
    CADORecordset recordset(&database);
    std::string value = "<error>";
    if (recordset.Open("SELECT COUNT(*) FROM " + table) && !recordset.IsEOF())
        recordset.GetFieldValue(0, value);
    return QString::fromStdString(value);
}

QString countIn(const std::string& path, const std::string& table)
{
    CADODataBase database;
    return database.Open(path) ? count(database, table) : QStringLiteral("<no database>");
}

// Runs command and returns the dialog it opened, or null.
QDialog* openCommandDialog(CMainFrame* frame, int command)
{
    QSignalSpy opened(frame, &CMainFrame::toolDialogOpened);
    frame->commandAction(command)->trigger();
    return opened.isEmpty() ? nullptr : opened.first().first().value<QDialog*>();
}

} // namespace

class ShellTest : public QObject
{
    Q_OBJECT

private slots:
    void loginSucceedsAndShowsTheWindow();
    void loginIsRefused_data();
    void loginIsRefused();
    void cancelLeavesTheProgramOffline();
    void loginUnderWayLocksTheDialogAndHoldsHints();
    void secondInstanceIsRefused();
    void switchPage_data();
    void switchPage();
    void pagesBringTheirPanes();
    void heartbeatEndsTheSessionAfterTwoFailuresInARow();
    void repliesFetchedTwiceArriveOnce();
    void closingWhileASendRunsAsksFirst();
    void failedSendShowsWhy();
    void interruptedSendIsOfferedAfterLogin();
    void repliesAreStoredThoughAHeartbeatEndedTheSessionFirst();
    void repliesGoToTheDatabaseOfTheAccountThatFetched();
    void closingDropsQueuedCallsAndStoresAFetchInFlight_data();
    void closingDropsQueuedCallsAndStoresAFetchInFlight();
    void minimisingWithoutATrayKeepsTheWindow();
    void commandsOpenTheirDialogs();
    void adminCommandsRefuse_data();
    void adminCommandsRefuse();
    void clearingCommandsAskFirst();
};

void ShellTest::loginSucceedsAndShowsTheWindow()
{
    Shell shell;
    QCOMPARE(shell.start(), CTelvoraApp::StartResult::Running);
    QVERIFY(!shell.frame()->isVisible());
    QCOMPARE(shell.frame()->currentPage(), QStringLiteral("今日提醒"));
    QVERIFY(shell.frame()->SwitchPage(QStringLiteral("短信记录")));
    QVERIFY(shell.submit(kAccount, QStringLiteral("123456")));

    QTRY_VERIFY(shell.frame()->isVisible());
    QCOMPARE(shell.prompter.shown().size(), 0);
    QVERIFY(shell.app->session().loggedIn);
    QCOMPARE(shell.app->context().GetWorkDatabaseName(), std::string("admin.db"));
    QCOMPARE(shell.frame()->statusText(), QStringLiteral("在线登录成功"));
    QVERIFY(shell.frame()->isOnlineIconShown());
    QTRY_COMPARE(shell.frame()->stockText(), QStringLiteral("正式用户:剩余条数5000"));
    // The after-login command shows "今日提醒".
    QTRY_COMPARE(shell.frame()->currentPage(), QStringLiteral("今日提醒"));
}

void ShellTest::loginIsRefused_data()
{
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("fault"); // -1: none
    QTest::addColumn<QString>("expected");

    const QString comms = QStringLiteral("登录失败：通讯错误，无法连接到服务器!");
    QTest::newRow("empty account") << QString() << "123456" << -1 << QStringLiteral("登录帐号不能为空!");
    QTest::newRow("password of 5 characters") << kAccount << "12345" << -1 << QStringLiteral("登录密码不能少于6位!");
    QTest::newRow("service refusal") << kAccount << "123456" << int(SimFault::Kind::Refuse)
                                     << QStringLiteral("登录失败：帐号已停用!");
    QTest::newRow("dropped connection") << kAccount << "123456" << int(SimFault::Kind::Drop) << comms;
}

void ShellTest::loginIsRefused()
{
    QFETCH(QString, account);
    QFETCH(QString, password);
    QFETCH(int, fault);
    QFETCH(QString, expected);

    Shell shell;
    if (fault >= 0)
        shell.simulator.injectFault("UserLogin", SimFault {SimFault::Kind(fault), {}, "帐号已停用"});
    QCOMPARE(shell.start(), CTelvoraApp::StartResult::Running);
    QVERIFY(shell.submit(account, password));

    QCOMPARE(shell.prompter.lastText(), expected);
    QCOMPARE(shell.prompter.shown().constLast().caption, QStringLiteral("提示"));
    // The dialog stays open with what was typed.
    QVERIFY(shell.loginDialog() && shell.loginDialog()->isVisible());
    QCOMPARE(shell.loginDialog()->passwordEdit()->text(), password);
    QVERIFY(!shell.frame()->isVisible());
    QVERIFY(!shell.app->session().loggedIn);
}

void ShellTest::cancelLeavesTheProgramOffline()
{
    Shell shell;
    QCOMPARE(shell.start(), CTelvoraApp::StartResult::Running);
    shell.loginDialog()->reject();

    QTRY_VERIFY(shell.frame()->isVisible());
    QVERIFY(shell.app->context().IsOffline());
    QVERIFY(shell.database().IsOpen());
    QVERIFY(!shell.app->session().loggedIn);
    QCOMPARE(shell.frame()->stockText(), QString());
    QVERIFY(!shell.frame()->isOnlineIconShown());
}

void ShellTest::loginUnderWayLocksTheDialogAndHoldsHints()
{
    Shell shell;
    shell.simulator.injectFault("UserLogin", SimFault {SimFault::Kind::Delay, std::chrono::milliseconds(300), {}});
    QCOMPARE(shell.start(), CTelvoraApp::StartResult::Running);
    // Two record lists, reading the working database whenever a hint reaches them.
    QStringList seen;
    QObject sent;
    QObject received;
    for (QObject* view : {&sent, &received}) {
        shell.app->hints().listen(view, [&shell, &seen](int hint) {
            seen.append(QString::number(hint) + QLatin1Char('@')
                + QString::fromStdString(shell.app->context().GetWorkDatabaseName()));
        });
    }
    CLoginDlg* dialog = shell.loginDialog();
    dialog->setCredentials(QString::fromLatin1(kAccount), QStringLiteral("admin"), QStringLiteral("123456"));
    QTest::mouseClick(dialog->loginButton(), Qt::LeftButton);

    // While the service answers, neither a cancel nor closing the window may cut in.
    QVERIFY(dialog->isBusy());
    dialog->reject();
    QVERIFY(dialog->isVisible());
    QVERIFY(!shell.frame()->close());
    // A send ends while the connection is being switched to the account's database.
    shell.app->hints().broadcast(HintBroadcaster::SendRecordsChanged);
    QCOMPARE(seen, QStringList {});
    QTRY_VERIFY(!shell.loginDialog() && shell.frame()->isVisible() && shell.app->session().loggedIn);
    // Then the login's own hint 7 for the new database.
    QCOMPARE(seen, (QStringList {"4@admin.db", "4@admin.db", "7@admin.db", "7@admin.db"}));
}

void ShellTest::secondInstanceIsRefused()
{
    Shell first;
    QCOMPARE(first.start(), CTelvoraApp::StartResult::Running);

    ScriptedPrompter prompter;
    CTelvoraApp second(prompter, first.options);
    QCOMPARE(second.Start(), CTelvoraApp::StartResult::AlreadyRunning);
    QCOMPARE(prompter.texts(), QStringList {QStringLiteral("系统已经登录")});
    QVERIFY(!second.mainFrame());
    QVERIFY(first.loginDialog()->isVisible());
}

void ShellTest::switchPage_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("switched");
    QTest::addColumn<QString>("navigationItem");

    QTest::newRow("send page") << QStringLiteral("短信群发") << true << QStringLiteral("短信群发");
    QTest::newRow("precision: no navigation item") << QStringLiteral("精准短信") << true << QString();
    QTest::newRow("unknown caption") << QStringLiteral("不存在") << false << QStringLiteral("今日提醒");
}

void ShellTest::switchPage()
{
    QFETCH(QString, caption);
    QFETCH(bool, switched);
    QFETCH(QString, navigationItem);

    Shell shell;
    QVERIFY(shell.startLoggedIn());
    CMainFrame* frame = shell.frame();
    QTRY_COMPARE(frame->currentPage(), QStringLiteral("今日提醒"));
    // Pages are made when first shown.
    QVERIFY(!frame->page(QStringLiteral("客户资料")));
    QSignalSpy spy(frame, &CMainFrame::pageSwitched);

    QCOMPARE(frame->SwitchPage(caption), switched);
    QCOMPARE(frame->currentPage(), switched ? caption : QStringLiteral("今日提醒"));
    QCOMPARE(frame->navigationPane()->currentCaption(), navigationItem);
    QCOMPARE(spy.size(), switched ? 1 : 0);

    // Choosing a navigation item switches to its page.
    QTreeWidget* tree = frame->navigationPane()->tree();
    tree->setCurrentItem(tree->topLevelItem(2));
    QCOMPARE(frame->currentPage(), QStringLiteral("客户资料"));
    QVERIFY(frame->page(QStringLiteral("客户资料")));
}

void ShellTest::pagesBringTheirPanes()
{
    Shell shell;
    QVERIFY(shell.startLoggedIn());
    CMainFrame* frame = shell.frame();
    QDockWidget* datePicker = frame->pageDock(QStringLiteral("datePickerPane"));
    QVERIFY(datePicker && datePicker->isHidden());

    // The reminders page opens the date picker; leaving it closes it.
    QVERIFY(frame->SwitchPage(QStringLiteral("移动助理")));
    QVERIFY(datePicker->isVisible());
    QVERIFY(frame->SwitchPage(QStringLiteral("短信群发")));
    QVERIFY(datePicker->isHidden());

    // "添加客户" reveals the recipient picker left of the send page.
    QWidget* picker = frame->workArea()->leftPane(QStringLiteral("短信群发"));
    QVERIFY(picker && picker->isHidden());
    auto* sendView = frame->page(QStringLiteral("短信群发"))->findChild<CSMSSendView*>();
    QVERIFY(sendView);
    sendView->button(QStringLiteral("添加客户"))->click();
    QVERIFY(picker->isVisible());

    // The address book's search bar drives the card list below it.
    QVERIFY(frame->SwitchPage(QStringLiteral("客户资料")));
    auto* bar = qobject_cast<CCardSearchBar*>(frame->workArea()->topRow(QStringLiteral("客户资料")));
    auto* cards = qobject_cast<CCardListView*>(frame->page(QStringLiteral("客户资料")));
    QVERIFY(bar && cards);
    QCOMPARE(bar->maximumHeight(), 30);
    QTest::keyClicks(bar->searchEdit(), QStringLiteral("138"));
    QCOMPARE(cards->report()->filterText(), QStringLiteral("138"));
    QString opened;
    QTimer::singleShot(0, frame, [&opened]() {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            opened = dialog->windowTitle();
            dialog->close();
        }
    });
    bar->advancedButton()->click();
    QCOMPARE(opened, QStringLiteral("客户搜索：所有目录"));
}

void ShellTest::heartbeatEndsTheSessionAfterTwoFailuresInARow()
{
    Shell shell;
    QVERIFY(shell.startLoggedIn());
    CMainFrame* frame = shell.frame();
    CFrameRuntime* runtime = frame->runtime();
    QTRY_VERIFY(runtime->isIdle());
    QSignalSpy beats(runtime, &CFrameRuntime::heartbeatCompleted);
    QSignalSpy balloons(frame->trayIcon(), &CTrayIcon::balloonShown);
    using Heartbeat = CSessionKeeper::Heartbeat;
    const auto beat = [&](bool fail, bool viaFetchTimer) {
        shell.simulator.clearFaults();
        if (fail)
            shell.simulator.injectFault("HeartBeating", SimFault {SimFault::Kind::Http500, {}, {}});
        viaFetchTimer ? runtime->onFetchTimer() : runtime->onHeartbeatTimer();
        return beats.wait() ? Heartbeat(beats.takeFirst().at(0).toInt()) : Heartbeat::NotLoggedIn;
    };

    QCOMPARE(beat(false, false), Heartbeat::Alive);
    QVERIFY(frame->statusText().startsWith(QStringLiteral("保持服务连接成功    ")));
    QCOMPARE(beat(true, false), Heartbeat::Failed);
    QCOMPARE(frame->statusText(), QString::fromUtf8(CFrameRuntime::kChecking));
    QVERIFY(shell.app->session().loggedIn);
    QCOMPARE(balloons.size(), 0);

    // Timer 1 goes through the heartbeat as well.
    QCOMPARE(beat(true, true), Heartbeat::SessionEnded);
    QCOMPARE(frame->statusText(), QString::fromUtf8(CFrameRuntime::kNotConnected));
    QCOMPARE(frame->firstPaneText(), QStringLiteral("远程登录失败"));
    QVERIFY(!frame->isOnlineIconShown());
    QVERIFY(!shell.app->session().loggedIn);
    QCOMPARE(balloons.size(), 1);
    QCOMPARE(balloons.at(0).at(1).toString(), QStringLiteral("与短信服务中心连接失败，请重新登录!"));

    // A third tick sends nothing and shows nothing new.
    const int calls = shell.simulator.callCount("HeartBeating");
    runtime->onHeartbeatTimer();
    QCOMPARE(beats.size(), 1);
    QCOMPARE(shell.simulator.callCount("HeartBeating"), calls);
    QCOMPARE(balloons.size(), 1);
}

void ShellTest::repliesFetchedTwiceArriveOnce()
{
    Shell shell;
    QVERIFY(shell.startLoggedIn());
    shell.app->context().GetParameters().Set("SoundIncome", "1");
    CFrameRuntime* runtime = shell.frame()->runtime();
    QSignalSpy alerts(runtime, &CFrameRuntime::replyArrived);
    QSignalSpy sounds(runtime, &CFrameRuntime::incomingSound);
    QSignalSpy fetched(runtime, &CFrameRuntime::fetchCompleted);
    QSignalSpy hints(&shell.app->hints(), &HintBroadcaster::hintRaised);

    for (int round = 0; round < 2; ++round) {
        for (const char* phone : {"13800138000", "13900139000"})
            shell.simulator.queueReply(kAccount, "admin", {phone, "收到，谢谢", "2026-03-01 10:20:30", {}});
        runtime->onFetchTimer();
        QVERIFY(fetched.wait());
    }

    QCOMPARE(alerts.size(), 2);
    QCOMPARE(alerts.at(0).at(0).toString(), QStringLiteral("回复提醒：收到[13800138000]回复短信"));
    QCOMPARE(alerts.at(0).at(1).toString(), QStringLiteral("短信内容：收到，谢谢!"));
    QCOMPARE(alerts.at(1).at(0).toString(), QStringLiteral("回复提醒：收到[13900139000]回复短信"));
    // One sound for the fetch that brought new messages; the repeat brings none.
    QCOMPARE(sounds.size(), 1);
    QVERIFY(hints.contains(QVariantList {HintBroadcaster::ReceivedMessagesChanged}));
    QCOMPARE(count(shell.database(), "tbl_sms_recive"), QStringLiteral("2"));
}

void ShellTest::closingWhileASendRunsAsksFirst()
{
    Shell shell;
    QVERIFY(shell.startLoggedIn());
    shell.simulator.injectFault("CreateJob", SimFault {SimFault::Kind::Delay, std::chrono::milliseconds(1500), {}});
    CSendEngine& engine = shell.app->sendEngine();
    QVERIFY(engine.PrepareSend({"13800138000"}, "测试短信", CSendEngine::SendViewMode, CSendEngine::PlainSend));
    QVERIFY(engine.StartSend());
    QPointer<CMainFrame> frame = shell.frame();

    shell.prompter.answerQuestion(false);
    QVERIFY(!frame->close());
    QCOMPARE(shell.prompter.lastText(), QString::fromUtf8(CMainFrame::kClosingQuestion));
    QVERIFY(frame->isVisible());
    QCOMPARE(shell.simulator.callCount("UserLogOff"), 0);

    shell.app->context().GetParameters().Set("AutoSaveDB", "1");
    shell.prompter.answerQuestion(true);
    QVERIFY(frame->close());
    QCOMPARE(shell.simulator.callCount("UserLogOff"), 1);
    QTRY_VERIFY(!frame);
    // The automatic copy of the account database.
    const QStringList copies = QDir(shell.options.dataDirectory + QStringLiteral("/backupdata")).entryList(QDir::Files);
    QCOMPARE(copies.size(), 1);
    QVERIFY2(
        copies.first().startsWith(QStringLiteral("admin ")) && copies.first().endsWith(QStringLiteral("自动备份.db")),
        qPrintable(copies.first()));
}

// The engine's own text follows the completion text; the records stay while a send runs.
void ShellTest::failedSendShowsWhy()
{
    Shell shell;
    QVERIFY(shell.startLoggedIn());
    shell.simulator.injectFault("CreateJob", SimFault {SimFault::Kind::Delay, std::chrono::milliseconds(300), {}}, 1);
    shell.simulator.injectFault("CreateJob",
        SimFault {SimFault::Kind::Refuse, std::chrono::milliseconds(0), QStringLiteral("内容含有违禁词").toStdString()},
        2);
    CSendEngine& engine = shell.app->sendEngine();
    QVERIFY(engine.PrepareSend({"13800138000"}, "测试短信", CSendEngine::SendViewMode, CSendEngine::PlainSend));
    QVERIFY(engine.StartSend());
    shell.frame()->commandAction(CmdClearRecords)->trigger();
    QCOMPARE(shell.prompter.lastText(), QStringLiteral("短信发送任务尚未完成，不能清理发送记录!"));
    QCOMPARE(count(shell.database(), "tbl_sendsms"), QStringLiteral("1"));
    engine.Wait();

    QVERIFY(engine.PrepareSend({"13800138000"}, "测试短信", CSendEngine::SendViewMode, CSendEngine::PlainSend));
    QVERIFY(engine.StartSend());
    QTRY_COMPARE(
        shell.prompter.lastText(), QStringLiteral("短信发送遇到错误未能全部完成，详情请查阅发送记录!\n内容含有违禁词"));
}

// A record left with a number never posted and one of unknown outcome: OK sends the first
// and names the second.
void ShellTest::interruptedSendIsOfferedAfterLogin()
{
    Shell shell;
    QVERIFY(shell.startLoggedIn());
    QVERIFY(shell.database().Execute(
        "INSERT INTO tbl_sendsms (id, content, send_time, send_mode, status, success_count, fail_count, is_idle, "
        "jobid) VALUES (1, '续发', '2026-01-01 10:00:00', 1, '已提交', 0, 1, 0, 'J1')"));
    QVERIFY(shell.database().Execute(
        "INSERT INTO tbl_sendsms_detail (id, jobid, phones, send_time, status, group_id, split_count, content) VALUES "
        "(1, '', '13800138001', '2026-01-01 10:00:00', 0, 1, 1, ''), "
        "(2, 'J1', '13800138002', '2026-01-01 10:00:00', 2, 1, 1, '')"));
    shell.prompter.answerQuestion(true);
    shell.frame()->onAfterLogin();
    QCOMPARE(shell.prompter.texts().filter(QStringLiteral("尚未完成")),
        QStringList {QStringLiteral("有1条发送记录尚未完成（剩余1个号码），是否继续发送？")});

    QTRY_COMPARE(shell.prompter.lastText(),
        QStringLiteral("短信发送完成，详情请查阅发送记录!\n有1个号码已提交但结果未知，没有重发。"));
    QCOMPARE(shell.simulator.deliveries(), (std::map<std::string, int> {{"13800138001", 1}}));
}

void ShellTest::repliesAreStoredThoughAHeartbeatEndedTheSessionFirst()
{
    Shell shell;
    QVERIFY(shell.startLoggedIn());
    CFrameRuntime* runtime = shell.frame()->runtime();
    QTRY_VERIFY(runtime->isIdle());
    QSignalSpy beats(runtime, &CFrameRuntime::heartbeatCompleted);
    shell.simulator.injectFault("HeartBeating", SimFault {SimFault::Kind::Http500, {}, {}});
    runtime->onHeartbeatTimer();
    QVERIFY(beats.wait());
    for (const char* phone : {"13800138000", "13900139000"})
        shell.simulator.queueReply(kAccount, "admin", {phone, "收到", "2026-03-01 10:20:30", {}});

    // The heartbeat that ends the session is answered, and applied, before the fetch.
    runtime->onHeartbeatTimer();
    runtime->onFetchTimer();
    QTRY_VERIFY(runtime->isIdle());
    QVERIFY(!shell.app->session().loggedIn);
    QCOMPARE(shell.simulator.callCount("FetchSMS"), 1);
    QCOMPARE(count(shell.database(), "tbl_sms_recive"), QStringLiteral("2"));
}

void ShellTest::repliesGoToTheDatabaseOfTheAccountThatFetched()
{
    Shell shell;
    QVERIFY(shell.startLoggedIn());
    CFrameRuntime* runtime = shell.frame()->runtime();
    QTRY_VERIFY(runtime->isIdle());
    const std::string fetchingDatabase = shell.database().GetDatabasePath();
    shell.simulator.queueReply(kAccount, "admin", {"13800138000", "收到", "2026-03-01 10:20:30", {}});
    QSignalSpy fetched(runtime, &CFrameRuntime::fetchCompleted);
    QSignalSpy alerts(runtime, &CFrameRuntime::replyArrived);

    runtime->onFetchTimer();
    // Another account logs in before the fetch is answered.
    QVERIFY(shell.app->context().OpenWorkDatabase("sales01.db"));
    QVERIFY(fetched.wait());

    QCOMPARE(count(shell.database(), "tbl_sms_recive"), QStringLiteral("0"));
    QCOMPARE(countIn(fetchingDatabase, "tbl_sms_recive"), QStringLiteral("1"));
    QCOMPARE(alerts.size(), 0);
}

void ShellTest::closingDropsQueuedCallsAndStoresAFetchInFlight_data()
{
    QTest::addColumn<bool>("fetchInFlight");
    QTest::addColumn<int>("heartbeatsSent");
    QTest::addColumn<QString>("stored");

    // The heartbeats queued behind would each wait out their time-out.
    QTest::newRow("fetch in flight") << true << 0 << QStringLiteral("2");
    // Waited for no longer than its time-out.
    QTest::newRow("hanging heartbeat in flight") << false << 1 << QStringLiteral("0");
}

void ShellTest::closingDropsQueuedCallsAndStoresAFetchInFlight()
{
    QFETCH(bool, fetchInFlight);
    QFETCH(int, heartbeatsSent);
    QFETCH(QString, stored);

    Shell shell;
    QVERIFY(shell.startLoggedIn());
    QPointer<CMainFrame> frame = shell.frame();
    CFrameRuntime* runtime = frame->runtime();
    QTRY_VERIFY(runtime->isIdle());
    const std::string database = shell.database().GetDatabasePath();
    const int stockCalls = shell.simulator.callCount("GetStockDetails");
    for (const char* phone : {"13800138000", "13900139000"})
        shell.simulator.queueReply(kAccount, "admin", {phone, "收到", "2026-03-01 10:20:30", {}});
    shell.simulator.injectFault("FetchSMS", SimFault {SimFault::Kind::Delay, std::chrono::milliseconds(300), {}});
    shell.simulator.injectFault("HeartBeating", SimFault {SimFault::Kind::Delay, std::chrono::minutes(10), {}});
    if (fetchInFlight)
        runtime->onFetchTimer();
    for (int i = 0; i < 3; ++i)
        runtime->onHeartbeatTimer();
    runtime->refreshStock();

    QVERIFY(frame->close());
    QTRY_VERIFY(!frame);
    QCOMPARE(shell.simulator.callCount("HeartBeating"), heartbeatsSent);
    QCOMPARE(shell.simulator.callCount("GetStockDetails"), stockCalls);
    QCOMPARE(shell.simulator.callCount("UserLogOff"), 1);
    QCOMPARE(countIn(database, "tbl_sms_recive"), stored);
}

void ShellTest::minimisingWithoutATrayKeepsTheWindow()
{
    Shell shell;
    QVERIFY(shell.startLoggedIn());
    QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable()); // the offscreen platform has none
    shell.app->context().GetParameters().Set("HideTray", "1");
    CMainFrame* frame = shell.frame();

    frame->showMinimized();
    QVERIFY(frame->isMinimized());
    QCoreApplication::processEvents();
    QVERIFY(frame->isVisible());
}

void ShellTest::commandsOpenTheirDialogs()
{
    Shell shell;
    QVERIFY(shell.startLoggedIn());
    CMainFrame* frame = shell.frame();
    const auto open = [frame](int command) { return openCommandDialog(frame, command); };
    QVERIFY(qobject_cast<CPhoneQueryDlg*>(open(CmdRegionQuery)));
    auto* division = qobject_cast<CPhoneDivisionDlg*>(open(CmdDivision));
    QVERIFY2(division && division->startButton()->isEnabled(), "mobileArea.db was found");
    QVERIFY(qobject_cast<CDigGetPhone*>(open(CmdExtract)));
    QVERIFY(qobject_cast<CQueryBillDlg*>(open(CmdBills)));
    QVERIFY(qobject_cast<CModifyPasswordDlg*>(open(CmdPassword)));
    auto* backup = qobject_cast<CDataBackupDlg*>(open(CmdRestore));
    QVERIFY(backup && backup->restoreButton()->isChecked());
    auto* accounts = qobject_cast<CMgrUserDlg*>(open(CmdAccounts));
    QVERIFY(accounts);
    QVERIFY(QTest::qWaitFor([accounts]() { return !accounts->isBusy(); }));
    QCOMPARE(accounts->labelText("用户帐号："), QStringLiteral("用户帐号：") + kAccount);
    for (QDialog* dialog : frame->findChildren<QDialog*>())
        dialog->reject();

    // "选中发送" from the tool bar's phrase library goes to the send page's message.
    auto* phrases = qobject_cast<CShortMessageDlg*>(open(CmdPhrases));
    QVERIFY(phrases);
    phrases->contentEdit()->setPlainText(QStringLiteral("周末愉快"));
    phrases->onAddClicked();
    phrases->phraseList()->setCurrentItem(phrases->phraseList()->topLevelItem(0));
    phrases->onUseClicked();
    QCOMPARE(frame->currentPage(), QStringLiteral("短信群发"));
    auto* view = frame->page(QStringLiteral("短信群发"))->findChild<CSMSSendView*>();
    QVERIFY(view);
    QCOMPARE(view->messageEdit()->toPlainText(), QStringLiteral("周末愉快"));
}

void ShellTest::adminCommandsRefuse_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("user"); // empty: not logged in
    QTest::addColumn<QString>("message");
    const QString offline = QStringLiteral("您尚未在线登录!");
    QTest::newRow("accounts offline") << int(CmdAccounts) << "" << offline;
    QTest::newRow("bills offline") << int(CmdBills) << ""
                                   << "系统尚未登录！";
    QTest::newRow("restore cards offline") << int(CmdRestoreCards) << "" << offline;
    QTest::newRow("restore records offline") << int(CmdRestoreRecords) << "" << offline;
    QTest::newRow("clear cards offline") << int(CmdClearCards) << "" << offline;
    QTest::newRow("clear all offline") << int(CmdClearData) << "" << offline;
    QTest::newRow("accounts of a sub-account") << int(CmdAccounts) << "sales"
                                               << "您不是管理员帐号，没有帐号管理权限!";
    QTest::newRow("bills of a sub-account") << int(CmdBills) << "sales"
                                            << "您不是管理员帐号，没有帐单查询权限!";
}

void ShellTest::adminCommandsRefuse()
{
    QFETCH(int, command);
    QFETCH(QString, user);
    QFETCH(QString, message);
    Shell shell;
    if (user.isEmpty()) {
        QCOMPARE(shell.start(), CTelvoraApp::StartResult::Running);
    } else {
        QVERIFY(shell.startLoggedIn());
        shell.app->context().GetParameters().Set("User", user.toStdString());
    }
    QSignalSpy opened(shell.frame(), &CMainFrame::toolDialogOpened);
    const int before = static_cast<int>(shell.prompter.shown().size());
    shell.frame()->commandAction(command)->trigger();
    QCOMPARE(shell.prompter.lastText(), message);
    QCOMPARE(static_cast<int>(shell.prompter.shown().size()), before + 1);
    QVERIFY(opened.isEmpty());
}

void ShellTest::clearingCommandsAskFirst()
{
    Shell shell;
    QVERIFY(shell.startLoggedIn());
    CMainFrame* frame = shell.frame();
    QVERIFY(shell.database().Execute("INSERT INTO tbl_card (id, phone, name) VALUES (1, '13900000001', '张三')"));

    shell.prompter.answerQuestion(false);
    frame->commandAction(CmdClearCards)->trigger();
    QCOMPARE(shell.prompter.lastText(), QStringLiteral("您是否确定要清空所有客户资料？"));
    QCOMPARE(count(shell.database(), "tbl_card"), QStringLiteral("1"));
    shell.prompter.answerQuestion(true);
    frame->commandAction(CmdClearCards)->trigger();
    QCOMPARE(shell.prompter.lastText(), QStringLiteral("清除客户资料数据成功!"));
    QCOMPARE(count(shell.database(), "tbl_card"), QStringLiteral("0"));

    shell.prompter.answerQuestion(true);
    frame->commandAction(CmdCompact)->trigger();
    QCOMPARE(shell.prompter.lastText(), QStringLiteral("压缩数据库成功完成"));

    QVERIFY(shell.database().Execute("INSERT INTO tbl_message (Title, Message) VALUES ('t', 'x')"));
    shell.prompter.answerQuestion(true);
    frame->commandAction(CmdClearData)->trigger();
    QCOMPARE(shell.prompter.lastText(), QStringLiteral("清空所有数据成功!"));
    QCOMPARE(count(shell.database(), "tbl_message"), QStringLiteral("0"));
    QCOMPARE(shell.app->context().GetParameters().Get("Account"), std::string(kAccount));
    QCOMPARE(shell.prompter.unexpectedQuestions(), 0);
}

} // namespace telvora

QTEST_MAIN(telvora::ShellTest)
#include "ShellTest.moc"
