#include "account/AccountAdmin.h"

#include "SmsSimulator.h"
#include "account/AccountChecks.h"
#include "account/AccountList.h"
#include "account/BillQuery.h"
#include "service/ServiceClient.h"
#include "service/WebClient.h"
#include "session/Session.h"
#include "support/SimulatorLogin.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

class AccountAdminTest : public testing::Test
{
protected:
    void SetUp() override
    {
        SimAccount account;
        account.account = "8001";
        account.adminPassword = "pw1234";
        account.stock = 500;
        account.companyName = "小店";
        account.phone = "010-1234";
        sim.addAccount(account);
        sim.addUser("8001", "sales", "s12345", 40, "销售&市场");
        ASSERT_TRUE(sim.start());
        service.SetAddress(sim.address());
        logIn("");
    }

    void logIn(const std::string& user, const std::string& password = "pw1234")
    {
        ASSERT_TRUE(test::logInDirectly(service, "8001", user, password, session));
    }

    SmsSimulator sim;
    CWebClient web;
    CServiceClient service {web};
    CSession session;
    CAccountAdmin admin {service, session};
};

TEST_F(AccountAdminTest, ValuesReachTheServiceAsTyped)
{
    const std::string name = " a+b&c%d#e'f";
    const std::string password = "P+&%#'1x";
    ASSERT_TRUE(admin.AddSubAccount(name, password, "备注 50%+")) << admin.GetMessage();
    EXPECT_EQ(sim.password("8001", name), password);

    AccountInfo info;
    ASSERT_TRUE(admin.GetUserInfo(info));
    ASSERT_EQ(info.accounts.size(), 3u);
    EXPECT_EQ(info.accounts[2].user, name);
    EXPECT_EQ(info.accounts[2].memo, "备注 50%+");

    ASSERT_TRUE(admin.ResetSubAccountPassword(name, "n&w+1%"));
    EXPECT_EQ(sim.password("8001", name), "n&w+1%");
    ASSERT_TRUE(admin.ChangePassword("pw1234", "new'&+pw1"));
    EXPECT_EQ(sim.password("8001", "admin"), "new'&+pw1");
}

TEST_F(AccountAdminTest, ListsTheMainUserFirstAndFollowsDistributionAndRemoval)
{
    AccountInfo info;
    ASSERT_TRUE(admin.GetUserInfo(info));
    EXPECT_EQ(info.companyName, "小店");
    EXPECT_EQ(info.phone, "010-1234");
    EXPECT_EQ(info.totalAccounts, "10");
    std::vector<AccountRow> rows = BuildAccountRows(info, session.stock);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].user + "|" + rows[0].kind + "|" + rows[0].stock, "admin|管理员|500");
    EXPECT_EQ(rows[1].number + "|" + rows[1].user + "|" + rows[1].kind + "|" + rows[1].stock + "|" + rows[1].memo,
        "2|sales|子帐号|40|销售&市场");

    ASSERT_TRUE(admin.DistributeStock("sales", 60));
    EXPECT_EQ(session.stock, 440) << "the session's stock is refreshed";
    ApplyDistribution(rows, "sales", 60, session.stock);
    EXPECT_EQ(rows[0].stock + "/" + rows[1].stock, "440/100");
    ASSERT_TRUE(admin.DistributeStock("sales", -30));
    EXPECT_EQ(sim.stock("8001", "sales"), 70);

    EXPECT_FALSE(admin.DistributeStock("sales", -1000)) << "the service decides on taking back too much";
    EXPECT_FALSE(admin.GetMessage().empty());
    EXPECT_EQ(session.stock, 470);

    AppendAddedAccount(rows, "later", "x");
    ASSERT_TRUE(admin.RemoveSubAccount("sales"));
    EXPECT_EQ(session.stock, 540) << "a removed account's stock goes back";
    RemoveAccountRow(rows, "sales", session.stock);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].number, "3") << "the other rows keep their numbers";
    AppendAddedAccount(rows, "next", "");
    EXPECT_EQ(rows[2].number, "4");
    EXPECT_EQ(DistributionCandidates(rows), (std::vector<std::string> {"next", "later"}));
}

TEST_F(AccountAdminTest, ASubAccountIsRefusedByTheService)
{
    sim.addUser("8001", "clerk", "c12345");
    logIn("clerk", "c12345");
    EXPECT_FALSE(admin.AddSubAccount("other1", "Abc123!", ""));
    EXPECT_FALSE(admin.GetMessage().empty());
    EXPECT_EQ(sim.users("8001").size(), 3u);
}

TEST_F(AccountAdminTest, BillsListOnlyDaysWithSends)
{
    const DateTime now = DateTime::now();
    const BillRange range = AllowedBillRange(now);
    EXPECT_EQ(range.first, now.addDays(-25));
    EXPECT_EQ(range.last, now.addDays(-1));
    const std::string day1 = now.addDays(-3).format("%Y-%m-%d");
    const std::string day2 = now.addDays(-2).format("%Y-%m-%d");
    sim.addConsumption("8001", "admin", day1, 30);
    sim.addConsumption("8001", "sales", day1, 0);
    sim.addConsumption("8001", "sales", day2, 12);

    CBillQuery query(service, session);
    BillReport report;
    ASSERT_TRUE(query.Query(range.first, range.last, report)) << query.GetMessage();
    EXPECT_EQ(report.companyName, "小店");
    ASSERT_EQ(report.rows.size(), 2u);
    EXPECT_EQ(report.rows[0].user + "|" + report.rows[0].day + "|" + report.rows[0].sent, "admin|" + day1 + "|30");
    EXPECT_EQ(report.rows[1].user + "|" + report.rows[1].total, "sales|12");
    EXPECT_EQ(report.total, 42);

    ASSERT_TRUE(query.Query(now.addDays(-1), now.addDays(-1), report));
    EXPECT_TRUE(report.rows.empty());
    EXPECT_EQ(report.total, 0);

    session.loggedIn = false;
    EXPECT_FALSE(query.Query(range.first, range.last, report));
    EXPECT_EQ(query.GetMessage(), "尚未在线登录,无法在线查询帐单!");
}

struct CheckCase
{
    const char* name;
    std::string message;
    std::string expected;
};

class AccountChecksTest : public testing::TestWithParam<CheckCase>
{
};

TEST_P(AccountChecksTest, RefusesInTheDialogsOrder)
{
    EXPECT_EQ(GetParam().message, GetParam().expected);
}

int g_amount = 0;
const std::vector<std::string> kNames = {"sales", "later"};

INSTANTIATE_TEST_SUITE_P(Checks, AccountChecksTest,
    testing::Values(CheckCase {"access_offline", CheckAccountManagementAccess(false, "admin"), "您尚未在线登录!"},
        CheckCase {
            "access_sub_account", CheckAccountManagementAccess(true, "sales"), "您不是管理员帐号，没有帐号管理权限!"},
        CheckCase {"access_empty_user_is_admin", CheckAccountManagementAccess(true, ""), ""},
        CheckCase {"bills_sub_account", CheckBillQueryAccess("sales"), "您不是管理员帐号，没有帐单查询权限!"},
        CheckCase {"add_name_four", CheckNewSubAccount("abcd", "x", "y"), "子帐户名称不能少于5位!"},
        CheckCase {"add_password_five", CheckNewSubAccount("abcde", "Ab1!x", "y"), "密码长度不能少于6位!"},
        CheckCase {"add_unconfirmed", CheckNewSubAccount("abcde", "abcd1234", "abcd1235"),
            "密码未被确认,请确保密码与确认密码完全相符!"},
        CheckCase {"add_too_simple", CheckNewSubAccount("abcde", "abcdefgh", "abcdefgh"),
            "系统检查到您的密码过于简单，为保障您的帐号安全，请修改为强密码!"},
        CheckCase {"add_ok", CheckNewSubAccount("张三丰五人", "abcd1234", "abcd1234"), ""},
        CheckCase {"reset_nothing_selected", CheckPasswordResetTarget(std::nullopt), "请选择要初始化密码的用户!"},
        CheckCase {"reset_admin", CheckPasswordResetTarget("admin"), "请选中子帐号，不能在此修改admin帐号的密码!"},
        CheckCase {"reset_five", CheckResetPassword("12345"), "密码的长度不能小于6位，或大于10位!"},
        CheckCase {"reset_six", CheckResetPassword("123456"), ""},
        CheckCase {"reset_ten", CheckResetPassword("1234567890"), ""},
        CheckCase {"reset_eleven", CheckResetPassword("12345678901"), "密码的长度不能小于6位，或大于10位!"},
        CheckCase {"remove_nothing_selected", CheckRemovalSelected(std::nullopt), "请选择要删除的用户!"},
        CheckCase {"remove_admin", CheckRemovalTarget("admin"), "不能删除admin管理员用户!"},
        CheckCase {
            "stock_empty_name", CheckStockDistribution("", kNames, "5", true, 10, g_amount), "分配的用户名称不能为空!"},
        CheckCase {"stock_unknown_name", CheckStockDistribution("Sales", kNames, "5", true, 10, g_amount),
            "您输入的子帐号不存在，请重新选择或录入!"},
        CheckCase {"stock_not_a_number", CheckStockDistribution("sales", kNames, "5x", true, 10, g_amount),
            "请输入一个整数。"},
        CheckCase {
            "stock_zero", CheckStockDistribution("sales", kNames, "0", true, 10, g_amount), "分配的数量必须大于0!"},
        CheckCase {"stock_above_stock", CheckStockDistribution("sales", kNames, "11", true, 10, g_amount),
            "分配的数量不能大于可分配数量!"},
        CheckCase {"stock_all", CheckStockDistribution("sales", kNames, "10", true, 10, g_amount), ""},
        CheckCase {
            "stock_take_back_unbounded", CheckStockDistribution("later", kNames, "999", false, 10, g_amount), ""},
        CheckCase {"change_short", CheckPasswordChange("old", "abc12", "abc12", "old"), "密码长度不能少于6位!"},
        CheckCase {"change_unconfirmed", CheckPasswordChange("old", "abcd1234", "abcd12345", "old"),
            "密码未被确认,请确保密码与确认密码完全相符!"},
        CheckCase {
            "change_wrong_old", CheckPasswordChange("olx", "abcd1234", "abcd1234", "old"), "输入的旧密码验证失败!"},
        CheckCase {"change_too_simple", CheckPasswordChange("old", "abcdefgh", "abcdefgh", "old"),
            "系统检查到您的密码过于简单，为保障您的帐号安全，请修改为强密码!"},
        CheckCase {"change_ok", CheckPasswordChange("old", "abcd1234", "abcd1234", "old"), ""}),
    [](const testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });

TEST(StockDistributionCheck, TakingBackNegatesTheAmount)
{
    int amount = 0;
    ASSERT_EQ(CheckStockDistribution("sales", kNames, "25", false, 0, amount), "");
    EXPECT_EQ(amount, -25);
    ASSERT_EQ(CheckStockDistribution("sales", kNames, "25", true, 30, amount), "");
    EXPECT_EQ(amount, 25);
}

} // namespace
} // namespace telvora
