#pragma once

#include <span>
#include <string>

namespace telvora {

class CLunarCalendar;
struct DateTime;

/// The SQL condition that picks the rows of a dated table (birthdays, holidays) whose month
/// and day fall on one of days: rows matching solarFilter by the solar month and day, rows
/// matching lunarFilter by the lunar month and day numbers (see LunarMonthDaysOn). Days
/// outside the lunar table only add their solar month and day.
std::string MonthDayCondition(const CLunarCalendar& calendar, std::span<const DateTime> days, const std::string& column,
    const std::string& solarFilter, const std::string& lunarFilter);

/// "MMDD" of a month and day, as FORMAT(date, 'mmdd') gives it.
std::string MonthDayText(int month, int day);

} // namespace telvora
