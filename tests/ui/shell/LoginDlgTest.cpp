#include "ShellHarness.h"
#include "app/AppConstants.h"
#include "app/SingleInstance.h"
#include "shell/ServerIPDlg.h"

#include <QCheckBox>
#include <QPushButton>

namespace telvora {

using test::ShellHarness;

class LoginDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void loginSucceedsAndShowsTheWindow();
    void loginIsRefused_data();
    void loginIsRefused();
    void loginUnderWayLocksTheDialog();
    void cancelLeavesTheProgramOffline();
    void secondInstanceIsRefused();
    void newerVersionIsOffered();
    void clearHistoryEmptiesTheAccounts();
    void lockedAddressCannotBeEdited();
    void fieldLimits();
};

void LoginDlgTest::loginSucceedsAndShowsTheWindow()
{
    ShellHarness shell;
    QCOMPARE(shell.start(), CTelvoraApp::StartResult::Running);
    QVERIFY(!shell.frame()->isVisible());
    QVERIFY(shell.loginDialog()->isVisible());

    shell.submit(QStringLiteral("100001"), QStringLiteral("admin"), QStringLiteral("123456"));

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

void LoginDlgTest::loginIsRefused_data()
{
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("fault"); // -1: none
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty account") << QString() << QStringLiteral("123456") << -1
                                   << QStringLiteral("登录帐号不能为空!");
    QTest::newRow("password of 5 characters")
        << QStringLiteral("100001") << QStringLiteral("12345") << -1 << QStringLiteral("登录密码不能少于6位!");
    QTest::newRow("service refusal") << QStringLiteral("100001") << QStringLiteral("123456")
                                     << static_cast<int>(SimFault::Kind::Refuse)
                                     << QStringLiteral("登录失败：帐号已停用!");
    QTest::newRow("dropped connection") << QStringLiteral("100001") << QStringLiteral("123456")
                                        << static_cast<int>(SimFault::Kind::Drop)
                                        << QStringLiteral("登录失败：通讯错误，无法连接到服务器!");
    QTest::newRow("server error") << QStringLiteral("100001") << QStringLiteral("123456")
                                  << static_cast<int>(SimFault::Kind::Http500)
                                  << QStringLiteral("登录失败：通讯错误，无法连接到服务器!");
}

void LoginDlgTest::loginIsRefused()
{
    QFETCH(QString, account);
    QFETCH(QString, password);
    QFETCH(int, fault);
    QFETCH(QString, expected);

    ShellHarness shell;
    if (fault >= 0) {
        SimFault injected;
        injected.kind = static_cast<SimFault::Kind>(fault);
        injected.message = "帐号已停用";
        shell.simulator.injectFault("UserLogin", injected);
    }
    QCOMPARE(shell.start(), CTelvoraApp::StartResult::Running);
    shell.submit(account, QStringLiteral("admin"), password);

    QCOMPARE(shell.prompter.lastText(), expected);
    QCOMPARE(shell.prompter.shown().constLast().caption, QStringLiteral("提示"));
    // The dialog stays open with what was typed.
    QVERIFY(shell.loginDialog() && shell.loginDialog()->isVisible());
    QCOMPARE(shell.loginDialog()->passwordEdit()->text(), password);
    QVERIFY(!shell.frame()->isVisible());
    QVERIFY(!shell.app->session().loggedIn);
}

void LoginDlgTest::loginUnderWayLocksTheDialog()
{
    ShellHarness shell;
    shell.simulator.injectFault("UserLogin", SimFault {SimFault::Kind::Delay, std::chrono::milliseconds(300), {}});
    QCOMPARE(shell.start(), CTelvoraApp::StartResult::Running);
    CLoginDlg* dialog = shell.loginDialog();
    dialog->setCredentials(QStringLiteral("100001"), QStringLiteral("admin"), QStringLiteral("123456"));
    QTest::mouseClick(dialog->loginButton(), Qt::LeftButton);

    // The service is still answering: the dialog keeps running but takes no input.
    QVERIFY(dialog->isBusy());
    QVERIFY(!dialog->loginButton()->isEnabled());
    dialog->reject();
    QVERIFY(dialog->isVisible());
    QVERIFY(!shell.frame()->close());

    QTRY_VERIFY(shell.app->session().loggedIn && shell.frame()->isVisible());
    QCOMPARE(shell.prompter.shown().size(), 0);
}

void LoginDlgTest::cancelLeavesTheProgramOffline()
{
    ShellHarness shell;
    QCOMPARE(shell.start(), CTelvoraApp::StartResult::Running);
    shell.loginDialog()->reject();

    QTRY_VERIFY(shell.frame()->isVisible());
    QVERIFY(shell.app->context().IsOffline());
    QVERIFY(shell.app->context().GetDatabase().IsOpen());
    QVERIFY(!shell.app->session().loggedIn);
    QCOMPARE(shell.frame()->stockText(), QString());
    QVERIFY(!shell.frame()->isOnlineIconShown());
}

void LoginDlgTest::secondInstanceIsRefused()
{
    ShellHarness first;
    QCOMPARE(first.start(), CTelvoraApp::StartResult::Running);

    ScriptedPrompter prompter;
    CTelvoraApp second(prompter, first.options);
    QCOMPARE(second.Start(), CTelvoraApp::StartResult::AlreadyRunning);
    QCOMPARE(prompter.texts(), QStringList {QStringLiteral("系统已经登录")});
    QVERIFY(!second.mainFrame());
    // The first copy carries on.
    QVERIFY(first.loginDialog()->isVisible());
}

void LoginDlgTest::newerVersionIsOffered()
{
    ShellHarness shell;
    shell.simulator.setUpdateInfo("9.9", "");
    QCOMPARE(shell.start(), CTelvoraApp::StartResult::Running);
    shell.prompter.answerQuestion(true);
    shell.submit(QStringLiteral("100001"), QStringLiteral("admin"), QStringLiteral("123456"));

    QCOMPARE(shell.prompter.texts(), QStringList {QStringLiteral("Telvora已升级，是否在线更新？")});
    QCOMPARE(shell.prompter.unexpectedQuestions(), 0);
    // No updater is configured: the login simply goes on.
    QTRY_VERIFY(shell.frame()->isVisible());
    QVERIFY(shell.app->session().loggedIn);
}

void LoginDlgTest::clearHistoryEmptiesTheAccounts()
{
    ShellHarness shell;
    QDir().mkpath(shell.options.dataDirectory);
    {
        CIniFile setup((shell.options.dataDirectory + QStringLiteral("/ClientSetup.ini")).toStdString());
        setup.WriteString(kSetupSection, "LastAccunt", "111111;222222;");
        setup.WriteString(kSetupSection, "LastUser", "admin;sales;");
    }
    QCOMPARE(shell.start(), CTelvoraApp::StartResult::Running);
    CLoginDlg* dialog = shell.loginDialog();
    QCOMPARE(dialog->accountCombo()->count(), 2);
    QCOMPARE(dialog->userCombo()->count(), 2);

    QTest::mouseClick(dialog->clearHistoryButton(), Qt::LeftButton);

    QCOMPARE(dialog->accountCombo()->count(), 0);
    QCOMPARE(dialog->userCombo()->count(), 0);
    QVERIFY(dialog->passwordEdit()->text().isEmpty());
    QVERIFY(!dialog->rememberCheck()->isChecked());
    const CIniFile& setup = shell.app->context().GetSetupFile();
    QCOMPARE(setup.GetString(kSetupSection, "LastAccunt", "absent"), std::string());
    QCOMPARE(setup.GetString(kSetupSection, "LastUser"), std::string("admin;sales;"));
}

void LoginDlgTest::lockedAddressCannotBeEdited()
{
    ShellHarness shell;
    QCOMPARE(shell.start(), CTelvoraApp::StartResult::Running);
    CLoginDlg* dialog = shell.loginDialog();
    QTest::mouseClick(dialog->serverButton(), Qt::LeftButton);
    CServerIPDlg* server = dialog->serverDialog();
    QVERIFY(server);
    QCOMPARE(server->addressEdit()->text(), QString::fromStdString(shell.simulator.address()));
    QVERIFY(server->addressEdit()->isEnabled());

    server->lockCheck()->setChecked(true);
    QVERIFY(!server->addressEdit()->isEnabled());
    QVERIFY(!server->fetchButton()->isEnabled());
    server->lockCheck()->setChecked(false);
    server->addressEdit()->setText(QStringLiteral("  10.0.0.1:9000 "));
    server->lockCheck()->setChecked(true);
    server->accept();

    QCOMPARE(shell.app->service().Address(), std::string("10.0.0.1:9000"));
    QVERIFY(dialog->isAddressLocked());
    QCOMPARE(shell.app->context().GetSetupFile().GetString(kSetupSection, "AutoUpdate"), std::string("1"));
}

void LoginDlgTest::fieldLimits()
{
    ShellHarness shell;
    QCOMPARE(shell.start(), CTelvoraApp::StartResult::Running);
    CLoginDlg* dialog = shell.loginDialog();
    QLineEdit* account = dialog->accountCombo()->lineEdit();
    QTest::keyClicks(account, QStringLiteral("12a34567"));
    QCOMPARE(account->text(), QStringLiteral("123456"));
    QTest::keyClicks(dialog->userCombo()->lineEdit(), QStringLiteral("abcdefghijkl"));
    QCOMPARE(dialog->userCombo()->currentText(), QStringLiteral("abcdefghij"));
    QCOMPARE(dialog->passwordEdit()->maxLength(), 20);
}

} // namespace telvora

QTEST_MAIN(telvora::LoginDlgTest)
#include "LoginDlgTest.moc"
