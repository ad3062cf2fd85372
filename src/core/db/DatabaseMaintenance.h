#pragma once

#include "db/TableGroups.h"

#include <functional>
#include <string>
#include <vector>

namespace telvora {

class CADODataBase;

/// Whole-database operations on a working database: compaction, backups, restoring groups
/// of tables from a backup, resetting them from the template and clearing records.
///
/// Every operation that replaces tables runs in one transaction on the working connection
/// with the source attached, and copies rows into the working database's own tables, so
/// their triggers, collations and unique constraints stay as they are. A failure at any
/// point rolls everything back: the working database is then exactly as it was.
class CDatabaseMaintenance final
{
public:
    enum class Result {
        Done,
        Busy, // a send is running; nothing was done
        NotABackup, // the source is no usable database of this program; nothing changed
        Failed, // nothing changed (see GetLastError)
    };

    struct CopiedTable
    {
        std::string table;
        int rows = 0;
    };

    /// Tells whether a send is running (its worker writes the records through a connection
    /// of its own).
    using SendRunning = std::function<bool()>;
    /// Called after each table is copied, inside the transaction.
    using TableCopied = std::function<void(const CopiedTable&)>;

    /// The text shown when a restore source cannot be used.
    static constexpr const char* kCannotOpenBackup = "无法打开恢复的数据库!";

    /// database is the open working connection; templatePath the template database that
    /// resets start from. sendRunning may be empty (no send can run).
    CDatabaseMaintenance(CADODataBase& database, std::string templatePath, SendRunning sendRunning = {});

    void SetTableCopied(TableCopied observer) { m_tableCopied = std::move(observer); }

    /// Rebuilds the working database in place (VACUUM) and folds its write-ahead log back
    /// into the file. Other connections keep working; refused while a send runs.
    Result Compact();
    /// A consistent, compacted copy of the working database at destination (VACUUM INTO,
    /// while other connections may write). An existing destination is replaced only once
    /// the copy is complete.
    Result Backup(const std::string& destination);
    /// Replaces the tables of the groups with those of the backup at path. A backup of an
    /// older schema is upgraded in a temporary copy first; the file itself is only read.
    Result Restore(const std::string& path, const std::vector<TableGroup>& groups);
    /// The customer-data group as in the template (no cards, no folders).
    Result ResetCustomerData();
    /// Empties the send records and their detail rows; received messages stay.
    Result ClearSendRecords();
    /// Every table as in the template, keeping only the login values of tbl_sys_param
    /// ("Account", "User", "Password", "RememberPwd", "ServerIP"), then compacts.
    Result ClearAllData();

    /// The tables the last restore or reset copied, with their row counts.
    const std::vector<CopiedTable>& GetCopiedTables() const { return m_copied; }
    const std::string& GetLastError() const { return m_lastError; }

private:
    Result fail(Result result, std::string why);
    bool sendRuns() const;
    // Copies the groups' tables from the checked file at path; unusable is the result
    // when the file cannot serve.
    Result copyGroupsFrom(const std::string& path, const std::vector<TableGroup>& groups, Result unusable);
    Result replaceFrom(const std::string& source, const std::vector<std::string>& tables,
        const std::vector<std::string>& keptParameters);
    bool copyTable(const std::string& table);
    bool columnsOf(const std::string& schema, const std::string& table, std::vector<std::string>& columns);
    bool foldLog();

    CADODataBase& m_database;
    std::string m_templatePath;
    SendRunning m_sendRunning;
    TableCopied m_tableCopied;
    std::vector<CopiedTable> m_copied;
    std::string m_lastError;
};

} // namespace telvora
