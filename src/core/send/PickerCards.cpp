#include "send/PickerCards.h"

#include "db/ADORecordset.h"

namespace telvora {

CPickerCards::CPickerCards(CADODataBase& database)
    : m_database(database)
{ }

bool CPickerCards::Folder(long folderId, std::vector<PickerCard>& cards)
{
    const std::string id = std::to_string(folderId);
    return read("SELECT phone,name FROM tbl_card WHERE folder_id=" + id
            + " OR id in (SELECT card_id FROM tbl_card_copy WHERE folder_id=" + id + ") ORDER BY id",
        cards, 0);
}

bool CPickerCards::Search(const std::string& whereClause, std::vector<PickerCard>& cards)
{
    return read("SELECT name, phone  FROM tbl_card " + whereClause + " ORDER BY id", cards, 1);
}

bool CPickerCards::FolderTop(long folderId, std::vector<PickerCard>& cards)
{
    return read("SELECT TOP " + std::to_string(kDialogLimit)
            + " phone,name FROM tbl_card WHERE folder_id=" + std::to_string(folderId) + " ORDER BY id",
        cards, 0);
}

bool CPickerCards::read(const std::string& sql, std::vector<PickerCard>& cards, int phoneColumn)
{
    cards.clear();
    CADORecordset records(&m_database);
    if (!records.Open(sql)) {
        m_lastError = records.GetLastError();
        return false;
    }
    for (; !records.IsEOF(); records.MoveNext()) {
        PickerCard card;
        records.GetFieldValue(phoneColumn, card.phone);
        records.GetFieldValue(1 - phoneColumn, card.name);
        cards.push_back(std::move(card));
    }
    if (records.HasFailed()) {
        m_lastError = records.GetLastError();
        return false;
    }
    return true;
}

} // namespace telvora
