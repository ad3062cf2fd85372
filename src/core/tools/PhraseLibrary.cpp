#include "tools/PhraseLibrary.h"

#include "contacts/SpreadsheetReader.h"
#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/SqlText.h"
#include "session/TextUtil.h"

namespace telvora {

namespace {

constexpr const char* kEmptyContent = "短语内容不能为空!";
constexpr const char* kDuplicateGroup = "已存在同名短语目录!";

} // namespace

CPhraseLibrary::CPhraseLibrary(CADODataBase& database)
    : m_database(database)
{ }

bool CPhraseLibrary::refuse(std::string message)
{
    m_message = std::move(message);
    return false;
}

bool CPhraseLibrary::failed()
{
    m_message = m_database.GetLastError();
    return false;
}

std::vector<PhraseGroup> CPhraseLibrary::ListGroups()
{
    std::vector<PhraseGroup> groups;
    CADORecordset rs(&m_database);
    if (!rs.Open("SELECT id, ClassName  FROM tbl_message_folder ORDER BY id")) {
        m_message = rs.GetLastError();
        return groups;
    }
    for (; !rs.IsEOF(); rs.MoveNext()) {
        PhraseGroup group;
        rs.GetFieldValue(0, group.id);
        rs.GetFieldValue(1, group.name);
        groups.push_back(std::move(group));
    }
    return groups;
}

std::vector<Phrase> CPhraseLibrary::ListPhrases(std::string_view group)
{
    std::vector<Phrase> phrases;
    CADORecordset rs(&m_database);
    if (!rs.Open("SELECT ID, Title, Message,ClassName  FROM tbl_message WHERE ClassName = " + SqlQuote(group)
            + " ORDER BY id")) {
        m_message = rs.GetLastError();
        return phrases;
    }
    for (; !rs.IsEOF(); rs.MoveNext()) {
        Phrase phrase;
        rs.GetFieldValue(0, phrase.id);
        rs.GetFieldValue(1, phrase.title);
        rs.GetFieldValue(2, phrase.message);
        rs.GetFieldValue(3, phrase.group);
        phrases.push_back(std::move(phrase));
    }
    return phrases;
}

bool CPhraseLibrary::AddPhrase(std::string_view title, std::string_view content, std::string_view group)
{
    if (TrimAscii(content).empty()) {
        return refuse(kEmptyContent);
    }
    if (!m_database.Execute("INSERT INTO tbl_message (Title, Message, ClassName) VALUES (" + SqlQuote(title) + ", "
            + SqlQuote(content) + ", " + SqlQuote(group) + ")")) {
        return failed();
    }
    return true;
}

bool CPhraseLibrary::ModifyPhrase(int id, std::string_view title, std::string_view content, std::string_view group)
{
    if (TrimAscii(content).empty()) {
        return refuse(kEmptyContent);
    }
    if (!m_database.Execute("UPDATE tbl_message SET Title=" + SqlQuote(title) + ", Message=" + SqlQuote(content)
            + ", ClassName=" + SqlQuote(group) + " WHERE id = " + std::to_string(id))) {
        return failed();
    }
    return true;
}

bool CPhraseLibrary::DeletePhrase(int id)
{
    return m_database.Execute("DELETE FROM tbl_message WHERE id = " + std::to_string(id)) || failed();
}

bool CPhraseLibrary::groupExists(std::string_view name)
{
    CADORecordset rs(&m_database);
    return rs.Open("SELECT id FROM tbl_message_folder WHERE ClassName = " + SqlQuote(name)) && !rs.IsEOF();
}

bool CPhraseLibrary::AddGroup(std::string_view name, int& newId)
{
    if (groupExists(name)) {
        return refuse(kDuplicateGroup);
    }
    if (!m_database.Execute("INSERT INTO tbl_message_folder(ClassName) VALUES (" + SqlQuote(name) + ")")) {
        return failed();
    }
    CADORecordset rs(&m_database);
    if (!rs.Open("SELECT MAX(id) FROM tbl_message_folder") || rs.IsEOF() || !rs.GetFieldValue(0, newId)) {
        return refuse(rs.GetLastError());
    }
    return true;
}

bool CPhraseLibrary::RenameGroup(int id, std::string_view oldName, std::string_view newName)
{
    if (groupExists(newName)) {
        return refuse(kDuplicateGroup);
    }
    // Both in one transaction: the phrases must never be left under a name no group has.
    if (!m_database.BeginTransaction()) {
        return failed();
    }
    if (!m_database.Execute(
            "UPDATE tbl_message_folder SET ClassName = " + SqlQuote(newName) + " WHERE id=" + std::to_string(id))
        || !m_database.Execute(
            "UPDATE tbl_message SET ClassName = " + SqlQuote(newName) + " WHERE ClassName=" + SqlQuote(oldName))) {
        const std::string error = m_database.GetLastError();
        m_database.RollbackTransaction();
        return refuse(error);
    }
    return m_database.CommitTransaction() || failed();
}

bool CPhraseLibrary::DeleteGroup(int id, std::string_view name)
{
    if (!m_database.BeginTransaction()) {
        return failed();
    }
    if (!m_database.Execute("DELETE FROM tbl_message WHERE  ClassName = " + SqlQuote(name))
        || !m_database.Execute("DELETE FROM tbl_message_folder WHERE  id = " + std::to_string(id))) {
        const std::string error = m_database.GetLastError();
        m_database.RollbackTransaction();
        return refuse(error);
    }
    return m_database.CommitTransaction() || failed();
}

bool CPhraseLibrary::EnsureGroup(std::string_view name)
{
    return name == kSentGroup || groupExists(name)
        || m_database.Execute("INSERT INTO tbl_message_folder(ClassName) VALUES (" + SqlQuote(name) + ")") || failed();
}

bool CPhraseLibrary::ImportSpreadsheet(const std::string& path, std::size_t& imported, const ImportProgress& progress)
{
    imported = 0;
    CSpreadsheetReader reader;
    if (!reader.Open(path)) {
        return refuse(reader.GetLastError());
    }
    std::size_t total = 0;
    for (std::size_t sheet = 0; sheet < reader.GetSheetNames().size(); ++sheet) {
        reader.SelectSheet(sheet);
        total += reader.GetRowCount() > 0 ? reader.GetRowCount() - 1 : 0;
    }
    if (!m_database.BeginTransaction()) {
        return failed();
    }
    std::size_t done = 0;
    for (std::size_t sheet = 0; sheet < reader.GetSheetNames().size(); ++sheet) {
        reader.SelectSheet(sheet);
        const std::string& group = reader.GetSheetNames()[sheet];
        bool grouped = false;
        for (std::size_t row = 1; row < reader.GetRowCount(); ++row) {
            const std::string_view text = TrimAscii(reader.GetCell(row, 0));
            if (!text.empty()) {
                // Phrases filed under a name no group has would never show in the library.
                if ((!grouped && !EnsureGroup(group))
                    || !m_database.Execute("INSERT INTO tbl_message ( Title,  ClassName, Message ) VALUES ( '短信语', "
                        + SqlQuote(group) + ", " + SqlQuote(text) + ")")) {
                    const std::string error = m_database.GetLastError();
                    m_database.RollbackTransaction();
                    imported = 0;
                    return refuse(error);
                }
                grouped = true;
                ++imported;
            }
            if (progress) {
                progress(++done, total);
            }
        }
    }
    return m_database.CommitTransaction() || failed();
}

} // namespace telvora
