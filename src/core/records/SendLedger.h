#pragma once

#include "db/PreparedStatement.h"

#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace telvora {

class CADODataBase;

/// tbl_sendsms_detail.status: where a number of a send stands.
enum DetailStatus : int {
    kDetailNotPosted = 0, ///< "未发送": not posted yet
    kDetailAccepted = 1, ///< the service took it
    kDetailUnknown = 2, ///< "结果未知": posted, no answer came
    kDetailRefused = -1, ///< the service refused it or its batch
};

/// One number of a send as the worker carries it.
struct SendRow
{
    long long id = 0; ///< tbl_sendsms_detail.id
    std::string number;
    std::string entry; ///< the inserted name or title, or the personalised text; empty for a plain send
    int segments = 1; ///< split_count: segments of the text this number gets
    int status = kDetailNotPosted; ///< as committed
};

/// The detail rows of one record, by status.
struct DetailCounts
{
    long accepted = 0;
    long refused = 0;
    long unknown = 0;
    long notPosted = 0;

    /// Rows at 0 or 2: the send has not been carried to its end.
    bool unfinished() const { return unknown + notPosted > 0; }
};

/// A send record as it is written before anything is posted.
struct NewSendRecord
{
    std::string content;
    std::string sendTime;
    int sendMode = 1;
    bool scheduled = false;
};

/// A record as resuming needs it, with the rows still to post.
struct ResumableRecord
{
    int id = 0;
    std::string content;
    std::string sendTime;
    int sendMode = 1;
    bool scheduled = false;
    std::string jobIds;
    std::vector<SendRow> rows; ///< at 0 (and at 2 when asked), ascending by id
};

/// The send accounting on one connection. A detail row exists for every number before
/// anything is posted; every change of rows is one transaction that also moves the record's
/// counters (segments of rows at 1 in success_count, of rows at -1 and 2 in fail_count, each
/// row with its own split_count), so the counters always equal what the rows say.
class CSendLedger final
{
public:
    explicit CSendLedger(CADODataBase& database);

    /// Prepares the statements; false with GetLastError otherwise.
    bool Prepare();

    /// Writes the record and one row at 0 per number in one transaction; fills the rows'
    /// ids and returns the record id (0 on failure).
    int CreateRecord(const NewSendRecord& record, std::vector<SendRow>& rows);
    /// Moves rows[i] to statuses[i] (jobId, when given, goes into the rows) and the counters
    /// with them, in one transaction. On success the rows carry their new status; on failure
    /// nothing changed.
    bool SetStatus(
        int recordId, std::span<SendRow> rows, std::span<const int> statuses, const std::string* jobId = nullptr);
    bool SetStatus(int recordId, std::span<SendRow> rows, int status, const std::string* jobId = nullptr);
    /// Sets the record's job ids (";"-joined).
    bool SetJobIds(int recordId, const std::string& jobIds);

    /// The record and its rows at 0 (and 2 when includeUnknown); nullopt when no such record.
    std::optional<ResumableRecord> LoadResumable(int recordId, bool includeUnknown);
    /// Row counts of every record that has detail rows.
    std::map<int, DetailCounts> CountByRecord();
    /// Row counts of one record; all 0 when it has no rows.
    DetailCounts CountOf(int recordId);

    const std::string& GetLastError() const { return m_lastError; }

private:
    bool fail(const std::string& error);
    bool updateRun(std::span<SendRow> run, int status, const std::string* jobId);

    CADODataBase& m_database;
    CPreparedStatement m_nextRecord;
    CPreparedStatement m_insertRecord;
    CPreparedStatement m_nextDetail;
    CPreparedStatement m_insertDetail;
    CPreparedStatement m_setRange;
    CPreparedStatement m_setRangeJob;
    CPreparedStatement m_addCounts;
    CPreparedStatement m_setJobIds;
    std::string m_lastError;
};

/// Job ids of a record with one more appended (";"-joined).
std::string AppendJobId(const std::string& jobIds, const std::string& jobId);

} // namespace telvora
