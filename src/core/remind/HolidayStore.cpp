#include "HolidayStore.h"

#include "LunarMonthDays.h"
#include "MonthDayCondition.h"
#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/SqlText.h"
#include "session/TextUtil.h"

#include <algorithm>

namespace telvora {

namespace {

constexpr int kSearchDays = 400;

} // namespace

CHolidayStore::CHolidayStore(CADODataBase& database)
    : m_database(database)
{ }

std::pair<DateTime, DateTime> CHolidayStore::WeekWindow(const DateTime& now)
{
    const DateTime today = DateTime::fromFields(now.year, now.month, now.day);
    const int weekday = today.dayOfWeek() + 1; // Sunday = 1 ... Saturday = 7
    const DateTime start = today.addDays(weekday == 1 ? -7 : -(weekday - 2));
    return {start, start.addDays(8)};
}

std::vector<Holiday> CHolidayStore::query(const std::string& sql)
{
    std::vector<Holiday> holidays;
    CADORecordset rows(&m_database);
    if (!rows.Open(sql)) {
        m_lastError = rows.GetLastError();
        return holidays;
    }
    m_lastError.clear();
    for (; !rows.IsEOF(); rows.MoveNext()) {
        Holiday& holiday = holidays.emplace_back();
        rows.GetFieldValue("id", holiday.id);
        rows.GetFieldValue("name", holiday.name);
        rows.GetFieldValue("holiday", holiday.date);
        rows.GetFieldValue("content", holiday.content);
        rows.GetFieldValue("Type", holiday.type);
    }
    return holidays;
}

std::string CHolidayStore::condition(const std::vector<DateTime>& days) const
{
    return MonthDayCondition(m_calendar, days, "holiday", "Type <> 2", "Type=2");
}

std::vector<Holiday> CHolidayStore::ThisWeek(const DateTime& now)
{
    const auto [start, end] = WeekWindow(now);
    std::vector<DateTime> days;
    for (DateTime day = start.addDays(1); day < end; day = day.addDays(1)) {
        days.push_back(day);
    }
    return query("SELECT id, name, holiday, content, Type FROM tbl_holiday WHERE " + condition(days) + " ORDER BY ID");
}

std::optional<Holiday> CHolidayStore::Today(const DateTime& today)
{
    std::vector<Holiday> holidays = query(
        "SELECT id, name, holiday, content, Type FROM tbl_holiday WHERE " + condition({today}) + " ORDER BY ID DESC");
    if (holidays.empty()) {
        return std::nullopt;
    }
    return holidays.front();
}

std::optional<Holiday> CHolidayStore::Load(int id)
{
    std::vector<Holiday> holidays = query(
        "SELECT id, name, holiday, content, Type FROM tbl_holiday WHERE id = " + std::to_string(id) + " ORDER BY ID");
    if (holidays.empty()) {
        return std::nullopt;
    }
    return holidays.front();
}

std::vector<Holiday> CHolidayStore::ListByType(int type)
{
    return query("SELECT id, name, holiday, content, Type FROM tbl_holiday WHERE Type = " + std::to_string(type)
        + " ORDER BY ID");
}

DateTime CHolidayStore::NextOccurrence(const Holiday& holiday, const DateTime& from) const
{
    if (!holiday.date.valid) {
        return {};
    }
    for (int i = 0; i < kSearchDays; ++i) {
        const DateTime day = from.addDays(i);
        if (holiday.type != Holiday::kLunar) {
            if (day.month == holiday.date.month && day.day == holiday.date.day) {
                return day;
            }
            continue;
        }
        const std::optional<LunarMonthDays> lunar = LunarMonthDaysOn(m_calendar, day);
        if (lunar && lunar->month == holiday.date.month
            && std::find(lunar->days.begin(), lunar->days.end(), holiday.date.day) != lunar->days.end()) {
            return day;
        }
    }
    return {};
}

std::string CHolidayStore::AddCustom(const std::string& name, int month, int day)
{
    if (TrimAscii(name).empty()) {
        return kEmptyName;
    }
    // 2008 is a leap year, so every day a year can have is a date there.
    if (!DateTime::fromFields(2008, month, day).valid) {
        return kBadDay;
    }
    if (!m_database.Execute("INSERT INTO tbl_holiday ( name, holiday,Type) VALUES (" + SqlQuote(name) + ", CDate('2008-"
            + std::to_string(month) + "-" + std::to_string(day) + "'), 4 )")) {
        m_lastError = m_database.GetLastError();
        return "保存节日失败!";
    }
    m_lastError.clear();
    return {};
}

bool CHolidayStore::Delete(int id)
{
    if (!m_database.Execute("DELETE FROM tbl_holiday WHERE id=" + std::to_string(id))) {
        m_lastError = m_database.GetLastError();
        return false;
    }
    return true;
}

} // namespace telvora
