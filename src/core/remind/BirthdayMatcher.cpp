#include "BirthdayMatcher.h"

#include "LunarMonthDays.h"
#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/DateTime.h"

#include <cstdio>

namespace telvora {

namespace {

std::string monthDay(int month, int day)
{
    char text[8];
    std::snprintf(text, sizeof text, "%.2d%.2d", month, day);
    return text;
}

} // namespace

CBirthdayMatcher::CBirthdayMatcher(CADODataBase& database)
    : m_database(database)
{ }

std::string CBirthdayMatcher::Condition(const DateTime& day) const
{
    std::string condition = "(FORMAT(birtyday, 'mmdd') = '" + monthDay(day.month, day.day) + "' AND isLL=FALSE)";
    const std::optional<LunarMonthDays> lunar = LunarMonthDaysOn(m_calendar, day);
    if (!lunar) {
        return condition;
    }
    condition += " OR (FORMAT(birtyday, 'mmdd') IN (";
    for (std::size_t i = 0; i < lunar->days.size(); ++i) {
        condition += (i == 0 ? "'" : ", '") + monthDay(lunar->month, lunar->days[i]) + "'";
    }
    return condition + ") AND isLL=TRUE)";
}

std::vector<std::string> CBirthdayMatcher::FindPhones(const DateTime& day)
{
    std::vector<std::string> phones;
    CADORecordset rows(&m_database);
    if (!rows.Open("SELECT phone FROM tbl_card WHERE " + Condition(day))) {
        m_lastError = rows.GetLastError();
        return phones;
    }
    m_lastError.clear();
    for (; !rows.IsEOF(); rows.MoveNext()) {
        rows.GetFieldValue(0, phones.emplace_back());
    }
    return phones;
}

} // namespace telvora
