#include "records/SendHistory.h"

#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "records/SendLedger.h"

namespace telvora {

CSendHistory::CSendHistory(CADODataBase& database)
    : m_database(database)
{ }

bool CSendHistory::Clear()
{
    return inTransaction({"DELETE FROM tbl_sendsms_detail", "DELETE FROM tbl_sendsms"});
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

std::vector<SendRecord> CSendHistory::ListSent()
{
    return read(" WHERE is_idle=FALSE");
}

bool CSendHistory::inTransaction(std::initializer_list<std::string> statements)
{
    if (!m_database.BeginTransaction()) {
        m_lastError = m_database.GetLastError();
        return false;
    }
    for (const std::string& statement : statements) {
        if (!m_database.Execute(statement)) {
            m_lastError = m_database.GetLastError();
            m_database.RollbackTransaction();
            return false;
        }
    }
    if (!m_database.CommitTransaction()) {
        m_lastError = m_database.GetLastError();
        m_database.RollbackTransaction();
        return false;
    }
    m_lastError.clear();
    return true;
}

bool CSendHistory::Delete(long id)
{
    const std::string key = std::to_string(id);
    return inTransaction(
        {"DELETE FROM tbl_sendsms WHERE ID = " + key, "DELETE FROM tbl_sendsms_detail WHERE group_id = " + key});
}

bool CSendHistory::ClearSent()
{
    return inTransaction({"DELETE FROM tbl_sendsms_detail WHERE group_id IN (SELECT id FROM tbl_sendsms WHERE "
                          "is_idle<>TRUE )",
        "DELETE FROM tbl_sendsms WHERE is_idle <> TRUE"});
}

std::vector<SendDetail> CSendHistory::Details(long recordId)
{
    std::vector<SendDetail> details;
    CADORecordset rows(&m_database);
    if (!rows.Open("SELECT id, phones, send_time, status, split_count, content FROM tbl_sendsms_detail "
                   "WHERE group_id = "
            + std::to_string(recordId) + " ORDER BY id")) {
        m_lastError = rows.GetLastError();
        return details;
    }
    m_lastError.clear();
    for (; !rows.IsEOF(); rows.MoveNext()) {
        SendDetail& detail = details.emplace_back();
        rows.GetFieldValue(0, detail.id);
        rows.GetFieldValue(1, detail.phone);
        rows.GetFieldValue(2, detail.sendTime);
        rows.GetFieldValue(3, detail.status);
        rows.GetFieldValue(4, detail.splitCount);
        rows.GetFieldValue(5, detail.content);
    }
    return details;
}

std::vector<std::string> CSendHistory::SentNumbers(long recordId)
{
    std::vector<std::string> numbers;
    CADORecordset rows(&m_database);
    if (!rows.Open("SELECT phones FROM tbl_sendsms_detail WHERE group_id = " + std::to_string(recordId)
            + " AND status IN (" + std::to_string(kDetailAccepted) + ", " + std::to_string(kDetailUnknown)
            + ") ORDER BY id")) {
        m_lastError = rows.GetLastError();
        return numbers;
    }
    m_lastError.clear();
    for (; !rows.IsEOF(); rows.MoveNext())
        rows.GetFieldValue(0, numbers.emplace_back());
    return numbers;
}

} // namespace telvora
