#include "contacts/FolderLookup.h"

#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "session/TextUtil.h"

#include <algorithm>

namespace telvora {

bool CFolderLookup::Load(CADODataBase& database)
{
    m_ids.clear();
    CADORecordset recordset(&database);
    if (!recordset.Open("SELECT id, name FROM tbl_card_folder ORDER BY id"))
        return false;
    for (; !recordset.IsEOF(); recordset.MoveNext()) {
        long id = 0;
        std::string name;
        recordset.GetFieldValue(0, id);
        recordset.GetFieldValue(1, name);
        Add(name, id);
    }
    return true;
}

void CFolderLookup::Add(std::string_view name, long id)
{
    m_ids.emplace(key(name), id);
}

long CFolderLookup::Find(std::string_view name) const
{
    const auto found = m_ids.find(key(name));
    return found == m_ids.end() ? 0 : found->second;
}

std::string CFolderLookup::key(std::string_view name)
{
    return AsciiLower(TrimAscii(name));
}

} // namespace telvora
