#include "db/DateTime.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

struct ParseCase
{
    const char* name;
    const char* text;
    const char* stored; // "" for the null date
};

class DateTimeParseTest : public testing::TestWithParam<ParseCase>
{
};

TEST_P(DateTimeParseTest, NormalisesOrRejects)
{
    EXPECT_EQ(DateTime::parse(GetParam().text).toString(), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Forms, DateTimeParseTest,
    testing::Values(ParseCase {"NoLeadingZeros", "2026-12-6 9:5:3", "2026-12-06 09:05:03"},
        ParseCase {"DateOnly", "2026-1-1", "2026-01-01 00:00:00"},
        ParseCase {"HourAndMinute", "2026-01-01 23:59", "2026-01-01 23:59:00"},
        ParseCase {"SlashesAndT", "2026/3/4T5:06:07.250", "2026-03-04 05:06:07"},
        ParseCase {"Blanks", "  2026-03-04  ", "2026-03-04 00:00:00"},
        ParseCase {"LeapDay2000", "2000-02-29", "2000-02-29 00:00:00"}, ParseCase {"NoLeapDay", "2026-2-29", ""},
        ParseCase {"NoLeapDay1900", "1900-02-29", ""}, ParseCase {"Day31OfApril", "2026-04-31", ""},
        ParseCase {"Month13", "2026-13-01", ""}, ParseCase {"Hour24", "2026-01-01 24:00:00", ""},
        ParseCase {"Minute60", "2026-01-01 10:60", ""}, ParseCase {"MixedSeparators", "2026-01/01", ""},
        ParseCase {"TwoDigitYear", "26-01-01", ""}, ParseCase {"TrailingText", "2026-01-01 abc", ""},
        ParseCase {"HourOnly", "2026-01-01 10", ""}, ParseCase {"Empty", "", ""}),
    [](const testing::TestParamInfo<ParseCase>& info) { return info.param.name; });

TEST(DateTimeTest, ArithmeticCrossesMonthsYearsAndLeapDays)
{
    const DateTime leap = DateTime::fromFields(2024, 2, 28, 10, 30, 0);
    EXPECT_EQ(leap.addDays(1).toString(), "2024-02-29 10:30:00");
    EXPECT_EQ(leap.addDays(2).toString(), "2024-03-01 10:30:00");
    EXPECT_EQ(DateTime::fromFields(2026, 3, 1).addDays(-1).toString(), "2026-02-28 00:00:00");
    EXPECT_EQ(DateTime::fromFields(2026, 12, 31, 23, 59, 59).addSeconds(1).toString(), "2027-01-01 00:00:00");
    EXPECT_EQ(DateTime::fromFields(2026, 1, 1).addSeconds(-1).toString(), "2025-12-31 23:59:59");
    EXPECT_FALSE(DateTime {}.addDays(1).valid);
    EXPECT_EQ(DateTime::daysInMonth(2100, 2), 28);
    EXPECT_EQ(DateTime::fromFields(1899, 12, 30).dayOfWeek(), 6); // a Saturday, before the epoch
    EXPECT_EQ(DateTime::fromFields(2024, 12, 31).dayOfYear(), 366);
    EXPECT_EQ(DateTime {}.format("%Y"), "Invalid DateTime");
}

} // namespace
} // namespace telvora
