#include "send/FolderNumberCache.h"

#include "db/ADORecordset.h"

namespace telvora {

bool LoadFolderNumbers(CADODataBase& database, long folderId, CollectedNumbers& numbers, std::string& error)
{
    numbers = {};
    const std::string id = std::to_string(folderId);
    CADORecordset records(&database);
    if (!records.Open("SELECT phone  FROM tbl_card WHERE (status <> '退订' OR status IS NULL) AND (folder_id =" + id
            + " OR id in (SELECT card_id FROM tbl_card_copy WHERE folder_id=" + id + ") ) ORDER BY id")) {
        error = records.GetLastError();
        return false;
    }
    for (; !records.IsEOF(); records.MoveNext()) {
        std::string phone;
        records.GetFieldValue(0, phone);
        numbers.addIfMobile(phone);
    }
    if (records.HasFailed()) {
        error = records.GetLastError();
        numbers = {};
        return false;
    }
    return true;
}

bool CFolderNumberCache::Load(CADODataBase& database, long folderId, bool reload, CollectedNumbers& numbers)
{
    const CADODataBase::ChangeStamp stamp = database.GetChangeStamp();
    if (!(stamp == m_stamp)) {
        m_entries.clear();
        m_stamp = stamp;
    }
    if (!reload) {
        if (const auto entry = m_entries.find(folderId); entry != m_entries.end()) {
            numbers = entry->second;
            return true;
        }
    }
    if (!LoadFolderNumbers(database, folderId, numbers, m_lastError)) {
        m_entries.erase(folderId);
        return false;
    }
    m_entries[folderId] = numbers;
    return true;
}

void CFolderNumberCache::Clear()
{
    m_entries.clear();
}

} // namespace telvora
