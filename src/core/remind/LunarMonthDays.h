#pragma once

#include <optional>
#include <vector>

namespace telvora {

class CLunarCalendar;
struct DateTime;

// What a stored lunar month and day (a birthday, a holiday) is compared with on one solar day.
struct LunarMonthDays
{
    int month = 0;
    // The lunar day, and 30 as well on the last day of a 29-day month: a date kept on the
    // 30th would otherwise be missed in every year whose month is short.
    std::vector<int> days;
};

/// The lunar month and days that fall on a solar day; nothing outside the lunar table. The
/// leap flag plays no part: a leap month matches the month of its number.
std::optional<LunarMonthDays> LunarMonthDaysOn(const CLunarCalendar& calendar, const DateTime& day);

} // namespace telvora
