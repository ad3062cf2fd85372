#include "records/SendLedger.h"

#include "db/ADODataBase.h"

namespace telvora {

namespace {

bool countsAsSuccess(int status)
{
    return status == kDetailAccepted;
}

// A number posted without a known outcome is not counted as delivered.
bool countsAsFailure(int status)
{
    return status == kDetailRefused || status == kDetailUnknown;
}

} // namespace

std::string AppendJobId(const std::string& jobIds, const std::string& jobId)
{
    if (jobId.empty()) {
        return jobIds;
    }
    return jobIds.empty() ? jobId : jobIds + ";" + jobId;
}

CSendLedger::CSendLedger(CADODataBase& database)
    : m_database(database)
    , m_nextRecord(&database)
    , m_insertRecord(&database)
    , m_nextDetail(&database)
    , m_insertDetail(&database)
    , m_setRange(&database)
    , m_setRangeJob(&database)
    , m_addCounts(&database)
    , m_setJobIds(&database)
{ }

bool CSendLedger::fail(const std::string& error)
{
    m_lastError = error.empty() ? m_database.GetLastError() : error;
    return false;
}

bool CSendLedger::Prepare()
{
    const std::pair<CPreparedStatement*, const char*> statements[] = {
        {&m_nextRecord, "SELECT COALESCE(MAX(id), 0) + 1 FROM tbl_sendsms"},
        {&m_insertRecord,
            "INSERT INTO tbl_sendsms (id, content, send_time, send_mode, status, success_count, fail_count, "
            "is_idle, jobid) VALUES (?, ?, ?, ?, ?, 0, 0, ?, '')"},
        {&m_nextDetail, "SELECT COALESCE(MAX(id), 0) + 1 FROM tbl_sendsms_detail"},
        {&m_insertDetail,
            "INSERT INTO tbl_sendsms_detail (id, jobid, phones, send_time, status, group_id, split_count, "
            "content) VALUES (?, '', ?, ?, 0, ?, ?, ?)"},
        {&m_setRange, "UPDATE tbl_sendsms_detail SET status=? WHERE id BETWEEN ? AND ?"},
        {&m_setRangeJob, "UPDATE tbl_sendsms_detail SET status=?, jobid=? WHERE id BETWEEN ? AND ?"},
        {&m_addCounts,
            "UPDATE tbl_sendsms SET success_count = success_count + ?, fail_count = fail_count + ? "
            "WHERE id=?"},
        {&m_setJobIds, "UPDATE tbl_sendsms SET jobid = ? WHERE id=?"},
    };
    for (const auto& [statement, sql] : statements) {
        if (!statement->Prepare(sql)) {
            return fail(statement->GetLastError());
        }
    }
    return true;
}

int CSendLedger::CreateRecord(const NewSendRecord& record, std::vector<SendRow>& rows)
{
    if (!m_database.BeginTransaction()) {
        fail({});
        return 0;
    }
    const auto nextId = [](CPreparedStatement& statement) {
        const long long id = statement.Reset() && statement.Step() ? statement.GetInt(0) : 0;
        statement.Reset();
        return id;
    };
    const long long recordId = nextId(m_nextRecord);
    long long detailId = nextId(m_nextDetail);
    bool ok = recordId > 0 && detailId > 0 && m_insertRecord.BindInt(1, recordId)
        && m_insertRecord.BindText(2, record.content) && m_insertRecord.BindText(3, record.sendTime)
        && m_insertRecord.BindInt(4, record.sendMode)
        && m_insertRecord.BindText(5, record.scheduled ? "已发送" : "已提交")
        && m_insertRecord.BindInt(6, record.scheduled ? 1 : 0) && m_insertRecord.Execute();
    std::string error = ok ? std::string() : m_insertRecord.GetLastError();
    for (auto& row : rows) {
        if (!ok) {
            break;
        }
        row.id = detailId++;
        row.status = kDetailNotPosted;
        ok = m_insertDetail.BindInt(1, row.id) && m_insertDetail.BindText(2, row.number)
            && m_insertDetail.BindText(3, record.sendTime) && m_insertDetail.BindInt(4, recordId)
            && m_insertDetail.BindInt(5, row.segments) && m_insertDetail.BindText(6, row.entry)
            && m_insertDetail.Execute();
        if (!ok) {
            error = m_insertDetail.GetLastError();
        }
    }
    if (ok && m_database.CommitTransaction()) {
        return static_cast<int>(recordId);
    }
    fail(error);
    m_database.RollbackTransaction();
    return 0;
}

bool CSendLedger::updateRun(std::span<SendRow> run, int status, const std::string* jobId)
{
    CPreparedStatement& statement = jobId ? m_setRangeJob : m_setRange;
    int index = 1;
    bool ok = statement.BindInt(index++, status);
    if (ok && jobId) {
        ok = statement.BindText(index++, *jobId);
    }
    ok = ok && statement.BindInt(index++, run.front().id) && statement.BindInt(index, run.back().id)
        && statement.Execute();
    return ok || fail(statement.GetLastError());
}

bool CSendLedger::SetStatus(
    int recordId, std::span<SendRow> rows, std::span<const int> statuses, const std::string* jobId)
{
    if (rows.empty()) {
        return true;
    }
    if (!m_database.BeginTransaction()) {
        return fail({});
    }
    long long success = 0;
    long long failure = 0;
    bool ok = true;
    // Runs of consecutive ids going to one status take one statement each: a fresh send's
    // batch is a single run.
    std::size_t start = 0;
    for (std::size_t i = 0; ok && i < rows.size(); ++i) {
        const long long segments = rows[i].segments;
        success += segments * ((countsAsSuccess(statuses[i]) ? 1 : 0) - (countsAsSuccess(rows[i].status) ? 1 : 0));
        failure += segments * ((countsAsFailure(statuses[i]) ? 1 : 0) - (countsAsFailure(rows[i].status) ? 1 : 0));
        const bool runEnds = i + 1 == rows.size() || statuses[i + 1] != statuses[i] || rows[i + 1].id != rows[i].id + 1;
        if (runEnds) {
            ok = updateRun(rows.subspan(start, i + 1 - start), statuses[i], jobId);
            start = i + 1;
        }
    }
    if (ok && (success != 0 || failure != 0)) {
        ok = m_addCounts.BindInt(1, success) && m_addCounts.BindInt(2, failure) && m_addCounts.BindInt(3, recordId)
            && m_addCounts.Execute();
        if (!ok) {
            fail(m_addCounts.GetLastError());
        }
    }
    if (ok && m_database.CommitTransaction()) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            rows[i].status = statuses[i];
        }
        return true;
    }
    if (ok) {
        fail({});
    }
    m_database.RollbackTransaction();
    return false;
}

bool CSendLedger::SetStatus(int recordId, std::span<SendRow> rows, int status, const std::string* jobId)
{
    const std::vector<int> statuses(rows.size(), status);
    return SetStatus(recordId, rows, statuses, jobId);
}

bool CSendLedger::SetJobIds(int recordId, const std::string& jobIds)
{
    return (m_setJobIds.BindText(1, jobIds) && m_setJobIds.BindInt(2, recordId) && m_setJobIds.Execute())
        || fail(m_setJobIds.GetLastError());
}

std::optional<ResumableRecord> CSendLedger::LoadResumable(int recordId, bool includeUnknown)
{
    CPreparedStatement record(&m_database);
    if (!record.Prepare("SELECT content, send_time, send_mode, is_idle, jobid FROM tbl_sendsms WHERE id=?")
        || !record.BindInt(1, recordId)) {
        fail(record.GetLastError());
        return std::nullopt;
    }
    if (!record.Step()) {
        fail(record.HasFailed() ? record.GetLastError() : "没有编号为" + std::to_string(recordId) + "的发送记录");
        return std::nullopt;
    }
    ResumableRecord found;
    found.id = recordId;
    found.content = record.GetText(0);
    found.sendTime = record.GetText(1);
    found.sendMode = static_cast<int>(record.GetInt(2));
    found.scheduled = record.GetInt(3) != 0;
    found.jobIds = record.GetText(4);

    CPreparedStatement rows(&m_database);
    if (!rows.Prepare("SELECT id, phones, content, status, split_count FROM tbl_sendsms_detail WHERE group_id=? "
                      "AND (status=0 OR status=?) ORDER BY id")
        || !rows.BindInt(1, recordId) || !rows.BindInt(2, includeUnknown ? kDetailUnknown : kDetailNotPosted)) {
        fail(rows.GetLastError());
        return std::nullopt;
    }
    while (rows.Step()) {
        SendRow& row = found.rows.emplace_back();
        row.id = rows.GetInt(0);
        row.number = rows.GetText(1);
        row.entry = rows.GetText(2);
        row.status = static_cast<int>(rows.GetInt(3));
        row.segments = static_cast<int>(rows.GetInt(4));
    }
    if (rows.HasFailed()) {
        fail(rows.GetLastError());
        return std::nullopt;
    }
    return found;
}

std::map<int, DetailCounts> CSendLedger::CountByRecord()
{
    std::map<int, DetailCounts> counts;
    CPreparedStatement rows(&m_database);
    if (!rows.Prepare("SELECT group_id, SUM(status=1), SUM(status=-1), SUM(status=2), SUM(status=0) "
                      "FROM tbl_sendsms_detail GROUP BY group_id")) {
        fail(rows.GetLastError());
        return counts;
    }
    while (rows.Step()) {
        DetailCounts& count = counts[static_cast<int>(rows.GetInt(0))];
        count.accepted = static_cast<long>(rows.GetInt(1));
        count.refused = static_cast<long>(rows.GetInt(2));
        count.unknown = static_cast<long>(rows.GetInt(3));
        count.notPosted = static_cast<long>(rows.GetInt(4));
    }
    if (rows.HasFailed()) {
        fail(rows.GetLastError());
    }
    return counts;
}

DetailCounts CSendLedger::CountOf(int recordId)
{
    const std::map<int, DetailCounts> counts = CountByRecord();
    const auto found = counts.find(recordId);
    return found == counts.end() ? DetailCounts {} : found->second;
}

} // namespace telvora
