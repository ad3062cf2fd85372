#include "app/AppContext.h"

#include "app/AppConstants.h"
#include "db/ADORecordset.h"
#include "db/DatabaseFile.h"

#include <filesystem>
#include <utility>

namespace fs = std::filesystem;

namespace telvora {

namespace {

constexpr const char* kOpenFailed = "打开数据库失败！";

bool isBareFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos
        && name.find('\0') == std::string::npos;
}

} // namespace

CAppContext::CAppContext(CDataDirectory dataDirectory, std::span<const SchemaMigration> migrations)
    : m_dataDirectory(std::move(dataDirectory))
    , m_setupFile(m_dataDirectory.FilePath(kSetupFileName))
    , m_upgrader(migrations)
    , m_workDatabaseName(kOfflineDatabase)
{
    m_proxyFlag = m_setupFile.GetString(kSetupSection, "IsProxy", "0");
    m_connectionType = m_setupFile.GetString(kSetupSection, "ConnType", "0");
}

bool CAppContext::IsOffline() const
{
    return m_workDatabaseName == kOfflineDatabase;
}

std::string CAppContext::GetCurrentVersion() const
{
    return m_setupFile.GetString(kSetupSection, "CurVersion", "0");
}

std::string CAppContext::DatabasePathFor(const std::string& fileName) const
{
    if (IsSharedDatabase()) {
        const fs::path shared = m_setupFile.GetString(kSetupSection, "DSNFile", "shared.db");
        return shared.is_absolute() ? shared.string() : m_dataDirectory.FilePath(shared.string());
    }
    return m_dataDirectory.FilePath(fileName);
}

bool CAppContext::fail(const std::string& detail)
{
    m_lastError = kOpenFailed;
    m_errorDetail = detail;
    return false;
}

bool CAppContext::openUpgraded(CADODataBase& database, const std::string& path)
{
    std::string why;
    if (!CheckDatabaseFileHeader(path, why)) {
        return fail(why);
    }
    // A newer database is refused on its header alone, before an open could write to it.
    if (!m_upgrader.CheckFile(path)) {
        return fail(m_upgrader.GetLastError());
    }
    if (!database.Open(path)) {
        return fail(database.GetLastError());
    }
    if (!m_upgrader.Upgrade(database)) {
        database.Close();
        return fail(m_upgrader.GetLastError());
    }
    return true;
}

bool CAppContext::createFromTemplate(const std::string& path)
{
    if (!m_dataDirectory.EnsureShippedCopy(kTemplateDatabase)) {
        return fail(m_dataDirectory.GetLastError());
    }
    // The copy kept in the data directory may come from an older program.
    const std::string templatePath = m_dataDirectory.FilePath(kTemplateDatabase);
    {
        CADODataBase source;
        if (!openUpgraded(source, templatePath)) {
            return false;
        }
        // Back to the shipped file's journal, so no write-ahead log stays beside it.
        source.Execute("PRAGMA journal_mode=DELETE");
    }
    // The backup API, not a file copy: it reads the template as SQLite sees it.
    std::string error;
    if (!CopyDatabase(templatePath, path, error)) {
        std::error_code ignored;
        fs::remove(path, ignored);
        return fail("无法从模板创建数据库 " + path + "：" + error);
    }
    std::error_code ignored;
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace, ignored);
    return true;
}

bool CAppContext::OpenWorkDatabase(const std::string& fileName)
{
    m_database.Close();
    m_nextCardId.Reset();
    m_lastError.clear();
    m_errorDetail.clear();
    // The name is taken even when opening fails: callers test it to know whether an
    // account's database was meant to be open.
    m_workDatabaseName = fileName;

    if (!IsSharedDatabase() && !isBareFileName(fileName)) {
        return fail("数据库文件名无效：" + fileName);
    }
    const std::string path = DatabasePathFor(fileName);
    std::error_code error;
    if (!fs::exists(path, error)) {
        if (!createFromTemplate(path)) {
            return false;
        }
    }
    if (!openUpgraded(m_database, path)) {
        return false;
    }
    // A database of another program has none of our tables.
    CADORecordset probe(&m_database);
    if (!probe.Open("SELECT COUNT(*) FROM tbl_sys_param")) {
        const std::string detail = probe.GetLastError();
        probe.Close();
        m_database.Close();
        return fail(detail);
    }
    return true;
}

} // namespace telvora
