#include "records/SendHistory.h"

#include "db/ADODataBase.h"
#include "db/ADORecordset.h"

namespace telvora {

CSendHistory::CSendHistory(CADODataBase& database)
    : m_database(database)
{ }

bool CSendHistory::Clear()
{
    if (!m_database.BeginTransaction()) {
        m_lastError = m_database.GetLastError();
        return false;
    }
    if (!m_database.Execute("DELETE FROM tbl_sendsms_detail") || !m_database.Execute("DELETE FROM tbl_sendsms")) {
        m_lastError = m_database.GetLastError();
        m_database.RollbackTransaction();
        return false;
    }
    if (!m_database.CommitTransaction()) {
        m_lastError = m_database.GetLastError();
        m_database.RollbackTransaction();
        return false;
    }
    m_lastError.clear();
    return true;
}

std::vector<SendRecord> CSendHistory::read(const std::string& condition)
{
    std::vector<SendRecord> records;
    CADORecordset rows(&m_database);
    if (!rows.Open("SELECT id, send_time, send_mode, status, success_count, fail_count, content, is_idle, jobid "
                   "FROM tbl_sendsms"
            + condition + " ORDER BY id DESC")) {
        m_lastError = rows.GetLastError();
        return records;
    }
    m_lastError.clear();
    for (; !rows.IsEOF(); rows.MoveNext()) {
        SendRecord& record = records.emplace_back();
        rows.GetFieldValue(0, record.id);
        rows.GetFieldValue(1, record.sendTime);
        rows.GetFieldValue(2, record.sendMode);
        rows.GetFieldValue(3, record.status);
        rows.GetFieldValue(4, record.successCount);
        rows.GetFieldValue(5, record.failCount);
        rows.GetFieldValue(6, record.content);
        rows.GetFieldValue(7, record.scheduled);
        rows.GetFieldValue(8, record.jobIds);
    }
    return records;
}

std::vector<SendRecord> CSendHistory::List(bool scheduledOnly)
{
    return read(scheduledOnly ? " WHERE is_idle=TRUE" : "");
}

std::optional<SendRecord> CSendHistory::Find(long id)
{
    std::vector<SendRecord> found = read(" WHERE id=" + std::to_string(id));
    if (found.empty())
        return std::nullopt;
    return found.front();
}

} // namespace telvora
