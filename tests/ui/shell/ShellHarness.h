#pragma once

#include "SmsSimulator.h"
#include "app/AppContext.h"
#include "service/ServiceClient.h"
#include "session/Session.h"
#include "shell/LoginDlg.h"
#include "shell/MainFrame.h"
#include "shell/TelvoraApp.h"
#include "support/ScriptedPrompter.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace telvora::test {

inline constexpr const char* kAccount = "100001";
inline constexpr const char* kPassword = "123456";

// The whole program on a fresh data directory, pointed at an in-process simulator, with
// its timers off (tests call their slots) and short time-outs.
class ShellHarness
{
public:
    ShellHarness()
    {
        SimAccount account;
        account.account = kAccount;
        account.adminPassword = kPassword;
        account.stock = 5000;
        simulator.addAccount(account);
        simulator.start();
        // The start-at-logon entry and the default service address are the environment's.
        qputenv("XDG_CONFIG_HOME", QByteArray(dir.filePath(QStringLiteral("config")).toUtf8()));
        qputenv("TELVORA_DEFAULT_SERVER", QByteArray::fromStdString(simulator.address()));
        options.dataDirectory = dir.filePath(QStringLiteral("data"));
        options.templateDirectory = QStringLiteral(TELVORA_TEST_TEMPLATE_DIR);
        options.timings.fetchMs = 0;
        options.timings.heartbeatMs = 0;
        options.timings.lowStockDelayMs = 0;
        options.timings.alertFadeMs = 10;
        options.timings.alertShowMs = 50;
        options.getTimeoutMs = 3000;
        options.postTimeoutMs = 3000;
        options.noticeTimeoutMs = 3000;
    }

    ~ShellHarness()
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

    // Fills the open login dialog, presses "登录" and waits for the outcome.
    void submit(const QString& account, const QString& user, const QString& password)
    {
        CLoginDlg* dialog = loginDialog();
        QVERIFY(dialog);
        dialog->setCredentials(account, user, password);
        QSignalSpy attempts(dialog, &CLoginDlg::loginAttempted);
        QTest::mouseClick(dialog->loginButton(), Qt::LeftButton);
        QVERIFY(attempts.wait());
    }

    // Starts the program and logs in as admin; the window is shown afterwards.
    bool startLoggedIn()
    {
        if (start() != CTelvoraApp::StartResult::Running)
            return false;
        submit(QString::fromLatin1(kAccount), QStringLiteral("admin"), QString::fromLatin1(kPassword));
        return QTest::qWaitFor([this]() { return frame()->isVisible() && app->session().loggedIn; });
    }

    QTemporaryDir dir;
    SmsSimulator simulator;
    ScriptedPrompter prompter;
    ShellOptions options;
    std::unique_ptr<CTelvoraApp> app;
};

} // namespace telvora::test
