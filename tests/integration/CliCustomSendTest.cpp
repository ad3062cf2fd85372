#include "CliHarness.h"
#include "db/DateTime.h"

namespace telvora::test {
namespace {

class CliCustomSend : public CliHarness
{
protected:
    // A UTF-8 sheet: the captions, then one row per number with a name and an amount.
    std::string sheet(const std::vector<std::string>& numbers, const std::string& captions = "手机号码,姓名,金额",
        const std::string& name = "pay.csv")
    {
        const std::string path = work.file(name);
        std::ofstream out(path, std::ios::binary);
        out << captions << "\n";
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            out << numbers[i] << ",名" << i << "," << 100 + i << "\n";
        }
        return path;
    }

    CliResult customSend(const std::string& file, const std::string& text, const std::vector<std::string>& rest = {})
    {
        std::vector<std::string> arguments = {"--file", file, "--template", text};
        arguments.insert(arguments.end(), rest.begin(), rest.end());
        return run(loggedIn("custom-send", arguments));
    }
};

TEST_F(CliCustomSend, EveryRowGetsItsOwnTextAndItsOwnRow)
{
    const CliResult result = customSend(sheet({"13900000003", "13900000001", "bad", "13900000003"}), "{姓名}:{金额}元");

    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.value("accepted") + "/" + result.value("success_count"), "3/3");
    EXPECT_NE(result.out.find("短信已成功提交到服务器，详情请查询短信发送记录!"), std::string::npos);
    const auto jobs = sim.jobs();
    ASSERT_EQ(jobs.size(), 1U);
    const auto& messages = jobs.front().messages;
    ASSERT_EQ(messages.size(), 3U);
    EXPECT_EQ(messages[0].phone + " " + messages[0].text, "13900000001 名1:101元");
    EXPECT_EQ(messages[1].phone + " " + messages[1].text, "13900000003 名0:100元");
    EXPECT_EQ(messages[2].text, "名3:103元");
    EXPECT_EQ(query("SELECT GROUP_CONCAT(content, '|') FROM (SELECT content FROM tbl_sendsms_detail ORDER BY id)"),
        "名1:101元|名0:100元|名3:103元");
    EXPECT_EQ(query("SELECT send_mode || content FROM tbl_sendsms"), "4{姓名}:{金额}元");
}

// 102 recipients: 101 in the first request, the last after the pause.
TEST_F(CliCustomSend, FirstRequestHolds101Numbers)
{
    const auto numbers = spreadNumbers(102);
    sim.injectFault("CustomSend", simFault(SimFault::Kind::Http500), 2);
    const CliResult result = customSend(sheet(numbers), "{姓名}您好");

    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(sim.callCount("CustomSend"), 2);
    ASSERT_EQ(sim.jobs().size(), 1U);
    EXPECT_EQ(sim.jobs().front().messages.size(), 101U);
    EXPECT_EQ(result.value("accepted") + "/" + result.value("unknown"), "101/1") << "no answer is no refusal";
    EXPECT_EQ(query("SELECT phones FROM tbl_sendsms_detail WHERE status=2"), numbers[101]);
}

TEST_F(CliCustomSend, RefusalsExitTwoAndPostNothing)
{
    sim.addAccount(simAccount("8002", kPassword, 1));
    const std::string pay = sheet({"13900000001", "13900000002"});
    const std::string phone = sheet({"13900000001", "13900000002"}, "电话,姓名,金额", "phone.csv");
    const std::string longText = "{姓名}" + std::string(70, 'x');
    const struct
    {
        std::vector<std::string> arguments;
        const char* reason;
    } rows[] = {
        {loggedIn("custom-send", {"--file", pay, "--template", "您好"}), "适合用普通发送模式"},
        {loggedIn("custom-send", {"--file", phone, "--template", "{姓名}"}), "手机号码列不能为空!"},
        {loggedIn("custom-send", {"--file", pay, "--template", longText}), "(没有发送；确认请加 --yes)"},
        {{"custom-send", "--account", "8002", "--password", kPassword, "--file", pay, "--template", "{姓名}"},
            "本次发送所需短信条数[2]，您的短信余量不足!"},
        {loggedIn("custom-send",
             {"--file", pay, "--template", "{姓名}", "--at", DateTime::now().addDays(-1).format("%Y-%m-%d %H:%M")}),
            "定时发送的日期必须大于当前日期!"},
        {loggedIn("custom-send", {"--file", pay}), ""},
    };
    for (const auto& row : rows) {
        const CliResult result = run(row.arguments);
        EXPECT_EQ(result.exitCode, 2) << row.reason;
        EXPECT_NE(result.err.find(row.reason), std::string::npos) << result.err;
    }
    EXPECT_EQ(sim.callCount("CustomSend"), 0);

    const CliResult confirmed = customSend(phone, longText, {"--phone-column", "电话", "--yes"});
    ASSERT_EQ(confirmed.exitCode, 0) << confirmed.err;
    EXPECT_EQ(confirmed.value("success_count"), "4");
    EXPECT_EQ(customSend(work.file("missing.xlsx"), "{姓名}").exitCode, 3);
}

} // namespace
} // namespace telvora::test
