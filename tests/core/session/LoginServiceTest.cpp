#include "session/LoginService.h"

#include "LoginWorld.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

SimAccount simAccount(
    const std::string& name, const std::string& password, int userType = 1, const std::string& signName = {})
{
    SimAccount account;
    account.account = name;
    account.adminPassword = password;
    account.stock = 100;
    account.userType = userType;
    account.signName = signName;
    return account;
}

class LoginServiceTest : public testing::Test, protected test::LoginWorld
{
protected:
    void SetUp() override
    {
        sim.addAccount(simAccount("8001", kPassword, 1, " 【小店】 "));
        ASSERT_TRUE(start());
    }

    LoginOutcome logIn(
        const std::string& account, const std::string& password, bool remember = false, bool startAtLogon = false)
    {
        return login.LogIn({account, "admin", password, remember, startAtLogon});
    }

    std::string parameter(const std::string& key)
    {
        return test::scalar(app.GetDatabase(), "SELECT para_value FROM tbl_sys_param WHERE para_name='" + key + "'");
    }

    // Each of these would cut or change an unescaped form or query.
    static constexpr const char* kPassword = "a&b#c+d%41e'f";
    CLoginService login {app, service, session, autoStart};
};

TEST_F(LoginServiceTest, RefusalsCarryTheirMessagesAndKeepTheOfflineDatabase)
{
    sim.addAccount(simAccount("8004", "pw1234", 4));
    EXPECT_EQ(logIn("", "pw1234").message, "登录帐号不能为空!");
    EXPECT_EQ(logIn("8001", "pw123").result, LoginOutcome::Result::Invalid);
    EXPECT_EQ(logIn("8001", "pw123").message, "登录密码不能少于6位!");
    // Characters are counted, not bytes: "密码1" is 7 bytes but 3 characters.
    EXPECT_EQ(logIn("8001", "密码1").message, "登录密码不能少于6位!");
    EXPECT_EQ(sim.callCount("UserLogin"), 0) << "the fields are checked first";
    EXPECT_EQ(logIn("8001", "wrong-password").result, LoginOutcome::Result::Refused);
    EXPECT_EQ(logIn("8001", "wrong-password").message, "登录失败：帐号或密码错误!");
    EXPECT_FALSE(session.loggedIn);
    EXPECT_EQ(app.GetWorkDatabaseName(), kOfflineDatabase);
    const LoginOutcome apiAccount = logIn("8004", "pw1234");
    EXPECT_EQ(apiAccount.result, LoginOutcome::Result::InterfaceAccount);
    EXPECT_EQ(apiAccount.message, "您使用的帐号是我公司接口访问帐号，不能使用客户端发送短信!");
    EXPECT_FALSE(session.loggedIn) << "an interface account is turned away";
    sim.addAccount(simAccount("8003", "六个汉字密码"));
    EXPECT_EQ(logIn("8003", "六个汉字密码").result, LoginOutcome::Result::LoggedIn);
    sim.stop();
    EXPECT_EQ(logIn("8001", "pw1234").message, "登录失败：通讯错误，无法连接到服务器!");
}

TEST_F(LoginServiceTest, LoginCreatesTheUserDatabaseAndRecordsItsChoices)
{
    app.GetSetupFile().WriteString(kSetupSection, "LastAccunt", "80012;");
    const LoginOutcome outcome = logIn("8001", kPassword, true, true);
    ASSERT_EQ(outcome.result, LoginOutcome::Result::LoggedIn) << outcome.message;
    EXPECT_EQ(app.GetWorkDatabaseName(), "admin.db");
    EXPECT_EQ(parameter("Account"), "8001");
    EXPECT_EQ(parameter("Password"), kPassword);
    EXPECT_EQ(app.GetParameters().Get("User"), "admin");
    EXPECT_EQ(app.GetSetupFile().GetString(kSetupSection, "CurAccount"), "8001");
    EXPECT_EQ(app.GetSetupFile().GetString(kSetupSection, "LoginIP"), sim.address());
    EXPECT_EQ(app.GetParameters().Get("AddSMSTail"), "1") << "the account's signature becomes the tail";
    EXPECT_EQ(app.GetParameters().Get("SMSTail"), "【小店】");
    EXPECT_TRUE(autoStart.IsEnabled());
    EXPECT_EQ(app.GetSetupFile().GetString(kSetupSection, "AutoRun"), "1");

    ASSERT_EQ(logIn("8001", kPassword).result, LoginOutcome::Result::LoggedIn);
    EXPECT_EQ(parameter("Password"), "") << "forgotten on the next login";
    EXPECT_FALSE(autoStart.IsEnabled());
    // "8001" is not mistaken for part of "80012", and is listed once.
    EXPECT_EQ(login.AccountHistory(), (std::vector<std::string> {"80012", "8001"}));
    EXPECT_EQ(login.UserHistory(), (std::vector<std::string> {"admin"}));
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

TEST_F(LoginServiceTest, UpdateListAsksAndMovesTheAddress)
{
    const UpdateCase rows[] = {{"NewerVersionAsks", "3.1", "3.0", "", false, true, false},
        {"SameVersionIsQuiet", " 3.0 ", "3.0", "", false, false, false},
        {"EmptyRemoteIsQuiet", "", "3.0", "", false, false, false},
        {"ServerIpMovesTheAddress", "3.0", "3.0", "10.0.0.1:8080", false, false, true},
        {"LockedAddressStays", "3.0", "3.0", "10.0.0.1:8080", true, false, false},
        {"EightCharactersAreTooShort", "3.0", "3.0", "10.0.0.1", false, false, false}};
    for (const UpdateCase& row : rows) {
        sim.setUpdateInfo(row.remote, row.serverIp);
        service.SetAddress(sim.address());
        app.GetSetupFile().WriteString(kSetupSection, "CurVersion", row.local);
        app.GetSetupFile().WriteString(kSetupSection, "AutoUpdate", row.locked ? "1" : "0");

        const LoginOutcome outcome = logIn("8001", kPassword);
        ASSERT_EQ(outcome.result, LoginOutcome::Result::LoggedIn) << row.name << ": " << outcome.message;
        EXPECT_EQ(outcome.updateAvailable, row.asks) << row.name;
        EXPECT_EQ(app.GetSetupFile().GetString(kSetupSection, "LoginIP"), row.moves ? row.serverIp : sim.address())
            << row.name;
    }
}

// A field missing from the reply takes its default, not the previous session's value.
TEST(ParseLoginReply, FillsTheSessionFromTheDefaults)
{
    CSession session;
    session.segmentUpperLimit = 9;
    session.userRight = 4;
    ParseLoginReply("<R><Token> T1 </Token><UserType>5</UserType><UserRight>4x</UserRight><LongSmsLen>67"
                    "</LongSmsLen><SmsStock>12</SmsStock><SignName> 【店】 </SignName></R>",
        session);
    EXPECT_TRUE(session.loggedIn);
    EXPECT_EQ(session.token, "T1");
    EXPECT_EQ(session.userType, "试用用户");
    EXPECT_EQ(session.userRight, 4);
    EXPECT_EQ(session.longSmsLen, 67);
    EXPECT_EQ(session.segmentUpperLimit, 50);
    EXPECT_EQ(session.signName, "【店】");
    ParseLoginReply("<R><Token>T2</Token></R>", session);
    EXPECT_EQ(session.signName, "");
    EXPECT_EQ(session.userRight, 0);
}

} // namespace
} // namespace telvora
