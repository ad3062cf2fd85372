#pragma once

#include "LunarCalendar.h"

#include <string>
#include <vector>

namespace telvora {

class CADODataBase;
struct DateTime;

/// Finds the cards whose birthday falls on a solar day: solar birthdays by month and day,
/// lunar ones by the lunar month and day numbers of that day (see LunarMonthDaysOn).
class CBirthdayMatcher final
{
public:
    explicit CBirthdayMatcher(CADODataBase& database);

    /// The condition over tbl_card that picks those cards; only solar birthdays outside the
    /// lunar table.
    std::string Condition(const DateTime& day) const;
    /// Their phone numbers in the order the query gives them, once per matching card and
    /// neither checked nor de-duplicated. Empty when the query fails (GetLastError says why).
    std::vector<std::string> FindPhones(const DateTime& day);
    /// How many cards FindPhones would list; 0 when the query fails.
    int CountOn(const DateTime& day);
    const std::string& GetLastError() const { return m_lastError; }

private:
    CADODataBase& m_database;
    CLunarCalendar m_calendar;
    std::string m_lastError;
};

} // namespace telvora
