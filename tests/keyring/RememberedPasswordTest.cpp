#include "app/RememberedPassword.h"

#include "app/PasswordVault.h"
#include "core/session/LoginWorld.h"
#include "session/LoginService.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace telvora {
namespace {

// Runs twice: on a private session bus with a keyring daemon (TELVORA_SECRET_SERVICE=1)
// and with no bus at all (0).
bool secretServiceExpected()
{
    const char* expected = std::getenv("TELVORA_SECRET_SERVICE");
    return expected && std::string(expected) == "1";
}

class RememberedPasswordTest : public testing::Test, protected test::LoginWorld
{
protected:
    void SetUp() override
    {
        SimAccount account;
        account.account = "8001";
        account.adminPassword = kPassword;
        sim.addAccount(account);
        ASSERT_TRUE(start());
    }

    std::string stored()
    {
        return test::scalar(app.GetDatabase(), "SELECT para_value FROM tbl_sys_param WHERE para_name='Password'");
    }

    static constexpr const char* kPassword = "pw'1&x";
    CPasswordVault vault;
    CLoginService login {app, service, session, autoStart, &vault};
};

TEST_F(RememberedPasswordTest, StaysOutOfTheDatabaseWhereASecretStoreRuns)
{
    const bool secretService = secretServiceExpected();
    ASSERT_EQ(vault.IsAvailable(), secretService);

    ASSERT_EQ(login.LogIn({"8001", "", kPassword, true, false}).result, LoginOutcome::Result::LoggedIn);
    EXPECT_EQ(stored(), secretService ? "" : kPassword);
    EXPECT_EQ(vault.Lookup("8001", "admin"), secretService ? std::optional<std::string>(kPassword) : std::nullopt);
    bool remember = false;
    std::string password;
    login.LoadAccountPassword("", remember, password);
    EXPECT_TRUE(remember);
    EXPECT_EQ(password, kPassword);

    // A password change updates whichever place holds it.
    ASSERT_TRUE(StoreChangedPassword(app.GetDatabase(), app.GetParameters(), &vault, "new'pw2"));
    EXPECT_EQ(stored(), secretService ? "" : "new'pw2");
    EXPECT_EQ(ReadRememberedPassword(app.GetParameters(), &vault, ""), "new'pw2");
    sim.addUser("8001", "admin", "new'pw2");

    ASSERT_EQ(login.LogIn({"8001", "", "new'pw2", false, false}).result, LoginOutcome::Result::LoggedIn);
    EXPECT_EQ(stored(), "");
    EXPECT_EQ(vault.Lookup("8001", ""), std::nullopt) << "forgotten everywhere";
}

} // namespace
} // namespace telvora
