#include "db/DatabaseMaintenance.h"

#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/BackupFile.h"
#include "db/DatabaseFile.h"
#include "db/SqlText.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <strings.h>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;

namespace telvora {

namespace {

constexpr const char* kSendRunning = "短信发送任务尚未完成，请等发送结束后再操作!";
constexpr const char* kSourceSchema = "restore_source";

std::string identifier(const std::string& name)
{
    return "[" + name + "]";
}

std::string directoryOf(const std::string& path)
{
    const fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

// The tables of the groups, in copy order.
std::vector<std::string> tablesOf(const std::vector<TableGroup>& groups)
{
    std::vector<std::string> tables;
    for (const TableGroup group : groups) {
        const auto& own = TableGroupOf(group).tables;
        tables.insert(tables.end(), own.begin(), own.end());
    }
    return tables;
}

} // namespace

CDatabaseMaintenance::CDatabaseMaintenance(CADODataBase& database, std::string templatePath, SendRunning sendRunning)
    : m_database(database)
    , m_templatePath(std::move(templatePath))
    , m_sendRunning(std::move(sendRunning))
{ }

CDatabaseMaintenance::Result CDatabaseMaintenance::fail(Result result, std::string why)
{
    m_lastError = std::move(why);
    return result;
}

bool CDatabaseMaintenance::sendRuns() const
{
    return m_sendRunning && m_sendRunning();
}

bool CDatabaseMaintenance::foldLog()
{
    // VACUUM in WAL mode writes the new pages to the log; only a checkpoint shrinks the file.
    CADORecordset checkpoint(&m_database);
    int busy = 1;
    return checkpoint.Open("PRAGMA wal_checkpoint(TRUNCATE)") && !checkpoint.IsEOF()
        && checkpoint.GetFieldValue(0, busy) && busy == 0;
}

CDatabaseMaintenance::Result CDatabaseMaintenance::Compact()
{
    m_lastError.clear();
    if (sendRuns()) {
        return fail(Result::Busy, kSendRunning);
    }
    // In place: SQLite's own locking keeps every other connection (the send worker's, a
    // second program) safe, and a crash half-way leaves the old file whole.
    if (!m_database.Execute("VACUUM")) {
        return fail(Result::Failed, m_database.GetErrorDescription());
    }
    foldLog(); // a reader still in the log only delays the shrinking
    return Result::Done;
}

CDatabaseMaintenance::Result CDatabaseMaintenance::Backup(const std::string& destination)
{
    m_lastError.clear();
    const std::string& working = m_database.GetDatabasePath();
    std::error_code error;
    if (fs::exists(destination, error) && fs::equivalent(destination, working, error)) {
        return fail(Result::Failed, "不能备份到正在使用的数据库文件：" + destination);
    }
    std::string partial = destination + ".partial-XXXXXX";
    const int fd = ::mkstemp(partial.data());
    if (fd < 0) {
        return fail(Result::Failed, "无法创建备份文件：" + destination);
    }
    ::close(fd);
    ::unlink(partial.c_str()); // VACUUM INTO makes it afresh, private to the owner
    std::string why;
    if (!CompactDatabase(working, partial, why)) {
        return fail(Result::Failed, why);
    }
    // A log left by an older file of that name would be read into the new one.
    RemoveJournalFiles(destination);
    fs::rename(partial, destination, error);
    if (error) {
        ::unlink(partial.c_str());
        return fail(Result::Failed, "无法写入备份文件 " + destination + "：" + error.message());
    }
    return Result::Done;
}

CDatabaseMaintenance::Result CDatabaseMaintenance::Restore(
    const std::string& path, const std::vector<TableGroup>& groups)
{
    m_lastError.clear();
    m_copied.clear();
    if (std::find(groups.begin(), groups.end(), TableGroup::Records) != groups.end() && sendRuns()) {
        return fail(Result::Busy, kSendRunning);
    }
    return copyGroupsFrom(path, groups, Result::NotABackup);
}

CDatabaseMaintenance::Result CDatabaseMaintenance::ResetCustomerData()
{
    m_lastError.clear();
    m_copied.clear();
    return copyGroupsFrom(m_templatePath, {TableGroup::Cards}, Result::Failed);
}

CDatabaseMaintenance::Result CDatabaseMaintenance::copyGroupsFrom(
    const std::string& path, const std::vector<TableGroup>& groups, Result unusable)
{
    const std::vector<std::string> tables = tablesOf(groups);
    CBackupFile source(directoryOf(m_database.GetDatabasePath()));
    if (!source.Prepare(path, tables)) {
        return fail(unusable, source.GetLastError());
    }
    return replaceFrom(source.GetCopyPath(), tables, {});
}

CDatabaseMaintenance::Result CDatabaseMaintenance::ClearSendRecords()
{
    m_lastError.clear();
    if (sendRuns()) {
        return fail(Result::Busy, kSendRunning);
    }
    if (!m_database.BeginTransaction()) {
        return fail(Result::Failed, m_database.GetErrorDescription());
    }
    if (!m_database.Execute("DELETE FROM tbl_sendsms_detail") || !m_database.Execute("DELETE FROM tbl_sendsms")
        || !m_database.CommitTransaction()) {
        const std::string why = m_database.GetErrorDescription();
        m_database.RollbackTransaction();
        return fail(Result::Failed, why);
    }
    return Result::Done;
}

CDatabaseMaintenance::Result CDatabaseMaintenance::ClearAllData()
{
    m_lastError.clear();
    m_copied.clear();
    if (sendRuns()) {
        return fail(Result::Busy, kSendRunning);
    }
    CBackupFile source(directoryOf(m_database.GetDatabasePath()));
    if (!source.Prepare(m_templatePath, {})) {
        return fail(Result::Failed, source.GetLastError());
    }
    // The login stays as it was stored: the password only when it is remembered.
    const Result result = replaceFrom(
        source.GetCopyPath(), source.GetTables(), {"Account", "User", "Password", "RememberPwd", "ServerIP"});
    if (result == Result::Done) {
        Compact(); // the data is gone either way; a failed compaction only keeps the space
        m_lastError.clear();
    }
    return result;
}

bool CDatabaseMaintenance::columnsOf(
    const std::string& schema, const std::string& table, std::vector<std::string>& columns)
{
    columns.clear();
    CADORecordset info(&m_database);
    if (!info.Open("PRAGMA " + schema + ".table_info(" + SqlQuote(table) + ")")) {
        m_lastError = info.GetLastError();
        return false;
    }
    for (; !info.IsEOF(); info.MoveNext()) {
        std::string name;
        info.GetFieldValue(1, name);
        columns.push_back(name);
    }
    if (columns.empty()) {
        m_lastError = "缺少表 " + table + "（" + schema + "）";
        return false;
    }
    return true;
}

bool CDatabaseMaintenance::copyTable(const std::string& table)
{
    std::vector<std::string> own;
    std::vector<std::string> theirs;
    if (!columnsOf("main", table, own) || !columnsOf(kSourceSchema, table, theirs)) {
        return false;
    }
    // The working table keeps its definition; a column the source lacks takes its default.
    std::string columns;
    for (const std::string& column : own) {
        const bool shared = std::any_of(theirs.begin(), theirs.end(),
            [&](const std::string& other) { return strcasecmp(other.c_str(), column.c_str()) == 0; });
        if (shared) {
            columns += (columns.empty() ? "" : ", ") + identifier(column);
        }
    }
    if (!m_database.Execute("DELETE FROM main." + identifier(table))
        || !m_database.Execute("INSERT INTO main." + identifier(table) + " (" + columns + ") SELECT " + columns
            + " FROM " + kSourceSchema + "." + identifier(table))) {
        m_lastError = "复制表 " + table + " 失败：" + m_database.GetErrorDescription();
        return false;
    }
    m_copied.push_back({table, m_database.GetRecordsAffected()});
    if (m_tableCopied) {
        m_tableCopied(m_copied.back());
    }
    return true;
}

CDatabaseMaintenance::Result CDatabaseMaintenance::replaceFrom(
    const std::string& source, const std::vector<std::string>& tables, const std::vector<std::string>& keptParameters)
{
    if (!m_database.Execute("ATTACH DATABASE " + SqlQuote(source) + " AS " + kSourceSchema)) {
        return fail(Result::Failed, m_database.GetErrorDescription());
    }
    bool copied = m_database.BeginTransaction();
    if (!copied) {
        m_lastError = m_database.GetErrorDescription();
    }
    std::vector<std::pair<std::string, std::string>> kept;
    for (const std::string& key : keptParameters) {
        CADORecordset value(&m_database);
        std::string text;
        if (copied && value.Open("SELECT para_value FROM main.tbl_sys_param WHERE para_name = " + SqlQuote(key))
            && !value.IsEOF() && value.GetFieldValue(0, text)) {
            kept.emplace_back(key, text);
        }
    }
    for (std::size_t i = 0; copied && i < tables.size(); ++i) {
        copied = copyTable(tables[i]);
    }
    for (std::size_t i = 0; copied && i < kept.size(); ++i) {
        copied = m_database.Execute("UPDATE main.tbl_sys_param SET para_value = " + SqlQuote(kept[i].second)
            + " WHERE para_name = " + SqlQuote(kept[i].first));
        if (!copied) {
            m_lastError = m_database.GetErrorDescription();
        }
    }
    if (copied && !m_database.CommitTransaction()) {
        copied = false;
        m_lastError = m_database.GetErrorDescription();
    }
    if (!copied) {
        m_database.RollbackTransaction();
        m_copied.clear();
    }
    m_database.Execute(std::string("DETACH DATABASE ") + kSourceSchema);
    return copied ? Result::Done : Result::Failed;
}

} // namespace telvora
