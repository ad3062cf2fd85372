#include "LunarCalendar.h"

#include "db/DateTime.h"

#include <array>

namespace telvora {

namespace {

constexpr int kFirstLunarYear = 1921;

// One entry per lunar year from 1921. The month lengths sit in the low 12 bits (13 for a year
// with a leap month), the first month in the highest of them, a set bit for 30 days, a clear
// one for 29; the bits from 16 up give the month the leap month follows. Years 1921 to 2020
// are this program's data from its first release, kept as they are even where other almanacs
// differ; 2021 to 2100 follow the published calendar.
constexpr std::array<std::uint32_t, 180> kLunarYears = {
    2635, 333387, 1701, 1748, 267701, 694, 2391, 133423, 1175, 396438, // 1921
    3402, 3749, 331177, 1453, 694, 201326, 2350, 465197, 3221, 3402, // 1931
    400202, 2901, 1386, 267611, 605, 2349, 137515, 2709, 464533, 1738, // 1941
    2901, 330421, 1242, 2651, 199255, 1323, 529706, 3733, 1706, 398762, // 1951
    2741, 1206, 267438, 2647, 1318, 204070, 3477, 461653, 1386, 2413, // 1961
    330077, 1197, 2637, 268877, 3365, 531109, 2900, 2922, 398042, 2395, // 1971
    1179, 267415, 2635, 661067, 1701, 1748, 398772, 2742, 2391, 330031, // 1981
    1175, 1611, 200010, 3749, 527717, 1452, 2742, 332397, 2350, 3222, // 1991
    268949, 3402, 3493, 133973, 1386, 464219, 605, 2349, 334123, 2709, // 2001
    2890, 267946, 2773, 592565, 1210, 2651, 395863, 1323, 2707, 265877, // 2011
    1706, 2773, 133557, 1206, 398510, 2638, 3366, 335142, 3411, 1450, // 2021
    200042, 2413, 723293, 1197, 2637, 399947, 3365, 3410, 334676, 2906, // 2031
    1389, 133467, 1179, 464023, 2635, 2725, 333477, 1746, 2778, 199350, // 2041
    2359, 526639, 1175, 1611, 396618, 3749, 1714, 267628, 2734, 2606, // 2051
    203054, 3222, 465557, 3402, 3493, 330581, 1386, 2669, 264797, 1325, // 2061
    529707, 2709, 2890, 399018, 2773, 1370, 267450, 2651, 1323, 202023, // 2071
    1683, 462419, 1706, 2773, 330165, 1206, 2647, 264782, 3350, 531750, // 2081
    3410, 3498, 396650, 1389, 1198, 267421, 2605, 3349, 138021, 3410, // 2091
};

constexpr std::array<int, 12> kDaysBeforeMonth = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

constexpr std::array<const char*, 10> kStems = {"甲", "乙", "丙", "丁", "戊", "己", "庚", "辛", "壬", "癸"};
constexpr std::array<const char*, 12> kBranches
    = {"子", "丑", "寅", "卯", "辰", "巳", "午", "未", "申", "酉", "戌", "亥"};
constexpr std::array<const char*, 12> kAnimals
    = {"鼠", "牛", "虎", "兔", "龙", "蛇", "马", "羊", "猴", "鸡", "狗", "猪"};
constexpr std::array<const char*, 13> kMonthNames
    = {"*", "正", "二", "三", "四", "五", "六", "七", "八", "九", "十", "十一", "腊"};
constexpr std::array<const char*, 31> kDayNames = {"*", "初一", "初二", "初三", "初四", "初五", "初六", "初七", "初八",
    "初九", "初十", "十一", "十二", "十三", "十四", "十五", "十六", "十七", "十八", "十九", "二十", "廿一", "廿二",
    "廿三", "廿四", "廿五", "廿六", "廿七", "廿八", "廿九", "三十"};

// Leap days from year 1 up to the end of year - 1.
int leapDaysBefore(int year)
{
    const int y = year - 1;
    return y / 4 - y / 100 + y / 400;
}

// Day 1 is 8 February 1921, the first day of the lunar year 1921. The full Gregorian rule
// matters from March 2100 on: that year is not a leap year.
int dayNumber(int year, int month, int day)
{
    int number = (year - kFirstLunarYear) * 365 + leapDaysBefore(year) - leapDaysBefore(kFirstLunarYear)
        + kDaysBeforeMonth[static_cast<std::size_t>(month - 1)] + day - 38;
    if (month >= 3 && DateTime::isLeapYear(year)) {
        ++number;
    }
    return number;
}

int monthCount(std::uint32_t entry)
{
    return entry < 4095 ? 12 : 13;
}

} // namespace

SystemTime SystemTimeOf(const DateTime& day)
{
    SystemTime record;
    record.year = static_cast<std::uint16_t>(day.year);
    record.month = static_cast<std::uint16_t>(day.month);
    record.day = static_cast<std::uint16_t>(day.day);
    return record;
}

bool CLunarCalendar::SolarToLunar(const SystemTime* solar, SystemTime* lunar, int* leap) const
{
    if (solar == nullptr || lunar == nullptr || leap == nullptr) {
        return false;
    }
    const int year = solar->year;
    const int month = solar->month;
    const int day = solar->day;
    // An impossible date would index past the month table or land on another day.
    if (month < 1 || month > 12 || day < 1 || day > DateTime::daysInMonth(year, month)) {
        return false;
    }
    int remaining = dayNumber(year, month, day);
    if (remaining < 1) {
        return false;
    }
    for (std::size_t i = 0; i < kLunarYears.size(); ++i) {
        const std::uint32_t entry = kLunarYears[i];
        const int months = monthCount(entry);
        for (int position = 1; position <= months; ++position) {
            const int length = 29 + static_cast<int>((entry >> (months - position)) & 1U);
            if (remaining > length) {
                remaining -= length;
                continue;
            }
            const int leapAfter = static_cast<int>(entry >> 16);
            int lunarMonth = position;
            int inLeap = 0;
            if (months == 13 && position == leapAfter + 1) {
                lunarMonth = leapAfter;
                inLeap = 1;
            } else if (months == 13 && position > leapAfter + 1) {
                lunarMonth = position - 1;
            }
            *lunar = SystemTime {};
            lunar->year = static_cast<std::uint16_t>(kFirstLunarYear + static_cast<int>(i));
            lunar->month = static_cast<std::uint16_t>(lunarMonth);
            lunar->day = static_cast<std::uint16_t>(remaining);
            *leap = inLeap;
            return true;
        }
    }
    return false;
}

std::string CLunarCalendar::FormatLunarDate(const SystemTime& lunar, int leap) const
{
    const int cycle = (static_cast<int>(lunar.year) - 4) % 60;
    if (cycle < 0) {
        return "Error Year";
    }
    if (lunar.month >= 13) {
        return "Error Month";
    }
    if (lunar.day >= 31) {
        return "Error Day";
    }
    std::string text = std::string(kAnimals[static_cast<std::size_t>(cycle % 12)]) + "("
        + kStems[static_cast<std::size_t>(cycle % 10)] + kBranches[static_cast<std::size_t>(cycle % 12)] + ")年";
    if (leap != 0) {
        text += "闰";
    }
    text += kMonthNames[lunar.month];
    text += "月";
    text += kDayNames[lunar.day];
    return text;
}

} // namespace telvora
