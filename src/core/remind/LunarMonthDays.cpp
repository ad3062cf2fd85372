#include "LunarMonthDays.h"

#include "LunarCalendar.h"
#include "db/DateTime.h"

namespace telvora {

std::optional<LunarMonthDays> LunarMonthDaysOn(const CLunarCalendar& calendar, const DateTime& day)
{
    const SystemTime solar = SystemTimeOf(day);
    SystemTime lunar;
    int leap = 0;
    if (!calendar.SolarToLunar(&solar, &lunar, &leap)) {
        return std::nullopt;
    }
    LunarMonthDays found;
    found.month = lunar.month;
    found.days.push_back(lunar.day);
    if (lunar.day == 29) {
        // The table ends with the last day of a year, so no next day means the month ended too.
        const SystemTime next = SystemTimeOf(day.addDays(1));
        SystemTime nextLunar;
        if (!calendar.SolarToLunar(&next, &nextLunar, &leap) || nextLunar.day == 1) {
            found.days.push_back(30);
        }
    }
    return found;
}

} // namespace telvora
