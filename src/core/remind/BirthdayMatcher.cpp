#include "BirthdayMatcher.h"

#include "MonthDayCondition.h"
#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/DateTime.h"

namespace telvora {

CBirthdayMatcher::CBirthdayMatcher(CADODataBase& database)
    : m_database(database)
{ }

std::string CBirthdayMatcher::Condition(const DateTime& day) const
{
    return MonthDayCondition(m_calendar, std::span(&day, 1), "birtyday", "isLL=FALSE", "isLL=TRUE");
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

int CBirthdayMatcher::CountOn(const DateTime& day)
{
    CADORecordset rows(&m_database);
    int count = 0;
    if (!rows.Open("SELECT count(*) FROM tbl_card WHERE " + Condition(day)) || rows.IsEOF()) {
        m_lastError = rows.GetLastError();
        return 0;
    }
    m_lastError.clear();
    rows.GetFieldValue(0, count);
    return count;
}

} // namespace telvora
