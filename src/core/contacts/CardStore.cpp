#include "contacts/CardStore.h"

#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/PreparedStatement.h"
#include "session/TextUtil.h"

#include <algorithm>
#include <map>
#include <set>

namespace telvora {

namespace {

constexpr const char* kQqChatAddress = "http://wpa.qq.com/msgrd?V=1&Uin=";
constexpr const char* kQqChatSite = "telvora";

// Keeps an address whole inside the mailto: list: ";" separates, "?" would start a query.
std::string mailtoEscaped(std::string_view address)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9')
            || std::string_view("@._+-").find(c) != std::string_view::npos) {
            out += c;
        } else {
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 15];
        }
    }
    return out;
}

} // namespace

std::string IdList(const std::vector<long>& ids)
{
    std::string list;
    for (const long id : ids) {
        if (!list.empty())
            list += ',';
        list += std::to_string(id);
    }
    return list;
}

CCardStore::CCardStore(CADODataBase& database)
    : m_database(database)
{ }

bool CCardStore::fail(const std::string& text)
{
    m_lastError = text;
    return false;
}

bool CCardStore::run(const std::string& sql)
{
    return m_database.Execute(sql) || fail(m_database.GetLastError());
}

bool CCardStore::inTransaction(const std::vector<std::string>& statements)
{
    if (!m_database.BeginTransaction())
        return fail(m_database.GetLastError());
    for (const std::string& sql : statements) {
        if (!run(sql)) {
            m_database.RollbackTransaction();
            return false;
        }
    }
    return m_database.CommitTransaction() || fail(m_database.GetLastError());
}

std::vector<CardFolder> CCardStore::LoadFolderTree()
{
    std::vector<CardFolder> shown;
    CADORecordset recordset(&m_database);
    if (!recordset.Open("SELECT id, name, sub_id  FROM tbl_card_folder ORDER BY id")) {
        fail(recordset.GetLastError());
        return shown;
    }
    std::set<long> added;
    for (; !recordset.IsEOF(); recordset.MoveNext()) {
        CardFolder folder;
        recordset.GetFieldValue(0, folder.id);
        recordset.GetFieldValue(1, folder.name);
        recordset.GetFieldValue(2, folder.parentId);
        if (folder.parentId != 0 && !added.contains(folder.parentId))
            continue;
        added.insert(folder.id);
        shown.push_back(std::move(folder));
    }
    return shown;
}

bool CCardStore::nameTaken(const std::string& name, long exceptId)
{
    CPreparedStatement statement(&m_database);
    if (!statement.Prepare("SELECT id FROM tbl_card_folder WHERE name = ? AND id <> ?") || !statement.BindText(1, name)
        || !statement.BindInt(2, exceptId))
        return true;
    return statement.Step() || statement.HasFailed();
}

CCardStore::NameResult CCardStore::NewFolder(const std::string& typedName, long parentId, long& id)
{
    id = 0;
    const std::string name(TrimAscii(typedName));
    if (name.empty())
        return NameResult::Empty;
    if (nameTaken(name, 0))
        return NameResult::Duplicate;
    CPreparedStatement statement(&m_database);
    // An empty table numbers from 1: ids below 1 mean "no folder" to the views.
    if (!statement.Prepare("INSERT INTO tbl_card_folder (id,name, sub_id, memos ) VALUES ((SELECT IFNULL(MAX(ID),0)+1 "
                           "FROM tbl_card_folder), ?1, ?2, ?1)")
        || !statement.BindText(1, name) || !statement.BindInt(2, parentId) || !statement.Execute()) {
        fail(statement.GetLastError());
        return NameResult::Failed;
    }
    CADORecordset recordset(&m_database);
    if (recordset.Open("SELECT MAX(id) FROM tbl_card_folder") && !recordset.IsEOF())
        recordset.GetFieldValue(0, id);
    return NameResult::Done;
}

CCardStore::NameResult CCardStore::RenameFolder(long id, const std::string& typedName)
{
    const std::string name(TrimAscii(typedName));
    if (name.empty())
        return NameResult::Empty;
    if (nameTaken(name, id))
        return NameResult::Duplicate;
    CPreparedStatement statement(&m_database);
    if (!statement.Prepare("UPDATE tbl_card_folder SET name = ? WHERE id=?") || !statement.BindText(1, name)
        || !statement.BindInt(2, id) || !statement.Execute()) {
        fail(statement.GetLastError());
        return NameResult::Failed;
    }
    return NameResult::Done;
}

long CCardStore::EnsureFolder(const std::string& name, long parentId)
{
    CPreparedStatement statement(&m_database);
    if (statement.Prepare("SELECT id FROM tbl_card_folder WHERE name = ?")
        && statement.BindText(1, std::string(TrimAscii(name))) && statement.Step())
        return static_cast<long>(statement.GetInt(0));
    long id = 0;
    return NewFolder(name, parentId, id) == NameResult::Done ? id : 0;
}

std::string CCardStore::FolderName(long id)
{
    CADORecordset recordset(&m_database);
    std::string name;
    if (recordset.Open("SELECT name FROM tbl_card_folder WHERE id = " + std::to_string(id)) && !recordset.IsEOF())
        recordset.GetFieldValue(0, name);
    return name;
}

bool CCardStore::DeleteFolder(long id)
{
    CADORecordset recordset(&m_database);
    if (!recordset.Open("SELECT id, sub_id FROM tbl_card_folder"))
        return fail(recordset.GetLastError());
    std::multimap<long, long> children;
    for (; !recordset.IsEOF(); recordset.MoveNext()) {
        long child = 0;
        long parent = 0;
        recordset.GetFieldValue(0, child);
        recordset.GetFieldValue(1, parent);
        children.emplace(parent, child);
    }
    std::vector<long> doomed {id};
    for (std::size_t i = 0; i < doomed.size(); ++i) {
        const auto [first, last] = children.equal_range(doomed[i]);
        for (auto it = first; it != last; ++it) {
            // A damaged table could make a folder its own ancestor.
            if (std::find(doomed.begin(), doomed.end(), it->second) == doomed.end())
                doomed.push_back(it->second);
        }
    }
    const std::string folders = IdList(doomed);
    return inTransaction({
        "DELETE FROM tbl_card_copy WHERE folder_id IN (" + folders
            + ") OR card_id IN (SELECT id FROM tbl_card WHERE folder_id IN (" + folders + "))",
        "DELETE FROM tbl_card WHERE  folder_id IN (" + folders + ")",
        "DELETE FROM tbl_card_folder WHERE  id IN (" + folders + ")",
    });
}

bool CCardStore::ClearFolder(long id)
{
    const std::string folder = std::to_string(id);
    return inTransaction({
        "DELETE FROM tbl_card_copy WHERE  folder_id = " + folder
            + " OR card_id IN (SELECT id FROM tbl_card WHERE folder_id = " + folder + ")",
        "DELETE FROM tbl_card WHERE folder_id = " + folder,
    });
}

bool CCardStore::ClearAll()
{
    return inTransaction({"DELETE FROM tbl_card ", "DELETE FROM tbl_card_copy "});
}

bool CCardStore::DeleteCards(const std::vector<long>& cardIds)
{
    std::vector<std::string> statements;
    for (std::size_t start = 0; start < cardIds.size(); start += kDeleteGroupSize) {
        const auto end
            = cardIds.begin() + static_cast<std::ptrdiff_t>(std::min(cardIds.size(), start + kDeleteGroupSize));
        const std::string ids = IdList(std::vector<long>(cardIds.begin() + static_cast<std::ptrdiff_t>(start), end));
        statements.push_back("DELETE FROM tbl_card WHERE id IN (" + ids + ")");
        statements.push_back("DELETE FROM tbl_card_copy WHERE card_id IN (" + ids + ")");
    }
    return statements.empty() || inTransaction(statements);
}

bool CCardStore::RemoveFromFolder(const std::vector<long>& cardIds, long folderId)
{
    if (!m_database.BeginTransaction())
        return fail(m_database.GetLastError());
    const std::string folder = std::to_string(folderId);
    for (const long cardId : cardIds) {
        const std::string card = std::to_string(cardId);
        long home = 0;
        long otherCopy = 0;
        CADORecordset recordset(&m_database);
        if (recordset.Open("SELECT folder_id FROM tbl_card WHERE id = " + card) && !recordset.IsEOF())
            recordset.GetFieldValue(0, home);
        if (recordset.Open("SELECT folder_id FROM tbl_card_copy WHERE CARD_ID = " + card + " AND FOLDER_ID <> " + folder
                + " ORDER BY id")
            && !recordset.IsEOF())
            recordset.GetFieldValue(0, otherCopy);
        bool ok = run("DELETE FROM tbl_card_copy WHERE CARD_ID=" + card + " AND FOLDER_ID=" + folder);
        // Only a card at home here moves or goes; a copy elsewhere keeps its home.
        if (ok && home == folderId) {
            if (otherCopy == 0) {
                ok = run("DELETE FROM tbl_card WHERE id = " + card + "  AND FOLDER_ID=" + folder);
            } else {
                const std::string target = std::to_string(otherCopy);
                ok = run("UPDATE tbl_card SET folder_id = " + target + " WHERE id = " + card)
                    && run("DELETE FROM tbl_card_copy WHERE CARD_ID=" + card + " AND FOLDER_ID=" + target);
            }
        }
        if (!ok) {
            m_database.RollbackTransaction();
            return false;
        }
    }
    return m_database.CommitTransaction() || fail(m_database.GetLastError());
}

bool CCardStore::CopyToFolders(const std::vector<long>& cardIds, const std::vector<long>& folderIds)
{
    if (!m_database.BeginTransaction())
        return fail(m_database.GetLastError());
    CPreparedStatement statement(&m_database);
    bool ok = statement.Prepare(
        "INSERT INTO tbl_card_copy (folder_id, card_id) SELECT ?1, id FROM tbl_card WHERE id = ?2 AND folder_id <> ?1 "
        "AND NOT EXISTS (SELECT 1 FROM tbl_card_copy WHERE folder_id=?1 AND card_id=?2)");
    for (std::size_t f = 0; ok && f < folderIds.size(); ++f) {
        for (std::size_t c = 0; ok && c < cardIds.size(); ++c)
            ok = statement.BindInt(1, folderIds[f]) && statement.BindInt(2, cardIds[c]) && statement.Execute();
    }
    if (!ok) {
        fail(statement.GetLastError());
        m_database.RollbackTransaction();
        return false;
    }
    return m_database.CommitTransaction() || fail(m_database.GetLastError());
}

std::string CCardStore::MailtoAddress(const std::vector<long>& cardIds)
{
    std::string addresses;
    CADORecordset recordset(&m_database);
    if (cardIds.empty()
        || !recordset.Open("SELECT email FROM tbl_card WHERE id IN (" + IdList(cardIds) + ") ORDER BY id"))
        return addresses;
    for (; !recordset.IsEOF(); recordset.MoveNext()) {
        std::string email;
        recordset.GetFieldValue(0, email);
        const std::string_view trimmed = TrimAscii(email);
        if (!trimmed.empty())
            addresses += mailtoEscaped(trimmed) + ";";
    }
    return addresses.empty() ? addresses : "mailto:" + addresses;
}

std::string CCardStore::QqChatAddress(long cardId)
{
    CADORecordset recordset(&m_database);
    std::string qq;
    if (recordset.Open("SELECT qq FROM tbl_card WHERE id =" + std::to_string(cardId) + " ORDER BY id")
        && !recordset.IsEOF())
        recordset.GetFieldValue(0, qq);
    const std::string number(TrimAscii(qq));
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
        return {};
    return kQqChatAddress + number + "&Site=" + kQqChatSite + "&Menu=yes";
}

} // namespace telvora
