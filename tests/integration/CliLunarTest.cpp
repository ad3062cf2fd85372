#include "CliHarness.h"
#include "db/DateTime.h"

#include <algorithm>
#include <filesystem>

namespace telvora::test {
namespace {

using CliLunar = CliHarness;

// Days outside the table are marked and make the exit code 1 after the rest is printed.
TEST_F(CliLunar, PrintsOneLinePerDayAndNeedsNoDataDirectory)
{
    const struct
    {
        std::vector<std::string> arguments;
        int exitCode;
        const char* out;
    } rows[] = {
        {{"2020-05-23", "2008-2-6", "2033-12-22"}, 0,
            "2020-05-23\t2020-L04-01\t鼠(庚子)年闰四月初一\n2008-02-06\t2007-12-30\t猪(丁亥)年腊月三十\n"
            "2033-12-22\t2033-L11-01\t牛(癸丑)年闰十一月初一\n"},
        {{"1921-02-07", "1921-02-08", "2101-01-29"}, 1,
            "1921-02-07\t-\n1921-02-08\t1921-01-01\t鸡(辛酉)年正月初一\n2101-01-29\t-\n"},
        {{"--from", "2100-02-27", "--to=2100-03-01"}, 0,
            "2100-02-27\t2100-01-19\t猴(庚申)年正月十九\n2100-02-28\t2100-01-20\t猴(庚申)年正月二十\n"
            "2100-03-01\t2100-01-21\t猴(庚申)年正月廿一\n"},
        {{"--from", "2101-01-28", "--to", "2101-01-29"}, 1,
            "2101-01-28\t2100-12-29\t猴(庚申)年腊月廿九\n2101-01-29\t-\n"},
        // The range stops at the last day there is.
        {{"--from", "9999-12-31", "--to", "9999-12-31"}, 1, "9999-12-31\t-\n"},
    };
    for (const auto& row : rows) {
        std::vector<std::string> arguments = {"lunar"};
        arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
        const CliResult result = run(arguments);
        EXPECT_EQ(result.exitCode, row.exitCode) << row.arguments.front() << result.err;
        EXPECT_EQ(result.out, row.out);
    }
    EXPECT_TRUE(std::filesystem::is_empty(home.path()));
}

TEST_F(CliLunar, WithoutDatesShowsToday)
{
    const std::string before = DateTime::now().format("%Y-%m-%d");
    const CliResult result = run({"lunar"});
    const std::string after = DateTime::now().format("%Y-%m-%d");

    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::string day = result.out.substr(0, result.out.find('\t'));
    EXPECT_TRUE(day == before || day == after) << result.out;
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\t'), 2) << result.out;
}

TEST_F(CliLunar, BadArgumentsExitTwoWithoutOutput)
{
    const std::vector<std::vector<std::string>> rows = {{"2021-02-29"}, {"tomorrow"}, {"2021-02-12 10:00"},
        {"--from", "2021-01-01"}, {"--from", "2021-01-02", "--to", "2021-01-01"},
        {"2021-01-01", "--from", "2021-01-01", "--to", "2021-01-01"}, {"--user", "admin"}};
    for (const std::vector<std::string>& row : rows) {
        std::vector<std::string> arguments = {"lunar"};
        arguments.insert(arguments.end(), row.begin(), row.end());
        const CliResult result = run(arguments);
        EXPECT_EQ(result.exitCode, 2) << row.back();
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find("telvora-cli: "), std::string::npos) << result.err;
    }
}

} // namespace
} // namespace telvora::test
