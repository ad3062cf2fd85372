#include "MonthDayCondition.h"

#include "LunarMonthDays.h"
#include "db/DateTime.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace telvora {

namespace {

std::string inList(const std::string& column, const std::vector<std::string>& monthDays)
{
    std::string list;
    for (const std::string& monthDay : monthDays) {
        list += (list.empty() ? "'" : ", '") + monthDay + "'";
    }
    return "FORMAT(" + column + ", 'mmdd') IN (" + list + ")";
}

void addOnce(std::vector<std::string>& list, std::string monthDay)
{
    if (std::find(list.begin(), list.end(), monthDay) == list.end()) {
        list.push_back(std::move(monthDay));
    }
}

} // namespace

std::string MonthDayText(int month, int day)
{
    char text[16];
    std::snprintf(text, sizeof text, "%.2d%.2d", month, day);
    return text;
}

std::string MonthDayCondition(const CLunarCalendar& calendar, std::span<const DateTime> days, const std::string& column,
    const std::string& solarFilter, const std::string& lunarFilter)
{
    std::vector<std::string> solar;
    std::vector<std::string> lunar;
    for (const DateTime& day : days) {
        addOnce(solar, MonthDayText(day.month, day.day));
        if (const std::optional<LunarMonthDays> lunarDays = LunarMonthDaysOn(calendar, day)) {
            for (int lunarDay : lunarDays->days) {
                addOnce(lunar, MonthDayText(lunarDays->month, lunarDay));
            }
        }
    }
    if (solar.empty()) {
        return "1=0";
    }
    std::string condition = "(" + inList(column, solar) + " AND " + solarFilter + ")";
    if (!lunar.empty()) {
        condition += " OR (" + inList(column, lunar) + " AND " + lunarFilter + ")";
    }
    return condition;
}

} // namespace telvora
