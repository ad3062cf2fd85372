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

namespace {

// The schema version this program writes and reads (PRAGMA user_version of schema.sql).
constexpr int kSchemaVersion = 1;

} // namespace

CBackupFile::CBackupFile(std::string directory)
    : m_directory(std::move(directory))
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
    const int version = ReadDatabaseFileVersion(path);
    if (version < 1) {
        return fail("文件不是本程序的数据库（没有版本号）：" + path);
    }
    if (version > kSchemaVersion) {
        return fail("数据库 " + path + " 的版本（" + std::to_string(version) + "）比本程序支持的版本（"
            + std::to_string(kSchemaVersion) + "）新");
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
