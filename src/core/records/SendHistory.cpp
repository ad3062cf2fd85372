#include "records/SendHistory.h"

#include "db/ADODataBase.h"

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

} // namespace telvora
