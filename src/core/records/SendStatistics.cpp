#include "records/SendStatistics.h"

#include "db/ADORecordset.h"
#include "db/DateTime.h"

namespace telvora {

CSendStatistics::CSendStatistics(CADODataBase& database)
    : m_database(database)
{ }

std::vector<StatisticsRow> CSendStatistics::sum(int keyLength, const std::string& from, const std::string& until)
{
    // Dates are stored as "YYYY-MM-DD HH:MM:SS", so the key is a prefix of the text and the
    // bounds compare as text. The first moment of the period belongs to it.
    const std::string key = "substr(send_time, 1, " + std::to_string(keyLength) + ")";
    std::vector<StatisticsRow> rows;
    CADORecordset result(&m_database);
    if (!result.Open("SELECT " + key + ", SUM(success_count), SUM(fail_count) FROM tbl_sendsms WHERE send_time >= '"
            + from + "' AND send_time < '" + until + "' GROUP BY " + key + " ORDER BY " + key + " DESC")) {
        m_lastError = result.GetLastError();
        return rows;
    }
    m_lastError.clear();
    for (; !result.IsEOF(); result.MoveNext()) {
        StatisticsRow& row = rows.emplace_back();
        result.GetFieldValue(0, row.period);
        result.GetFieldValue(1, row.success);
        result.GetFieldValue(2, row.fail);
        row.total = row.success + row.fail;
    }
    return rows;
}

std::vector<StatisticsRow> CSendStatistics::ByDay(int year, int month)
{
    const DateTime first = DateTime::fromFields(year, month, 1);
    if (!first.valid) {
        m_lastError = "无效的月份";
        return {};
    }
    const DateTime next = month == 12 ? DateTime::fromFields(year + 1, 1, 1) : DateTime::fromFields(year, month + 1, 1);
    return sum(10, first.toString(), next.toString());
}

std::vector<StatisticsRow> CSendStatistics::ByMonth(int year)
{
    const DateTime first = DateTime::fromFields(year, 1, 1);
    if (!first.valid) {
        m_lastError = "无效的年份";
        return {};
    }
    return sum(7, first.toString(), DateTime::fromFields(year + 1, 1, 1).toString());
}

std::vector<int> CSendStatistics::Years(int currentYear)
{
    std::vector<int> years;
    for (int year = kFirstYear; year <= currentYear + 1; ++year)
        years.push_back(year);
    return years;
}

} // namespace telvora
