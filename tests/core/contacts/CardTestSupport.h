#pragma once

#include "core/app/AppTestSupport.h"
#include "db/ADODataBase.h"

#include <string>

namespace telvora::test {

// A working database with helpers to lay out folders and cards by SQL.
class CardDatabaseTest : public WorkDatabaseTest
{
protected:
    void folder(long id, const std::string& name, long parent = 0)
    {
        ASSERT_TRUE(db().Execute("INSERT INTO tbl_card_folder (id, name, sub_id, memos) VALUES (" + std::to_string(id)
            + ", '" + name + "', " + std::to_string(parent) + ", '" + name + "')"))
            << db().GetLastError();
    }
    void card(long id, const std::string& phone, long folderId)
    {
        ASSERT_TRUE(db().Execute("INSERT INTO tbl_card (id, phone, folder_id) VALUES (" + std::to_string(id) + ", '"
            + phone + "', " + std::to_string(folderId) + ")"))
            << db().GetLastError();
    }
    void copy(long cardId, long folderId)
    {
        ASSERT_TRUE(db().Execute("INSERT INTO tbl_card_copy (folder_id, card_id) VALUES (" + std::to_string(folderId)
            + ", " + std::to_string(cardId) + ")"));
    }
    std::string query(const std::string& sql) { return scalar(db(), sql); }
    // Ids of a folder's cards (home and copies), comma-joined in id order.
    std::string members(long folderId)
    {
        return query("SELECT group_concat(id) FROM (SELECT id FROM tbl_card WHERE folder_id = "
            + std::to_string(folderId) + " OR id IN (SELECT card_id FROM tbl_card_copy WHERE folder_id = "
            + std::to_string(folderId) + ") ORDER BY id)");
    }
};

} // namespace telvora::test
