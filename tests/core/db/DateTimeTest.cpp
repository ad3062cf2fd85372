#include "db/DateTime.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace telvora {
namespace {

struct ParseCase
{
    const char* name;
    const char* text;
    const char* stored; // "" for the null date
};

// Zones are turned into the local time of a fixed zone (UTC+8, no summer time).
class DateTimeParseTest : public testing::TestWithParam<ParseCase>
{
protected:
    void SetUp() override
    {
        const char* zone = std::getenv("TZ");
        m_savedZone = zone ? std::optional<std::string>(zone) : std::nullopt;
        setenv("TZ", "CST-8", 1);
        tzset();
    }
    void TearDown() override
    {
        if (m_savedZone) {
            setenv("TZ", m_savedZone->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

    std::optional<std::string> m_savedZone;
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
        ParseCase {"Dots", "2026.12.6", "2026-12-06 00:00:00"},
        ParseCase {"DotsWithTime", "2026.12.06 21:05:30", "2026-12-06 21:05:30"},
        ParseCase {"Chinese", "2026年12月6日", "2026-12-06 00:00:00"},
        ParseCase {"ChineseWithTime", "2026年12月6日 9:05", "2026-12-06 09:05:00"},
        ParseCase {"ChineseAfternoonJoined", "2026年12月6日下午9:05", "2026-12-06 21:05:00"},
        ParseCase {"AmPmLowerCaseJoined", "2026-12-6 9:05:07pm", "2026-12-06 21:05:07"},
        ParseCase {"TwelveAm", "2026-12-6 12:30 AM", "2026-12-06 00:30:00"},
        ParseCase {"TwelvePm", "2026-12-6 12:30 PM", "2026-12-06 12:30:00"},
        ParseCase {"ForenoonBefore", "2026/12/6 上午 11:05", "2026-12-06 11:05:00"},
        ParseCase {"AfternoonAfter", "2026-12-6 9:05 下午", "2026-12-06 21:05:00"},
        ParseCase {"IsoZoneOfHere", "2026-03-05T09:06:00+08:00", "2026-03-05 09:06:00"},
        ParseCase {"IsoUtc", "2026-03-05T01:06:00Z", "2026-03-05 09:06:00"},
        ParseCase {"IsoWestIntoNextDay", "2026-03-04T20:06:00.5-05:00", "2026-03-05 09:06:00"},
        ParseCase {"IsoCompactZone", "2026-12-31T20:00:00+0000", "2027-01-01 04:00:00"},
        ParseCase {"IsoHourZone", "2026-03-05T09:06+08", "2026-03-05 09:06:00"},
        ParseCase {"TimeAlone", "9:05", "1899-12-30 09:05:00"},
        ParseCase {"TimeAlonePm", "9:05 PM", "1899-12-30 21:05:00"},
        ParseCase {"Blanks", "  2026-03-04  ", "2026-03-04 00:00:00"},
        ParseCase {"LeapDay2000", "2000-02-29", "2000-02-29 00:00:00"}, ParseCase {"NoLeapDay", "2026-2-29", ""},
        ParseCase {"NoLeapDay1900", "1900-02-29", ""}, ParseCase {"Day31OfApril", "2026-04-31", ""},
        ParseCase {"Month13", "2026-13-01", ""}, ParseCase {"MonthDayYearNoMonth13", "13/6/2026", ""},
        ParseCase {"Hour24", "2026-01-01 24:00:00", ""}, ParseCase {"Minute60", "2026-01-01 10:60", ""},
        ParseCase {"Pm13", "2026-01-01 13:00 PM", ""}, ParseCase {"PmZero", "0:30 PM", ""},
        ParseCase {"TwoHalvesOfDay", "下午9:05 PM", ""}, ParseCase {"ZoneOutOfRange", "2026-03-05T09:06+15:00", ""},
        ParseCase {"ZoneWithOneDigit", "2026-03-05T09:06+8", ""}, ParseCase {"MixedSeparators", "2026-01/01", ""},
        ParseCase {"ChineseWithoutDay", "2026年12月6", ""}, ParseCase {"TwoDigitYear", "26-01-01", ""},
        ParseCase {"DayMonthYearDots", "6.12.2026", ""}, ParseCase {"DateThenT", "2026-01-01T", ""},
        ParseCase {"TrailingText", "2026-01-01 abc", ""}, ParseCase {"HourOnly", "2026-01-01 10", ""},
        ParseCase {"BlanksOnly", "   ", ""}),
    [](const testing::TestParamInfo<ParseCase>& info) { return info.param.name; });

TEST(DateTimeTest, SerialDaysCountFromTheirOrigin)
{
    const DateTime jet = DateTime::fromFields(1899, 12, 30);
    EXPECT_EQ(DateTime::fromSerial(45351, jet).toString(), "2024-02-29 00:00:00");
    EXPECT_EQ(DateTime::fromSerial(45658.75, jet).toString(), "2025-01-01 18:00:00");
    EXPECT_EQ(DateTime::fromSerial(0.999999, jet).toString(), "1899-12-31 00:00:00") << "rounds up past midnight";
    EXPECT_EQ(DateTime::fromSerial(-1.25, jet).toString(), "1899-12-29 06:00:00");
    EXPECT_EQ(DateTime::fromSerial(0, DateTime::fromFields(1904, 1, 1)).toString(), "1904-01-01 00:00:00");
    EXPECT_FALSE(DateTime::fromSerial(1e12, jet).valid);
}

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
