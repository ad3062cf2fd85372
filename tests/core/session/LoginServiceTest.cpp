#include "session/LoginService.h"

#include "SmsSimulator.h"
#include "app/AppConstants.h"
#include "app/AppContext.h"
#include "app/AutoStart.h"
#include "core/app/AppTestSupport.h"
#include "service/ServiceClient.h"
#include "service/WebClient.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace telvora {
namespace {

using test::scalar;

class LoginServiceTest : public testing::Test
{
protected:
    void SetUp() override
    {
        addAccount("8001", "pw1234");
        ASSERT_TRUE(sim.start());
        service.SetAddress(sim.address());
        ASSERT_TRUE(app.OpenWorkDatabase(kOfflineDatabase));
    }

    void addAccount(
        const std::string& name, const std::string& password, int userType = 1, const std::string& signName = {})
    {
        SimAccount account;
        account.account = name;
        account.adminPassword = password;
        account.stock = 100;
        account.userType = userType;
        account.signName = signName;
        sim.addAccount(account);
    }

    LoginOutcome logIn(const std::string& account, const std::string& password, bool remember = false,
        const std::string& user = "admin")
    {
        LoginRequest request;
        request.account = account;
        request.user = user;
        request.password = password;
        request.rememberPassword = remember;
        return login.LogIn(request);
    }

    std::string parameter(const std::string& key)
    {
        return scalar(app.GetDatabase(), "SELECT para_value FROM tbl_sys_param WHERE para_name='" + key + "'");
    }

    SmsSimulator sim;
    test::TempDir temp;
    CAppContext app {test::preparedDataDirectory(temp)};
    CWebClient web {nullptr, 5000, 5000};
    CServiceClient service {web};
    CSession session;
    CAutoStart autoStart {"/usr/bin/telvora", temp.file("config")};
    CLoginService login {app, service, session, autoStart};
};

struct FieldCase
{
    const char* name;
    std::string account;
    std::string password;
    std::string message;
};

class LoginFieldChecks : public LoginServiceTest, public testing::WithParamInterface<FieldCase>
{
};

TEST_P(LoginFieldChecks, RefuseWithoutCallingTheService)
{
    const LoginOutcome outcome = logIn(GetParam().account, GetParam().password);
    EXPECT_EQ(outcome.result, LoginOutcome::Result::Invalid);
    EXPECT_EQ(outcome.message, GetParam().message);
    EXPECT_EQ(sim.callCount("UserLogin"), 0);
    EXPECT_FALSE(session.loggedIn);
}

INSTANTIATE_TEST_SUITE_P(Fields, LoginFieldChecks,
    testing::Values(FieldCase {"EmptyAccount", "", "pw1234", "登录帐号不能为空!"},
        FieldCase {"FiveCharacterPassword", "8001", "pw123", "登录密码不能少于6位!"}),
    [](const testing::TestParamInfo<FieldCase>& info) { return info.param.name; });

TEST_F(LoginServiceTest, RefusalCarriesTheServiceMessage)
{
    const LoginOutcome outcome = logIn("8001", "wrong-password");
    EXPECT_EQ(outcome.result, LoginOutcome::Result::Refused);
    EXPECT_EQ(outcome.message, "登录失败：帐号或密码错误!");
    EXPECT_EQ(app.GetWorkDatabaseName(), kOfflineDatabase);
}

TEST_F(LoginServiceTest, UnreachableServiceIsACommunicationError)
{
    sim.stop();
    const LoginOutcome outcome = logIn("8001", "pw1234");
    EXPECT_EQ(outcome.result, LoginOutcome::Result::Refused);
    EXPECT_EQ(outcome.message, "登录失败：通讯错误，无法连接到服务器!");
}

TEST_F(LoginServiceTest, PasswordWithFormCharactersArrivesAsTyped)
{
    // Each of these would cut or change an unescaped form or query.
    addAccount("8002", "a&b#c+d%41e'f");
    const LoginOutcome outcome = logIn("8002", "a&b#c+d%41e'f", true);
    ASSERT_EQ(outcome.result, LoginOutcome::Result::LoggedIn) << outcome.message;
    EXPECT_TRUE(session.loggedIn);
    EXPECT_EQ(parameter("Password"), "a&b#c+d%41e'f") << "a remembered password is stored intact";
    EXPECT_EQ(parameter("RememberPwd"), "1");
}

TEST_F(LoginServiceTest, FirstLoginCreatesTheUserDatabaseAndRecordsIt)
{
    const LoginOutcome outcome = logIn("8001", "pw1234");
    ASSERT_EQ(outcome.result, LoginOutcome::Result::LoggedIn) << outcome.message;
    EXPECT_EQ(app.GetWorkDatabaseName(), "admin.db");
    EXPECT_TRUE(std::filesystem::exists(temp.file("admin.db")));
    EXPECT_EQ(parameter("Account"), "8001");
    EXPECT_EQ(parameter("Password"), "") << "not remembered";
    EXPECT_EQ(app.GetParameters().Get("User"), "admin");
    EXPECT_EQ(app.GetSetupFile().GetString(kSetupSection, "CurAccount"), "8001");
    EXPECT_EQ(app.GetSetupFile().GetString(kSetupSection, "LoginIP"), sim.address());
    EXPECT_FALSE(autoStart.IsEnabled());
}

TEST_F(LoginServiceTest, HistoryKeepsWholeEntries)
{
    app.GetSetupFile().WriteString(kSetupSection, "LastAccunt", "80012;");
    addAccount("8001", "pw1234");
    ASSERT_EQ(logIn("8001", "pw1234").result, LoginOutcome::Result::LoggedIn);
    ASSERT_EQ(logIn("8001", "pw1234").result, LoginOutcome::Result::LoggedIn);
    EXPECT_EQ(login.AccountHistory(), (std::vector<std::string> {"80012", "8001"}));
    EXPECT_EQ(login.UserHistory(), (std::vector<std::string> {"admin"}));
}

TEST_F(LoginServiceTest, SignatureBecomesTheTail)
{
    addAccount("8003", "pw1234", 1, " 【小店】 ");
    ASSERT_EQ(logIn("8003", "pw1234").result, LoginOutcome::Result::LoggedIn);
    EXPECT_EQ(app.GetParameters().Get("AddSMSTail"), "1");
    EXPECT_EQ(app.GetParameters().Get("SMSTail"), "【小店】");
}

TEST_F(LoginServiceTest, InterfaceAccountIsTurnedAway)
{
    addAccount("8004", "pw1234", 4);
    const LoginOutcome outcome = logIn("8004", "pw1234");
    EXPECT_EQ(outcome.result, LoginOutcome::Result::InterfaceAccount);
    EXPECT_EQ(outcome.message, "您使用的帐号是我公司接口访问帐号，不能使用客户端发送短信!");
}

} // namespace
} // namespace telvora
