#include "CliHarness.h"
#include "db/DateTime.h"

#include <algorithm>
#include <filesystem>

namespace telvora::test {
namespace {

using CliLunar = CliHarness;

TEST_F(CliLunar, PrintsOneLinePerDateGivenAndNeedsNoDataDirectory)
{
    const CliResult result = run({"lunar", "2020-05-23", "2008-2-6", "2033-12-22"});

    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
        "2020-05-23\t2020-L04-01\t鼠(庚子)年闰四月初一\n"
        "2008-02-06\t2007-12-30\t猪(丁亥)年腊月三十\n"
        "2033-12-22\t2033-L11-01\t牛(癸丑)年闰十一月初一\n");
    EXPECT_TRUE(std::filesystem::is_empty(home.path()));
}

TEST_F(CliLunar, DayOutsideTheTableIsMarkedAndExitsOneAfterTheRest)
{
    const CliResult result = run({"lunar", "1921-02-07", "1921-02-08", "2101-01-29"});

    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out,
        "1921-02-07\t-\n"
        "1921-02-08\t1921-01-01\t鸡(辛酉)年正月初一\n"
        "2101-01-29\t-\n");
}

TEST_F(CliLunar, RangeCoversEveryDayBothEndsIncluded)
{
    const CliResult result = run({"lunar", "--from", "2100-02-27", "--to=2100-03-01"});

    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
        "2100-02-27\t2100-01-19\t猴(庚申)年正月十九\n"
        "2100-02-28\t2100-01-20\t猴(庚申)年正月二十\n"
        "2100-03-01\t2100-01-21\t猴(庚申)年正月廿一\n");

    const CliResult edge = run({"lunar", "--from", "2101-01-28", "--to", "2101-01-29"});
    EXPECT_EQ(edge.exitCode, 1);
    EXPECT_EQ(edge.out, "2101-01-28\t2100-12-29\t猴(庚申)年腊月廿九\n2101-01-29\t-\n");

    const CliResult last = run({"lunar", "--from", "9999-12-31", "--to", "9999-12-31"});
    EXPECT_EQ(last.exitCode, 1);
    EXPECT_EQ(last.out, "9999-12-31\t-\n") << "the range stops at the last day there is";
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

struct BadLunarCase
{
    const char* name;
    std::vector<std::string> arguments;
};

class CliLunarRefused : public CliHarness, public testing::WithParamInterface<BadLunarCase>
{
};

TEST_P(CliLunarRefused, ExitsTwoWithoutOutput)
{
    std::vector<std::string> arguments = {"lunar"};
    arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());
    const CliResult result = run(arguments);

    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("telvora-cli: "), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(Arguments, CliLunarRefused,
    testing::Values(BadLunarCase {"ImpossibleDay", {"2021-02-29"}}, BadLunarCase {"NotADate", {"tomorrow"}},
        BadLunarCase {"TimeOfDay", {"2021-02-12 10:00"}}, BadLunarCase {"FromWithoutTo", {"--from", "2021-01-01"}},
        BadLunarCase {"ToBeforeFrom", {"--from", "2021-01-02", "--to", "2021-01-01"}},
        BadLunarCase {"DatesAndRange", {"2021-01-01", "--from", "2021-01-01", "--to", "2021-01-01"}},
        BadLunarCase {"ForeignOption", {"--user", "admin"}}),
    [](const testing::TestParamInfo<BadLunarCase>& info) { return info.param.name; });

} // namespace
} // namespace telvora::test
