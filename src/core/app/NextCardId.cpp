#include "app/NextCardId.h"

#include "db/ADODataBase.h"
#include "db/ADORecordset.h"

namespace telvora {

long CNextCardId::Take(CADODataBase& database)
{
    const std::lock_guard lock(m_mutex);
    if (!m_loaded || m_path != database.GetDatabasePath()) {
        CADORecordset recordset(&database);
        long highest = 0;
        if (!recordset.Open("SELECT Max(id) FROM tbl_card")
            || (!recordset.IsEOF() && !recordset.GetFieldValue(0, highest)))
            return 0;
        m_path = database.GetDatabasePath();
        m_last = highest;
        m_loaded = true;
    }
    return ++m_last;
}

void CNextCardId::Reset()
{
    const std::lock_guard lock(m_mutex);
    m_loaded = false;
}

} // namespace telvora
