#include "records/ReceivedMessageList.h"

#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/PreparedStatement.h"

namespace telvora {

CReceivedMessageList::CReceivedMessageList(CADODataBase& database, RegionLookup regionOf)
    : m_database(database)
    , m_regionOf(std::move(regionOf))
{ }

bool CReceivedMessageList::fail(const std::string& error)
{
    m_lastError = error;
    return false;
}

std::vector<ReceivedRow> CReceivedMessageList::Load()
{
    std::vector<ReceivedRow> rows;
    CADORecordset result(&m_database);
    if (!result.Open("SELECT A.id, A.phone, A.content, A.recive_time, A.is_read, B.name, B.id FROM tbl_sms_recive A "
                     "LEFT OUTER JOIN tbl_card B ON A.phone = B.phone ORDER BY A.id")) {
        fail(result.GetLastError());
        return rows;
    }
    m_lastError.clear();
    for (; !result.IsEOF(); result.MoveNext()) {
        ReceivedRow& row = rows.emplace_back();
        int read = 0;
        std::string cardId;
        result.GetFieldValue(0, row.id);
        result.GetFieldValue(1, row.phone);
        result.GetFieldValue(2, row.content);
        result.GetFieldValue(3, row.receiveTime);
        result.GetFieldValue(4, read);
        result.GetFieldValue(5, row.name);
        result.GetFieldValue(6, cardId);
        row.read = read != 0;
        if (!cardId.empty())
            row.cardId = std::stol(cardId);
        row.region = m_regionOf ? m_regionOf(row.phone) : kUnknownRegion;
    }
    return rows;
}

bool CReceivedMessageList::MarkRead(long id)
{
    if (!m_database.Execute("UPDATE tbl_sms_recive SET is_read=1 WHERE id=" + std::to_string(id)))
        return fail(m_database.GetLastError());
    return true;
}

bool CReceivedMessageList::Delete(const std::vector<long>& ids)
{
    if (!m_database.BeginTransaction())
        return fail(m_database.GetLastError());
    for (long id : ids) {
        if (!m_database.Execute("DELETE FROM tbl_sms_recive WHERE ID = " + std::to_string(id))) {
            fail(m_database.GetLastError());
            m_database.RollbackTransaction();
            return false;
        }
    }
    if (!m_database.CommitTransaction()) {
        fail(m_database.GetLastError());
        m_database.RollbackTransaction();
        return false;
    }
    return true;
}

bool CReceivedMessageList::Clear()
{
    if (!m_database.Execute("DELETE FROM tbl_sms_recive"))
        return fail(m_database.GetLastError());
    return true;
}

std::optional<long> CReceivedMessageList::CardIdOf(const std::string& phone)
{
    CPreparedStatement query(&m_database);
    if (!query.Prepare("SELECT id FROM tbl_card WHERE phone = ?1") || !query.BindText(1, phone) || !query.Step())
        return std::nullopt;
    return static_cast<long>(query.GetInt(0));
}

} // namespace telvora
