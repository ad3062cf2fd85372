#pragma once

#include "db/DateTime.h"

#include <string>
#include <vector>

namespace telvora {

class CADODataBase;

/// Which numbers to find: those posted from the start of `from` up to the start of
/// `until` (exclusive), optionally one number or a text in the message.
struct RecordSearchQuery
{
    DateTime from;
    DateTime until;
    std::string phone; // trimmed; empty: any
    std::string text; // in the detail or the record content; empty: any

    /// One day: from its midnight to the next.
    static RecordSearchQuery Day(const DateTime& day);
    /// first to last, both days included.
    static RecordSearchQuery Range(const DateTime& first, const DateTime& last);
};

struct RecordSearchRow
{
    long id = 0; // detail id
    DateTime sendTime;
    std::string phone;
    int status = 0;
    int splitCount = 0;
    std::string message;
};

struct RecordSearchTotals
{
    long numbers = 0;
    long acceptedNumbers = 0;
    long otherNumbers = 0;
    long segments = 0;
    long acceptedSegments = 0;
    long otherSegments = 0;

    /// "合计信息:共发送号码:%d (成功:%d/异常:%d) 短信数:%d(成功:%d/异常:%d)"
    std::string Text() const;
};

/// The detail rows of every send over a period, newest first, with their totals.
class CRecordSearch final
{
public:
    explicit CRecordSearch(CADODataBase& database);

    /// False with the error text when the tables cannot be read.
    bool Run(const RecordSearchQuery& query);

    const std::vector<RecordSearchRow>& Rows() const { return m_rows; }
    const RecordSearchTotals& Totals() const { return m_totals; }
    const std::string& GetLastError() const { return m_lastError; }

private:
    CADODataBase& m_database;
    std::vector<RecordSearchRow> m_rows;
    RecordSearchTotals m_totals;
    std::string m_lastError;
};

} // namespace telvora
