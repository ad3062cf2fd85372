#pragma once

#include "db/ADODataBase.h"
#include "send/NumberList.h"

#include <map>
#include <string>

namespace telvora {

/// The sendable numbers of a folder: the valid mobile numbers of its own cards and of the
/// cards copied into it, in card id order, leaving out cards whose status is "退订".
/// Subfolders are not included. False when the cards cannot be read (error says why).
bool LoadFolderNumbers(CADODataBase& database, long folderId, CollectedNumbers& numbers, std::string& error);

/// Folder numbers kept by folder id for the pickers, so that checking a folder again does
/// not query again. Entries are reused only while the database shows no change since they
/// were read; any write, here or by another connection, makes the next load query afresh.
class CFolderNumberCache final
{
public:
    /// The folder's numbers, from the cache unless reload is set or the database changed.
    bool Load(CADODataBase& database, long folderId, bool reload, CollectedNumbers& numbers);
    void Clear();
    const std::string& GetLastError() const { return m_lastError; }

private:
    std::map<long, CollectedNumbers> m_entries;
    CADODataBase::ChangeStamp m_stamp;
    std::string m_lastError;
};

} // namespace telvora
