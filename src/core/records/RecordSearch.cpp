#include "records/RecordSearch.h"

#include "db/PreparedStatement.h"
#include "records/RecordTexts.h"
#include "session/TextUtil.h"

#include <cstdio>

namespace telvora {

namespace {

// LIKE reads % and _ as wildcards; a typed one means itself.
std::string likePattern(const std::string& text)
{
    std::string pattern = "%";
    for (char c : text) {
        if (c == '%' || c == '_' || c == '\\')
            pattern.push_back('\\');
        pattern.push_back(c);
    }
    pattern.push_back('%');
    return pattern;
}

DateTime midnight(const DateTime& day)
{
    return DateTime::fromFields(day.year, day.month, day.day);
}

} // namespace

RecordSearchQuery RecordSearchQuery::Day(const DateTime& day)
{
    return Range(day, day);
}

RecordSearchQuery RecordSearchQuery::Range(const DateTime& first, const DateTime& last)
{
    RecordSearchQuery query;
    query.from = midnight(first);
    query.until = midnight(last).addDays(1);
    return query;
}

std::string RecordSearchTotals::Text() const
{
    char text[256];
    std::snprintf(text, sizeof text, "合计信息:共发送号码:%ld (成功:%ld/异常:%ld) 短信数:%ld(成功:%ld/异常:%ld)",
        numbers, acceptedNumbers, otherNumbers, segments, acceptedSegments, otherSegments);
    return text;
}

CRecordSearch::CRecordSearch(CADODataBase& database)
    : m_database(database)
{ }

bool CRecordSearch::Run(const RecordSearchQuery& query)
{
    m_rows.clear();
    m_totals = {};
    const std::string phone(TrimAscii(query.phone));
    // The lower bound is inclusive, so a number posted at midnight of the first day counts.
    std::string sql = "SELECT A.id, A.phones, A.content, A.send_time, A.split_count, A.status, B.content, "
                      "B.send_mode FROM tbl_sendsms_detail A LEFT OUTER JOIN tbl_sendsms B ON A.group_id = B.id "
                      "WHERE A.send_time >= ?1 AND A.send_time < ?2";
    if (!phone.empty())
        sql += " AND A.phones = ?3";
    if (!query.text.empty())
        sql += " AND (A.content LIKE ?4 ESCAPE '\\' OR B.content LIKE ?4 ESCAPE '\\')";
    sql += " ORDER BY A.send_time DESC, A.id DESC";

    CPreparedStatement statement(&m_database);
    if (!statement.Prepare(sql) || !statement.BindText(1, query.from.toString())
        || !statement.BindText(2, query.until.toString()) || (!phone.empty() && !statement.BindText(3, phone))
        || (!query.text.empty() && !statement.BindText(4, likePattern(query.text)))) {
        m_lastError = statement.GetLastError();
        return false;
    }
    while (statement.Step()) {
        RecordSearchRow& row = m_rows.emplace_back();
        row.id = static_cast<long>(statement.GetInt(0));
        row.phone = statement.GetText(1);
        row.sendTime = DateTime::parse(statement.GetText(3));
        row.splitCount = static_cast<int>(statement.GetInt(4));
        row.status = static_cast<int>(statement.GetInt(5));
        row.message
            = ShowDetail(static_cast<int>(statement.GetInt(7)), statement.GetText(2), statement.GetText(6)).message;
        ++m_totals.numbers;
        m_totals.segments += row.splitCount;
        if (row.status == 1) {
            ++m_totals.acceptedNumbers;
            m_totals.acceptedSegments += row.splitCount;
        } else {
            ++m_totals.otherNumbers;
            m_totals.otherSegments += row.splitCount;
        }
    }
    if (statement.HasFailed()) {
        m_lastError = statement.GetLastError();
        m_rows.clear();
        m_totals = {};
        return false;
    }
    m_lastError.clear();
    return true;
}

} // namespace telvora
