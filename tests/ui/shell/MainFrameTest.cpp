#include "ShellHarness.h"
#include "app/AppConstants.h"
#include "app/HintBroadcaster.h"
#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "send/SendEngine.h"
#include "session/SessionKeeper.h"
#include "shell/FrameRuntime.h"
#include "shell/NavigationPane.h"
#include "shell/NoticePane.h"
#include "shell/TrayIcon.h"

#include <QAction>
#include <QProgressBar>
#include <QTextBrowser>
#include <QTreeWidget>

namespace telvora {

using test::ShellHarness;

namespace {

QString count(CADODataBase& database, const std::string& table)
{
    CADORecordset recordset(&database);
    std::string value = "<error>";
    if (recordset.Open("SELECT COUNT(*) FROM " + table) && !recordset.IsEOF())
        recordset.GetFieldValue(0, value);
    return QString::fromStdString(value);
}

SimReply reply(const std::string& phone, const std::string& content)
{
    return {phone, content, "2026-03-01 10:20:30", {}};
}

} // namespace

class MainFrameTest : public QObject
{
    Q_OBJECT

private slots:
    void switchPage_data();
    void switchPage();
    void commandsOfMissingPartsAreDisabled();
    void loginCommandWhileLoggedIn();
    void heartbeatEndsTheSessionAfterTwoFailuresInARow();
    void minimisingHidesOnlyWithHideTray_data();
    void minimisingHidesOnlyWithHideTray();
    void repliesFetchedTwiceArriveOnce();
    void noFetchWithoutTheRight();
    void clearingSendHistoryKeepsReceivedMessages();
    void lowStockOfSubAccountsIsWarnedAfterLogin();
    void sendCompletionIsReported();
    void closingWhileASendRunsAsksFirst();
    void noticePageIsShown();
};

void MainFrameTest::switchPage_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("switched");
    QTest::addColumn<QString>("navigationItem");

    QTest::newRow("send page") << QStringLiteral("短信群发") << true << QStringLiteral("短信群发");
    QTest::newRow("records") << QStringLiteral("短信记录") << true << QStringLiteral("短信记录");
    QTest::newRow("precision: no navigation item") << QStringLiteral("精准短信") << true << QString();
    QTest::newRow("unknown caption") << QStringLiteral("不存在") << false << QStringLiteral("今日提醒");
}

void MainFrameTest::switchPage()
{
    QFETCH(QString, caption);
    QFETCH(bool, switched);
    QFETCH(QString, navigationItem);

    ShellHarness shell;
    QVERIFY(shell.startLoggedIn());
    CMainFrame* frame = shell.frame();
    QTRY_COMPARE(frame->currentPage(), QStringLiteral("今日提醒"));
    QSignalSpy spy(frame, &CMainFrame::pageSwitched);

    QCOMPARE(frame->SwitchPage(caption), switched);
    QCOMPARE(frame->currentPage(), switched ? caption : QStringLiteral("今日提醒"));
    QCOMPARE(frame->navigationPane()->currentCaption(), navigationItem);
    QCOMPARE(spy.size(), switched ? 1 : 0);

    // The navigation pane lists its five pages; choosing one switches to it.
    QCOMPARE(frame->navigationPane()->itemCaptions(),
        (QStringList {QStringLiteral("今日提醒"), QStringLiteral("短信群发"), QStringLiteral("客户资料"),
            QStringLiteral("短信记录"), QStringLiteral("移动助理")}));
    QTreeWidget* tree = frame->navigationPane()->tree();
    tree->setCurrentItem(tree->topLevelItem(2));
    QCOMPARE(frame->currentPage(), QStringLiteral("客户资料"));
}

void MainFrameTest::commandsOfMissingPartsAreDisabled()
{
    ShellHarness shell;
    QVERIFY(shell.startLoggedIn());
    CMainFrame* frame = shell.frame();
    for (int id : {CMainFrame::CmdClearData, CMainFrame::CmdBackup, CMainFrame::CmdRestore, CMainFrame::CmdCompact,
             CMainFrame::CmdPassword, CMainFrame::CmdSettings, CMainFrame::CmdHolidays, CMainFrame::CmdRegionQuery,
             CMainFrame::CmdDivision, CMainFrame::CmdExtract, CMainFrame::CmdPhrases, CMainFrame::CmdBills,
             CMainFrame::CmdAccounts, CMainFrame::CmdRestoreCards, CMainFrame::CmdClearCards,
             CMainFrame::CmdRestoreRecords, CMainFrame::CmdUpdate})
        QVERIFY2(!frame->commandAction(id)->isEnabled(), qPrintable(frame->commandAction(id)->text()));
    for (int id : {CMainFrame::CmdLogin, CMainFrame::CmdExit, CMainFrame::CmdClearRecords, CMainFrame::CmdRefreshStock,
             CMainFrame::CmdAbout})
        QVERIFY2(frame->commandAction(id)->isEnabled(), qPrintable(frame->commandAction(id)->text()));
}

void MainFrameTest::loginCommandWhileLoggedIn()
{
    ShellHarness shell;
    QVERIFY(shell.startLoggedIn());
    QTRY_VERIFY(!shell.loginDialog());
    shell.frame()->commandAction(CMainFrame::CmdLogin)->trigger();
    QCOMPARE(shell.prompter.lastText(), QStringLiteral("系统已经登录！"));
    QVERIFY(!shell.loginDialog());
}

void MainFrameTest::heartbeatEndsTheSessionAfterTwoFailuresInARow()
{
    ShellHarness shell;
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
        return beats.wait() ? static_cast<Heartbeat>(beats.takeFirst().at(0).toInt()) : Heartbeat::NotLoggedIn;
    };

    QCOMPARE(beat(false, false), Heartbeat::Alive);
    QVERIFY(frame->statusText().startsWith(QStringLiteral("保持服务连接成功    ")));
    QCOMPARE(beat(true, false), Heartbeat::Failed);
    QCOMPARE(frame->statusText(), QString::fromUtf8(CFrameRuntime::kChecking));
    // A success in between starts counting afresh.
    QCOMPARE(beat(false, false), Heartbeat::Alive);
    QCOMPARE(beat(true, false), Heartbeat::Failed);
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

void MainFrameTest::minimisingHidesOnlyWithHideTray_data()
{
    QTest::addColumn<QString>("hideTray");
    QTest::addColumn<bool>("visible");
    QTest::newRow("HideTray 1: only the tray icon is left") << QStringLiteral("1") << false;
    QTest::newRow("HideTray 0: the task-bar button stays") << QStringLiteral("0") << true;
}

void MainFrameTest::minimisingHidesOnlyWithHideTray()
{
    QFETCH(QString, hideTray);
    QFETCH(bool, visible);
    ShellHarness shell;
    QVERIFY(shell.startLoggedIn());
    shell.app->context().GetParameters().Set("HideTray", hideTray.toStdString());
    CMainFrame* frame = shell.frame();
    frame->showMinimized();
    QTRY_COMPARE(frame->isVisible(), visible);
    // The tray icon brings it back.
    emit frame->trayIcon()->activated(QSystemTrayIcon::Trigger);
    QTRY_VERIFY(frame->isVisible() && !frame->isMinimized());
}

void MainFrameTest::repliesFetchedTwiceArriveOnce()
{
    ShellHarness shell;
    QVERIFY(shell.startLoggedIn());
    shell.app->context().GetParameters().Set("SoundIncome", "1");
    CFrameRuntime* runtime = shell.frame()->runtime();
    QSignalSpy alerts(runtime, &CFrameRuntime::replyArrived);
    QSignalSpy sounds(runtime, &CFrameRuntime::incomingSound);
    QSignalSpy fetched(runtime, &CFrameRuntime::fetchCompleted);
    QSignalSpy hints(&shell.app->hints(), &HintBroadcaster::hintBroadcast);

    for (int round = 0; round < 2; ++round) {
        shell.simulator.queueReply(test::kAccount, "admin", reply("13800138000", "收到，谢谢"));
        shell.simulator.queueReply(test::kAccount, "admin", reply("13900139000", "好的"));
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
    QCOMPARE(count(shell.app->context().GetDatabase(), "tbl_sms_recive"), QStringLiteral("2"));
}

void MainFrameTest::noFetchWithoutTheRight()
{
    ShellHarness shell;
    QVERIFY(shell.startLoggedIn());
    shell.app->session().userRight = 1;
    shell.simulator.queueReply(test::kAccount, "admin", reply("13800138000", "x"));
    CFrameRuntime* runtime = shell.frame()->runtime();
    QSignalSpy beats(runtime, &CFrameRuntime::heartbeatCompleted);
    runtime->onFetchTimer();
    QVERIFY(beats.wait());
    QCOMPARE(shell.simulator.callCount("FetchSMS"), 0);
    QCOMPARE(shell.simulator.pendingReplies(test::kAccount, "admin"), std::size_t {1});
}

void MainFrameTest::clearingSendHistoryKeepsReceivedMessages()
{
    ShellHarness shell;
    QVERIFY(shell.startLoggedIn());
    CADODataBase& database = shell.app->context().GetDatabase();
    QVERIFY(database.Execute("INSERT INTO tbl_sendsms (id, content) VALUES (1, 'a')"));
    QVERIFY(database.Execute("INSERT INTO tbl_sendsms_detail (id, group_id, phones) VALUES (1, 1, '13800138000')"));
    QVERIFY(database.Execute(
        "INSERT INTO tbl_sms_recive (id, phone, content, recive_time) VALUES (1, '13800138000', 'x', Now())"));
    QSignalSpy hints(&shell.app->hints(), &HintBroadcaster::hintBroadcast);

    shell.prompter.answerQuestion(false);
    shell.frame()->commandAction(CMainFrame::CmdClearRecords)->trigger();
    QCOMPARE(count(database, "tbl_sendsms"), QStringLiteral("1"));

    shell.prompter.answerQuestion(true);
    shell.frame()->commandAction(CMainFrame::CmdClearRecords)->trigger();
    QCOMPARE(shell.prompter.texts().mid(shell.prompter.texts().size() - 2),
        (QStringList {QStringLiteral("您是否确定要清空所有发送记录？"), QStringLiteral("清除发送记录数据成功!")}));
    QCOMPARE(count(database, "tbl_sendsms"), QStringLiteral("0"));
    QCOMPARE(count(database, "tbl_sendsms_detail"), QStringLiteral("0"));
    QCOMPARE(count(database, "tbl_sms_recive"), QStringLiteral("1"));
    QCOMPARE(hints.size(), 1);
    QCOMPARE(hints.at(0).at(0).toInt(), static_cast<int>(HintBroadcaster::SendRecordsChanged));
}

void MainFrameTest::lowStockOfSubAccountsIsWarnedAfterLogin()
{
    ShellHarness shell;
    shell.simulator.addUser(test::kAccount, "sales01", "123456", 10);
    QDir().mkpath(shell.options.dataDirectory);
    {
        CIniFile setup((shell.options.dataDirectory + QStringLiteral("/ClientSetup.ini")).toStdString());
        setup.WriteString(kSetupSection, "IsRemainStock", "1");
        setup.WriteString(kSetupSection, "RemainAmount", "100");
    }
    QVERIFY(shell.startLoggedIn());
    QTRY_VERIFY(!shell.prompter.shown().isEmpty());
    const ScriptedPrompter::Shown& shown = shell.prompter.shown().constLast();
    QCOMPARE(shown.caption, QStringLiteral("帐号余量不足提示"));
    QVERIFY2(shown.text.contains(QStringLiteral("您的子帐号[sales01]余量为 10 条，少于预警余量!!! ")),
        qPrintable(shown.text));
    QVERIFY(!shown.text.contains(QStringLiteral("[admin]")));
}

void MainFrameTest::sendCompletionIsReported()
{
    ShellHarness shell;
    QVERIFY(shell.startLoggedIn());
    CSendEngine& engine = shell.app->sendEngine();
    QVERIFY(engine.PrepareSend(
        {"13800138000", "13900139000", "13700137000"}, "测试短信", CSendEngine::SendViewMode, CSendEngine::PlainSend));
    QVERIFY2(engine.StartSend(), engine.GetLastError().c_str());

    QTRY_COMPARE(shell.frame()->statusText(), QStringLiteral("短信发送完成"));
    QCOMPARE(shell.prompter.lastText(), QStringLiteral("短信发送完成，详情请查阅发送记录!"));
    QVERIFY(!shell.frame()->progressPane());
}

void MainFrameTest::closingWhileASendRunsAsksFirst()
{
    ShellHarness shell;
    QVERIFY(shell.startLoggedIn());
    shell.simulator.injectFault("CreateJob", SimFault {SimFault::Kind::Delay, std::chrono::milliseconds(1500), {}});
    CSendEngine& engine = shell.app->sendEngine();
    QVERIFY(engine.PrepareSend({"13800138000"}, "测试短信", CSendEngine::SendViewMode, CSendEngine::PlainSend));
    QVERIFY(engine.StartSend());
    QVERIFY(engine.IsBusy());
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

void MainFrameTest::noticePageIsShown()
{
    ShellHarness shell;
    QCOMPARE(shell.start(), CTelvoraApp::StartResult::Running);
    QTextBrowser* browser = shell.frame()->noticePane()->browser();
    QTRY_VERIFY(!browser->toPlainText().isEmpty());
    QVERIFY(shell.frame()->noticePane()->lastUrl().endsWith(QStringLiteral("/download/UserNoticeNew.asp")));
}

} // namespace telvora

QTEST_MAIN(telvora::MainFrameTest)
#include "MainFrameTest.moc"
