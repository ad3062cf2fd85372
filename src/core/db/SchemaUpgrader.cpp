#include "db/SchemaUpgrader.h"

#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/SqlScript.h"

#include <fstream>
#include <utility>

namespace telvora {

namespace {

constexpr int kFirstVersion = 1;
constexpr std::streamoff kUserVersionOffset = 60; // of the SQLite file header

bool readVersion(CADODataBase& database, int& version)
{
    CADORecordset recordset(&database);
    version = 0;
    return recordset.Open("PRAGMA user_version") && !recordset.IsEOF() && recordset.GetFieldValue(0, version);
}

} // namespace

CSchemaUpgrader::CSchemaUpgrader(std::span<const SchemaMigration> steps)
    : m_steps(steps)
{ }

int CSchemaUpgrader::GetTargetVersion() const
{
    return kFirstVersion + static_cast<int>(m_steps.size());
}

bool CSchemaUpgrader::fail(std::string text)
{
    m_lastError = std::move(text);
    return false;
}

bool CSchemaUpgrader::checkVersion(int version, const std::string& path)
{
    if (version > GetTargetVersion()) {
        return fail("数据库 " + path + " 的版本（" + std::to_string(version) + "）比本程序支持的版本（"
            + std::to_string(GetTargetVersion()) + "）新，请用新版本的程序打开它。数据库没有改动。");
    }
    if (version < kFirstVersion) {
        return fail("文件不是本程序的数据库（没有版本号）：" + path);
    }
    return true;
}

bool CSchemaUpgrader::CheckFile(const std::string& path)
{
    m_lastError.clear();
    std::ifstream in(path, std::ios::binary);
    unsigned char bytes[4] = {};
    if (!in.seekg(kUserVersionOffset) || !in.read(reinterpret_cast<char*>(bytes), sizeof bytes)) {
        return fail("无法读取数据库的版本：" + path);
    }
    const auto version = static_cast<int>(
        (unsigned {bytes[0]} << 24) | (unsigned {bytes[1]} << 16) | (unsigned {bytes[2]} << 8) | bytes[3]);
    return checkVersion(version, path);
}

bool CSchemaUpgrader::Upgrade(CADODataBase& database)
{
    m_lastError.clear();
    const std::string& path = database.GetDatabasePath();
    int version = 0;
    if (!readVersion(database, version)) {
        return fail("无法读取数据库的版本：" + path);
    }
    if (!checkVersion(version, path)) {
        return false;
    }
    if (version == GetTargetVersion()) {
        return true;
    }
    if (!database.BeginTransaction()) {
        return fail("无法升级数据库 " + path + "：" + database.GetErrorDescription());
    }
    // Read again under the write lock: another connection may have upgraded it meanwhile.
    if (!readVersion(database, version) || !checkVersion(version, path)) {
        database.RollbackTransaction();
        return m_lastError.empty() ? fail("无法读取数据库的版本：" + path) : false;
    }
    for (const SchemaMigration& step : m_steps) {
        if (step.version <= version) {
            continue;
        }
        if (step.version != version + 1) {
            database.RollbackTransaction();
            return fail("数据库升级步骤的编号不连续：缺少第 " + std::to_string(version + 1) + " 步");
        }
        if (!ExecuteScript(database, step.script)) {
            const std::string why = database.GetErrorDescription();
            database.RollbackTransaction();
            return fail("数据库 " + path + " 升级到版本 " + std::to_string(step.version) + "（"
                + std::string(step.purpose) + "）失败，数据库没有改动：" + why);
        }
        version = step.version;
    }
    if (!database.Execute("PRAGMA user_version = " + std::to_string(version)) || !database.CommitTransaction()) {
        const std::string why = database.GetErrorDescription();
        database.RollbackTransaction();
        return fail("无法升级数据库 " + path + "：" + why);
    }
    return true;
}

} // namespace telvora
