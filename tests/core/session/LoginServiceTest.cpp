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

TEST_F(LoginServiceTest, FieldChecksRefuseWithoutCallingTheService)
{
    EXPECT_EQ(logIn("", "pw1234").message, "登录帐号不能为空!");
    const LoginOutcome shortPassword = logIn("8001", "pw123");
    EXPECT_EQ(shortPassword.result, LoginOutcome::Result::Invalid);
    EXPECT_EQ(shortPassword.message, "登录密码不能少于6位!");
    EXPECT_EQ(sim.callCount("UserLogin"), 0);
    EXPECT_FALSE(session.loggedIn);
}

TEST_F(LoginServiceTest, RefusalAndSilenceCarryTheirMessages)
{
    const LoginOutcome outcome = logIn("8001", "wrong-password");
    EXPECT_EQ(outcome.result, LoginOutcome::Result::Refused);
    EXPECT_EQ(outcome.message, "登录失败：帐号或密码错误!");
    EXPECT_EQ(app.GetWorkDatabaseName(), kOfflineDatabase);
    sim.stop();
    EXPECT_EQ(logIn("8001", "pw1234").message, "登录失败：通讯错误，无法连接到服务器!");
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

TEST_F(LoginServiceTest, RememberedPasswordIsLoadedAndForgottenOneIsNot)
{
    ASSERT_EQ(logIn("8001", "pw1234", true).result, LoginOutcome::Result::LoggedIn);
    ASSERT_TRUE(app.OpenWorkDatabase(kOfflineDatabase));
    bool remember = false;
    std::string password;
    login.LoadAccountPassword("admin", remember, password);
    EXPECT_TRUE(remember);
    EXPECT_EQ(password, "pw1234");
    EXPECT_EQ(app.GetWorkDatabaseName(), "admin.db");

    ASSERT_EQ(logIn("8001", "pw1234", false).result, LoginOutcome::Result::LoggedIn);
    EXPECT_EQ(parameter("Password"), "") << "a second login without the choice forgets it";
    login.LoadAccountPassword("admin", remember, password);
    EXPECT_FALSE(remember);
    EXPECT_EQ(password, "");
    EXPECT_EQ(app.GetWorkDatabaseName(), kOfflineDatabase);
}

TEST_F(LoginServiceTest, StartAtLogonFollowsTheChoice)
{
    LoginRequest request;
    request.account = "8001";
    request.user = "admin";
    request.password = "pw1234";
    request.startAtLogon = true;
    ASSERT_EQ(login.LogIn(request).result, LoginOutcome::Result::LoggedIn);
    EXPECT_TRUE(autoStart.IsEnabled());
    EXPECT_EQ(app.GetSetupFile().GetString(kSetupSection, "AutoRun"), "1");
    request.startAtLogon = false;
    ASSERT_EQ(login.LogIn(request).result, LoginOutcome::Result::LoggedIn);
    EXPECT_FALSE(autoStart.IsEnabled());
}

struct UpdateCase
{
    const char* name;
    std::string remote;
    std::string local;
    std::string serverIp;
    bool locked;
    bool asks;
    bool moves;
};

class LoginUpdateList : public LoginServiceTest, public testing::WithParamInterface<UpdateCase>
{
};

TEST_P(LoginUpdateList, AsksAndMovesAsTheListSays)
{
    SimConfig config;
    config.updateVersion = GetParam().remote;
    config.updateServerIp = GetParam().serverIp;
    SmsSimulator listing(config);
    SimAccount account;
    account.account = "8001";
    account.adminPassword = "pw1234";
    listing.addAccount(account);
    ASSERT_TRUE(listing.start());
    service.SetAddress(listing.address());
    app.GetSetupFile().WriteString(kSetupSection, "CurVersion", GetParam().local);
    app.GetSetupFile().WriteString(kSetupSection, "AutoUpdate", GetParam().locked ? "1" : "0");

    const LoginOutcome outcome = logIn("8001", "pw1234");
    ASSERT_EQ(outcome.result, LoginOutcome::Result::LoggedIn) << outcome.message;
    EXPECT_EQ(outcome.updateAvailable, GetParam().asks);
    EXPECT_EQ(app.GetSetupFile().GetString(kSetupSection, "LoginIP"),
        GetParam().moves ? GetParam().serverIp : listing.address());
}

INSTANTIATE_TEST_SUITE_P(Lists, LoginUpdateList,
    testing::Values(UpdateCase {"NewerVersionAsks", "3.1", "3.0", "", false, true, false},
        UpdateCase {"SameVersionIsQuiet", " 3.0 ", "3.0", "", false, false, false},
        UpdateCase {"EmptyRemoteIsQuiet", "", "3.0", "", false, false, false},
        UpdateCase {"ServerIpMovesTheAddress", "3.0", "3.0", "10.0.0.1:8080", false, false, true},
        UpdateCase {"LockedAddressStays", "3.0", "3.0", "10.0.0.1:8080", true, false, false},
        UpdateCase {"EightCharactersAreTooShort", "3.0", "3.0", "10.0.0.1", false, false, false}),
    [](const testing::TestParamInfo<UpdateCase>& info) { return info.param.name; });

TEST(ParseLoginReply, FillsTheSessionInReplyOrder)
{
    CSession session;
    ParseLoginReply("<R><Token> T1 </Token><UserType>5</UserType><UserRight>4x</UserRight><LongSmsLen>67"
                    "</LongSmsLen><SmsStock>12</SmsStock><SignName> 【店】 </SignName></R>",
        session);
    EXPECT_TRUE(session.loggedIn);
    EXPECT_EQ(session.token, "T1");
    EXPECT_EQ(session.userType, "试用用户");
    EXPECT_EQ(session.userRight, 4);
    EXPECT_EQ(session.segmentUpperLimit, 50) << "a missing field keeps its default";
    EXPECT_EQ(session.longSmsLen, 67);
    EXPECT_EQ(session.shortSmsLen, 56);
    EXPECT_EQ(session.stock, 12);
    EXPECT_EQ(session.signName, "【店】");
    EXPECT_EQ(UserTypeName("1") + UserTypeName("2") + UserTypeName("3") + UserTypeName("4"),
        "正式用户VIP用户会员用户接口用户");
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
