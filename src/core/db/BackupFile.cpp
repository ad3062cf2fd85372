#include "db/BackupFile.h"

#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/DatabaseFile.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <utility>

namespace telvora {

CBackupFile::CBackupFile(std::string directory, std::span<const SchemaMigration> migrations)
    : m_directory(std::move(directory))
    , m_upgrader(migrations)
{ }

CBackupFile::~CBackupFile()
{
    removeCopy();
}

bool CBackupFile::fail(std::string why)
{
    m_lastError = std::move(why);
    removeCopy();
    return false;
}

void CBackupFile::removeCopy()
{
    if (m_copyPath.empty()) {
        return;
    }
    ::unlink(m_copyPath.c_str());
    RemoveJournalFiles(m_copyPath);
    m_copyPath.clear();
}

bool CBackupFile::Prepare(const std::string& path, const std::vector<std::string>& tables)
{
    removeCopy();
    m_tables.clear();
    m_lastError.clear();
    std::string why;
    if (!CheckDatabaseFileHeader(path, why)) {
        return fail(why);
    }
    // Refused on the header alone: a newer file must not even be opened.
    if (!m_upgrader.CheckFile(path)) {
        return fail(m_upgrader.GetLastError());
    }

    std::string copy = (std::filesystem::path(m_directory) / "restore-XXXXXX").string();
    const int fd = ::mkstemp(copy.data());
    if (fd < 0) {
        return fail("无法创建临时文件：" + copy);
    }
    ::close(fd);
    m_copyPath = copy;
    // Through SQLite, so that what the backup's own write-ahead log holds is included.
    if (!CopyDatabase(path, m_copyPath, why)) {
        return fail(why);
    }

    CADODataBase database;
    if (!database.Open(m_copyPath)) {
        return fail(database.GetLastError());
    }
    // An older backup is brought up to date in the copy, never in the file itself.
    if (!m_upgrader.Upgrade(database)) {
        return fail(m_upgrader.GetLastError());
    }
    CADORecordset check(&database);
    std::string verdict;
    if (!check.Open("PRAGMA quick_check") || check.IsEOF() || !check.GetFieldValue(0, verdict) || verdict != "ok") {
        return fail("数据库文件已损坏：" + path + (verdict.empty() ? std::string() : "（" + verdict + "）"));
    }
    check.Close();
    CADORecordset list(&database);
    if (!list.Open("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%'")) {
        return fail(list.GetLastError());
    }
    for (; !list.IsEOF(); list.MoveNext()) {
        std::string name;
        list.GetFieldValue(0, name);
        m_tables.push_back(name);
    }
    list.Close();
    std::vector<std::string> needed = tables;
    // Every database of this program has its parameters; a file without them is foreign.
    needed.emplace_back("tbl_sys_param");
    for (const std::string& table : needed) {
        if (std::find(m_tables.begin(), m_tables.end(), table) == m_tables.end()) {
            return fail("文件不是本程序的数据库（缺少表 " + table + "）：" + path);
        }
    }
    return true;
}

} // namespace telvora
