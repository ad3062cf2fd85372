#pragma once

#include "LunarCalendar.h"
#include "db/DateTime.h"

#include <optional>
#include <string>
#include <vector>

namespace telvora {

class CADODataBase;

/// One row of tbl_holiday.
struct Holiday
{
    static constexpr int kSolar = 1;
    static constexpr int kLunar = 2;
    static constexpr int kWestern = 3;
    static constexpr int kCustom = 4;

    int id = 0;
    std::string name;
    DateTime date; // month and day count; lunar ones for kLunar
    std::string content;
    int type = 0;
};

/// The holidays: those of this week and of today, matched by month and day in any year
/// (lunar ones by the lunar month and day), and the user's own days.
class CHolidayStore final
{
public:
    static constexpr const char* kEmptyName = "节日名称不能为空!";
    static constexpr const char* kBadDay = "请重新设定节日配置!";

    explicit CHolidayStore(CADODataBase& database);

    /// The window around now whose inner days make "this week": it starts on the Monday
    /// (the Sunday before on a Sunday) and ends eight days later; both bounds excluded.
    static std::pair<DateTime, DateTime> WeekWindow(const DateTime& now);
    /// The holidays inside the week window, by id.
    std::vector<Holiday> ThisWeek(const DateTime& now);
    /// Today's holiday of the highest id, if any.
    std::optional<Holiday> Today(const DateTime& today);
    std::optional<Holiday> Load(int id);
    /// The holidays of one type, by id.
    std::vector<Holiday> ListByType(int type);
    /// The first day from `from` on (within a year and a month) on which the holiday falls;
    /// the null date when it falls on none.
    DateTime NextOccurrence(const Holiday& holiday, const DateTime& from) const;

    /// Adds a day of the user's (type 4, in the year 2008); the refusing message or empty.
    /// month and day 0 are the lists' placeholders.
    std::string AddCustom(const std::string& name, int month, int day);
    bool Delete(int id);

    const std::string& GetLastError() const { return m_lastError; }

private:
    std::vector<Holiday> query(const std::string& sql);
    std::string condition(const std::vector<DateTime>& days) const;

    CADODataBase& m_database;
    CLunarCalendar m_calendar;
    std::string m_lastError;
};

} // namespace telvora
