#include "remind/LunarCalendar.h"

#include "db/DateTime.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <lunar-date/lunar-date.h>
#include <memory>
#include <optional>
#include <ostream>

namespace telvora {
namespace {

SystemTime solarDate(int year, int month, int day)
{
    SystemTime date;
    date.year = static_cast<std::uint16_t>(year);
    date.month = static_cast<std::uint16_t>(month);
    date.day = static_cast<std::uint16_t>(day);
    date.dayOfWeek = 3; // ignored on input, cleared on output
    date.hour = 12;
    return date;
}

struct Lunar
{
    int year = 0;
    int month = 0;
    int day = 0;
    int leap = 0;
    friend bool operator==(const Lunar&, const Lunar&) = default;
};

std::ostream& operator<<(std::ostream& out, const Lunar& lunar)
{
    return out << lunar.year << "-" << (lunar.leap ? "L" : "") << lunar.month << "-" << lunar.day;
}

std::optional<Lunar> convert(const DateTime& day)
{
    const SystemTime solar = solarDate(day.year, day.month, day.day);
    SystemTime lunar;
    int leap = -1;
    if (!CLunarCalendar().SolarToLunar(&solar, &lunar, &leap)) {
        return std::nullopt;
    }
    return Lunar {lunar.year, lunar.month, lunar.day, leap};
}

struct ExampleCase
{
    const char* name;
    int year, month, day;
    Lunar lunar;
    const char* text;
};

class LunarExamples : public testing::TestWithParam<ExampleCase>
{
};

TEST_P(LunarExamples, ConvertAndFormat)
{
    const ExampleCase& example = GetParam();
    const SystemTime solar = solarDate(example.year, example.month, example.day);
    SystemTime lunar = solarDate(1, 1, 1);
    int leap = -1;
    ASSERT_TRUE(CLunarCalendar().SolarToLunar(&solar, &lunar, &leap));
    EXPECT_EQ((Lunar {lunar.year, lunar.month, lunar.day, leap}), example.lunar);
    EXPECT_EQ(lunar.dayOfWeek + lunar.hour + lunar.minute + lunar.second + lunar.milliseconds, 0);
    EXPECT_EQ(CLunarCalendar().FormatLunarDate(lunar, leap), example.text);
}

INSTANTIATE_TEST_SUITE_P(Table, LunarExamples,
    testing::Values(ExampleCase {"FirstDay", 1921, 2, 8, {1921, 1, 1, 0}, "鸡(辛酉)年正月初一"},
        ExampleCase {"LeapFifthOf1922", 1922, 6, 25, {1922, 5, 1, 1}, "狗(壬戌)年闰五月初一"},
        ExampleCase {"LeapDay2000", 2000, 2, 29, {2000, 1, 25, 0}, "龙(庚辰)年正月廿五"},
        ExampleCase {"NewYearsEve2008", 2008, 2, 6, {2007, 12, 30, 0}, "猪(丁亥)年腊月三十"},
        ExampleCase {"LastDayOfGivenTable", 2021, 2, 11, {2020, 12, 30, 0}, "鼠(庚子)年腊月三十"},
        ExampleCase {"LeapEleventh2033", 2033, 12, 22, {2033, 11, 1, 1}, "牛(癸丑)年闰十一月初一"},
        ExampleCase {"Feb28Of2100", 2100, 2, 28, {2100, 1, 20, 0}, "猴(庚申)年正月二十"},
        ExampleCase {"LastDayOfTable", 2101, 1, 28, {2100, 12, 29, 0}, "猴(庚申)年腊月廿九"}),
    [](const testing::TestParamInfo<ExampleCase>& info) { return info.param.name; });

struct RefusedCase
{
    const char* name;
    int year, month, day;
};

class LunarRefused : public testing::TestWithParam<RefusedCase>
{
};

TEST_P(LunarRefused, GivesNoOutput)
{
    const SystemTime solar = solarDate(GetParam().year, GetParam().month, GetParam().day);
    SystemTime lunar = solarDate(7, 7, 7);
    int leap = 7;
    EXPECT_FALSE(CLunarCalendar().SolarToLunar(&solar, &lunar, &leap));
    EXPECT_EQ(lunar.year + lunar.month + lunar.day + leap, 28);
}

INSTANTIATE_TEST_SUITE_P(Dates, LunarRefused,
    testing::Values(RefusedCase {"DayBeforeTable", 1921, 2, 7}, RefusedCase {"LongBefore", 1900, 6, 1},
        RefusedCase {"DayAfterTable", 2101, 1, 29}, RefusedCase {"LongAfter", 2200, 1, 1},
        RefusedCase {"NoLeapDayIn2100", 2100, 2, 29}, RefusedCase {"MonthZero", 2020, 0, 10},
        RefusedCase {"MonthThirteen", 2020, 13, 1}, RefusedCase {"DayZero", 2020, 5, 0},
        RefusedCase {"April31", 2020, 4, 31}),
    [](const testing::TestParamInfo<RefusedCase>& info) { return info.param.name; });

TEST(LunarCalendar, MissingRecordsFail)
{
    const SystemTime solar = solarDate(2020, 5, 23);
    SystemTime lunar;
    int leap = 0;
    const CLunarCalendar calendar;
    EXPECT_FALSE(calendar.SolarToLunar(nullptr, &lunar, &leap));
    EXPECT_FALSE(calendar.SolarToLunar(&solar, nullptr, &leap));
    EXPECT_FALSE(calendar.SolarToLunar(&solar, &lunar, nullptr));
    EXPECT_EQ(lunar.year, 0);
}

TEST(LunarCalendar, FormatRefusesWhatNoConversionGives)
{
    const CLunarCalendar calendar;
    EXPECT_EQ(calendar.FormatLunarDate(solarDate(3, 1, 1), 0), "Error Year");
    EXPECT_EQ(calendar.FormatLunarDate(solarDate(4, 12, 30), 0), "鼠(甲子)年腊月三十");
    EXPECT_EQ(calendar.FormatLunarDate(solarDate(63, 1, 1), 0), "猪(癸亥)年正月初一");
    EXPECT_EQ(calendar.FormatLunarDate(solarDate(64, 1, 1), 0), "鼠(甲子)年正月初一");
    EXPECT_EQ(calendar.FormatLunarDate(solarDate(2020, 13, 1), 0), "Error Month");
    EXPECT_EQ(calendar.FormatLunarDate(solarDate(2020, 13, 31), 0), "Error Month");
    EXPECT_EQ(calendar.FormatLunarDate(solarDate(2020, 1, 31), 1), "Error Day");
}

// The entries for 1921 to 2020 as this program first shipped them, copied here so that any
// change to them shows.
constexpr std::array<std::uint32_t, 100> kGivenYears = {2635, 333387, 1701, 1748, 267701, 694, 2391, 133423, 1175,
    396438, 3402, 3749, 331177, 1453, 694, 201326, 2350, 465197, 3221, 3402, 400202, 2901, 1386, 267611, 605, 2349,
    137515, 2709, 464533, 1738, 2901, 330421, 1242, 2651, 199255, 1323, 529706, 3733, 1706, 398762, 2741, 1206, 267438,
    2647, 1318, 204070, 3477, 461653, 1386, 2413, 330077, 1197, 2637, 268877, 3365, 531109, 2900, 2922, 398042, 2395,
    1179, 267415, 2635, 661067, 1701, 1748, 398772, 2742, 2391, 330031, 1175, 1611, 200010, 3749, 527717, 1452, 2742,
    332397, 2350, 3222, 268949, 3402, 3493, 133973, 1386, 464219, 605, 2349, 334123, 2709, 2890, 267946, 2773, 592565,
    1210, 2651, 395863, 1323, 2707, 265877};

// Counts lunar days forward through the given entries' month lengths, one solar day at a time.
TEST(LunarCalendar, EveryDayOf1921To2020FollowsTheGivenMonthLengths)
{
    DateTime day = DateTime::fromFields(1921, 2, 8);
    for (std::size_t index = 0; index < kGivenYears.size(); ++index) {
        const std::uint32_t entry = kGivenYears[index];
        const int months = entry > 0xFFFF ? 13 : 12;
        const int leapAfter = static_cast<int>(entry >> 16);
        for (int position = 1; position <= months; ++position) {
            const int length = (entry >> (months - position) & 1U) != 0 ? 30 : 29;
            const bool inLeap = leapAfter != 0 && position == leapAfter + 1;
            const int month = leapAfter != 0 && position > leapAfter ? position - 1 : position;
            for (int lunarDay = 1; lunarDay <= length; ++lunarDay) {
                const Lunar expected {1921 + static_cast<int>(index), month, lunarDay, inLeap ? 1 : 0};
                ASSERT_EQ(convert(day), expected) << day.toString();
                day = day.addDays(1);
            }
        }
    }
    EXPECT_EQ(day, DateTime::fromFields(2021, 2, 12));
}

// The published calendar as Debian's lunar date library carries it, read as numbers:
// "%(yue)" marks a leap month with a leading '*'.
class ReferenceCalendar
{
public:
    ReferenceCalendar()
        : m_date(lunar_date_new(), &lunar_date_free)
    { }

    std::optional<Lunar> convert(const DateTime& day)
    {
        GError* error = nullptr;
        lunar_date_set_solar_date(m_date.get(), static_cast<GDateYear>(day.year), static_cast<GDateMonth>(day.month),
            static_cast<GDateDay>(day.day), 12, &error);
        if (error != nullptr) {
            g_error_free(error);
            return std::nullopt;
        }
        std::unique_ptr<gchar, decltype(&g_free)> text(
            lunar_date_strftime(m_date.get(), "%(nian) %(yue) %(ri)"), &g_free);
        Lunar lunar;
        char month[8] = {};
        if (std::sscanf(text.get(), "%d %7s %d", &lunar.year, month, &lunar.day) != 3) {
            return std::nullopt;
        }
        lunar.leap = month[0] == '*' ? 1 : 0;
        lunar.month = std::atoi(month + lunar.leap);
        return lunar;
    }

private:
    std::unique_ptr<LunarDate, decltype(&lunar_date_free)> m_date;
};

TEST(LunarCalendar, EveryDayFrom2021AgreesWithThePublishedCalendar)
{
    ReferenceCalendar reference;
    int compared = 0;
    for (DateTime day = DateTime::fromFields(2021, 2, 12); day <= DateTime::fromFields(2101, 1, 28);
         day = day.addDays(1)) {
        const std::optional<Lunar> expected = reference.convert(day);
        ASSERT_TRUE(expected.has_value()) << day.toString();
        ASSERT_EQ(convert(day), expected) << day.toString();
        ++compared;
    }
    EXPECT_EQ(compared, 29205);
}

} // namespace
} // namespace telvora
