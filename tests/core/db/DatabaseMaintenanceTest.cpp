#include "db/DatabaseMaintenance.h"

#include "core/db/DbTestSupport.h"
#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/BackupFile.h"
#include "db/SchemaMigrations.h"
#include "support/TempDir.h"

#include <atomic>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace telvora {
namespace {

namespace fs = std::filesystem;
using Result = CDatabaseMaintenance::Result;
using test::readBytes;
using test::storeBytes;
using test::templatePath;
const auto value = test::scalar;

// One row in every table of every group, each carrying marker, and the login values.
void fill(CADODataBase& database, const std::string& marker, int cards = 1)
{
    const std::string m = "'" + marker + "'";
    ASSERT_TRUE(database.Execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
        + std::to_string(cards) + ") INSERT INTO tbl_card (id, phone, name, birtyday) SELECT i, 13900000999 + i, " + m
        + ", '1980-1-2' FROM n"));
    for (const std::string& sql : std::vector<std::string> {
             "INSERT INTO tbl_card_folder (name) VALUES (" + m + ")",
             "INSERT INTO tbl_card_copy (folder_id, card_id) VALUES (1, 1)",
             "INSERT INTO tbl_sendsms (content, send_time) VALUES (" + m + ", '2026-12-01 10:00:00')",
             "INSERT INTO tbl_sendsms_detail (jobid, phones, content) VALUES ('1', '13900001000', " + m + ")",
             "INSERT INTO tbl_sms_recive (phone, content) VALUES ('13900001000', " + m + ")",
             "INSERT INTO tbl_message (Title, Message) VALUES (" + m + ", " + m + ")",
             "INSERT INTO tbl_message_folder (ClassName) VALUES (" + m + ")",
             "INSERT INTO tbl_calendar_task (Name) VALUES (" + m + ")",
             "DELETE FROM tbl_holiday",
             "INSERT INTO tbl_holiday (name, holiday) VALUES (" + m + ", '2008-01-01')",
         }) {
        ASSERT_TRUE(database.Execute(sql)) << sql << database.GetLastError();
    }
}

// The marker and row count of each table ("-0" when empty), in the order cards, folders,
// sends, details, replies, phrases, phrase groups, tasks, holidays.
std::string markers(CADODataBase& database)
{
    static const char* const columns[][2]
        = {{"tbl_card", "name"}, {"tbl_card_folder", "name"}, {"tbl_sendsms", "content"},
            {"tbl_sendsms_detail", "content"}, {"tbl_sms_recive", "content"}, {"tbl_message", "Title"},
            {"tbl_message_folder", "ClassName"}, {"tbl_calendar_task", "Name"}, {"tbl_holiday", "name"}};
    std::string text;
    for (const auto& [table, column] : columns) {
        text += (text.empty() ? "" : " ")
            + value(database, std::string("SELECT COALESCE(MAX(") + column + "), '-') || COUNT(*) FROM " + table);
    }
    return text;
}

class DatabaseMaintenanceTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CopyDatabase(templatePath(), m_workPath));
        ASSERT_TRUE(m_work.Open(m_workPath)) << m_work.GetLastError();
        fill(m_work, "old");
    }

    // A backup file of this program with every table marked "new".
    std::string makeBackup(const std::string& name = "backup.db", int cards = 2)
    {
        const std::string path = m_dir.file(name);
        EXPECT_TRUE(CopyDatabase(templatePath(), path));
        CADODataBase backup;
        EXPECT_TRUE(backup.Open(path));
        fill(backup, "new", cards);
        return path;
    }

    // A backup changed by the given statements after it was made.
    std::string alteredBackup(const std::string& name, const std::vector<std::string>& statements)
    {
        const std::string path = makeBackup(name);
        CADODataBase backup;
        EXPECT_TRUE(backup.Open(path));
        for (const std::string& sql : statements) {
            EXPECT_TRUE(backup.Execute(sql)) << sql << backup.GetLastError();
        }
        return path;
    }

    CDatabaseMaintenance maintenance(bool sending = false)
    {
        return CDatabaseMaintenance(m_work, templatePath(), [sending] { return sending; });
    }

    test::TempDir m_dir;
    std::string m_workPath = m_dir.file("user.db");
    CADODataBase m_work;
};

struct GroupCase
{
    const char* name;
    std::vector<TableGroup> groups;
    std::string expected;
};

class RestoreGroupTest : public DatabaseMaintenanceTest, public testing::WithParamInterface<GroupCase>
{
};

TEST_P(RestoreGroupTest, ReplacesOnlyTheChosenGroups)
{
    const std::string backup = makeBackup();
    auto restore = maintenance();
    ASSERT_EQ(restore.Restore(backup, GetParam().groups), Result::Done) << restore.GetLastError();
    EXPECT_EQ(markers(m_work), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Groups, RestoreGroupTest,
    testing::Values(GroupCase {"cards", {TableGroup::Cards}, "new2 new1 old1 old1 old1 old1 old1 old1 old1"},
        GroupCase {"records", {TableGroup::Records}, "old1 old1 new1 new1 new1 old1 old1 old1 old1"},
        GroupCase {"phrases", {TableGroup::Phrases}, "old1 old1 old1 old1 old1 new1 new1 old1 old1"},
        GroupCase {"calendar", {TableGroup::Calendar}, "old1 old1 old1 old1 old1 old1 old1 new1 new1"},
        GroupCase {"all", {TableGroup::Cards, TableGroup::Records, TableGroup::Phrases, TableGroup::Calendar},
            "new2 new1 new1 new1 new1 new1 new1 new1 new1"}),
    [](const testing::TestParamInfo<GroupCase>& info) { return std::string(info.param.name); });

TEST_F(DatabaseMaintenanceTest, RestoreKeepsTheTablesOwnRules)
{
    const std::string before
        = value(m_work, "SELECT group_concat(sql, ';') FROM sqlite_master WHERE tbl_name = 'tbl_card'");
    auto restore = maintenance();
    ASSERT_EQ(restore.Restore(makeBackup(), {TableGroup::Cards}), Result::Done) << restore.GetLastError();
    EXPECT_EQ(value(m_work, "SELECT group_concat(sql, ';') FROM sqlite_master WHERE tbl_name = 'tbl_card'"), before);
    EXPECT_EQ(value(m_work, "SELECT birtyday FROM tbl_card WHERE id = 1"), "1980-01-02 00:00:00");
    EXPECT_EQ(value(m_work, "SELECT COUNT(*) FROM tbl_card WHERE name = 'NEW'"), "2"); // NOCASE
    EXPECT_FALSE(m_work.Execute("INSERT INTO tbl_card (id, phone) VALUES (9, '13900001000')")); // unique phone
    ASSERT_EQ(restore.GetCopiedTables().size(), 3u);
    EXPECT_EQ(restore.GetCopiedTables()[0].table, "tbl_card");
    EXPECT_EQ(restore.GetCopiedTables()[0].rows, 2);
}

TEST_F(DatabaseMaintenanceTest, RefusesWhatIsNoUsableBackupAndChangesNothing)
{
    const std::string before = markers(m_work);
    std::vector<std::pair<std::string, std::string>> files;
    files.emplace_back("empty file", storeBytes(m_dir.file("empty.db"), ""));
    {
        const std::string whole = makeBackup("whole.db");
        const std::string bytes = readBytes(whole);
        files.emplace_back("truncated", storeBytes(m_dir.file("cut.db"), bytes.substr(0, bytes.size() / 2)));
        std::string damaged = bytes;
        for (std::size_t i = 4096; i < damaged.size(); i += 7) {
            damaged[i] = static_cast<char>(damaged[i] ^ 0x5a);
        }
        files.emplace_back("damaged pages", storeBytes(m_dir.file("damaged.db"), damaged));
    }
    {
        CADODataBase foreign;
        ASSERT_TRUE(foreign.OpenOrCreate(m_dir.file("foreign.db")));
        ASSERT_TRUE(foreign.Execute("CREATE TABLE tbl_card (id INTEGER PRIMARY KEY, phone TEXT)"));
        ASSERT_TRUE(foreign.Execute("PRAGMA user_version = 1"));
        files.emplace_back("another program's database", m_dir.file("foreign.db"));
    }
    files.emplace_back("newer schema", alteredBackup("newer.db", {"PRAGMA user_version = 999"}));
    files.emplace_back("a group's table missing", alteredBackup("lacking.db", {"DROP TABLE tbl_card_copy"}));
    for (const auto& [what, path] : files) {
        auto restore = maintenance();
        EXPECT_EQ(restore.Restore(path, {TableGroup::Cards}), Result::NotABackup) << what;
        EXPECT_FALSE(restore.GetLastError().empty()) << what;
        EXPECT_EQ(markers(m_work), before) << what;
    }
    // No temporary copy is left behind.
    for (const auto& entry : fs::directory_iterator(m_dir.path())) {
        EXPECT_EQ(entry.path().filename().string().rfind("restore-", 0), std::string::npos) << entry.path();
    }
}

TEST_F(DatabaseMaintenanceTest, AFailureHalfWayLeavesEveryTableAsItWas)
{
    // Two links with one id: the working table's key stops the copy after the cards and
    // folders are already in.
    const std::string backup = alteredBackup("backup.db",
        {"DROP TABLE tbl_card_copy", "CREATE TABLE tbl_card_copy (id INTEGER, folder_id INTEGER, card_id INTEGER)",
            "INSERT INTO tbl_card_copy VALUES (1, 1, 1), (1, 1, 2)"});
    const std::string before = markers(m_work);
    auto restore = maintenance();
    EXPECT_EQ(restore.Restore(backup, {TableGroup::Cards, TableGroup::Records}), Result::Failed);
    EXPECT_NE(restore.GetLastError().find("tbl_card_copy"), std::string::npos) << restore.GetLastError();
    EXPECT_EQ(markers(m_work), before);
    EXPECT_TRUE(restore.GetCopiedTables().empty());
}

TEST_F(DatabaseMaintenanceTest, AProcessKilledDuringTheCopyLeavesTheDatabaseIntact)
{
    const std::string backup = makeBackup("big.db", 20'000);
    const std::string before = markers(m_work);
    m_work.Close();

    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        CADODataBase database;
        if (!database.Open(m_workPath)) {
            ::_exit(1);
        }
        CDatabaseMaintenance restore(database, templatePath());
        // Stop between the groups' tables, the transaction open and the cards written.
        restore.SetTableCopied([&](const CDatabaseMaintenance::CopiedTable& copied) {
            if (copied.table == "tbl_card_folder") {
                (void)!::write(ready[1], "x", 1);
                ::pause();
            }
        });
        restore.Restore(backup, {TableGroup::Cards, TableGroup::Records});
        ::_exit(2);
    }
    ::close(ready[1]);
    char signal = 0;
    ASSERT_EQ(::read(ready[0], &signal, 1), 1) << "the child ended before the copy";
    ::close(ready[0]);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));

    ASSERT_TRUE(m_work.Open(m_workPath));
    EXPECT_EQ(value(m_work, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(markers(m_work), before);
}

TEST_F(DatabaseMaintenanceTest, ABackupRestoresWhatWasThereWhenItWasTaken)
{
    const std::string backupPath = m_dir.file("saved.db");
    // An older file of that name with a log of its own must not bleed into the new backup.
    const std::string stale = makeBackup("saved.db");
    std::ofstream(stale + "-wal", std::ios::binary) << std::string(4096, 'x');
    auto maintain = maintenance(true); // a running send does not stop a backup
    ASSERT_EQ(maintain.Backup(backupPath), Result::Done) << maintain.GetLastError();
    EXPECT_FALSE(fs::exists(backupPath + "-wal"));
    EXPECT_EQ(fs::status(backupPath).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

    const std::string saved = markers(m_work);
    ASSERT_TRUE(m_work.Execute("DELETE FROM tbl_card"));
    ASSERT_TRUE(m_work.Execute("DELETE FROM tbl_message"));
    auto restore = maintenance();
    ASSERT_EQ(restore.Restore(backupPath, {TableGroup::Cards, TableGroup::Phrases}), Result::Done)
        << restore.GetLastError();
    EXPECT_EQ(markers(m_work), saved);
    EXPECT_EQ(maintain.Backup(m_workPath), Result::Failed); // never over the working file
}

TEST_F(DatabaseMaintenanceTest, ABackupTakenDuringWritesHoldsWholeTransactionsOnly)
{
    // A writer like the send worker: each record and its detail rows in one transaction.
    std::mutex mutex;
    std::condition_variable changed;
    int committed = 0;
    std::atomic<bool> stop {false};
    std::thread writer([&] {
        CADODataBase database;
        if (!database.Open(m_workPath)) {
            return;
        }
        for (int record = 100; !stop.load(); ++record) {
            const std::string id = std::to_string(record);
            const bool ok = database.BeginTransaction()
                && database.Execute("INSERT INTO tbl_sendsms (id, success_count) VALUES (" + id + ", 2000)")
                && database.Execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                                    "INSERT INTO tbl_sendsms_detail (group_id, phones) SELECT "
                    + id + ", 13900000000 + i FROM n")
                && database.CommitTransaction();
            const std::lock_guard lock(mutex);
            committed = ok ? committed + 1 : -1000;
            changed.notify_all();
        }
    });
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return committed >= 2 || committed < 0; });
    }
    auto maintain = maintenance(true);
    const Result result = maintain.Backup(m_dir.file("during.db"));
    {
        std::unique_lock lock(mutex);
        const int before = committed;
        changed.wait(lock, [&] { return committed > before + 1 || committed < 0; }); // writes went on
    }
    stop.store(true);
    writer.join();
    ASSERT_EQ(result, Result::Done) << maintain.GetLastError();
    ASSERT_GE(committed, 0);

    CADODataBase backup;
    ASSERT_TRUE(backup.Open(m_dir.file("during.db")));
    EXPECT_GE(std::stoi(value(backup, "SELECT COUNT(*) FROM tbl_sendsms WHERE id >= 100")), 2);
    EXPECT_EQ(value(backup,
                  "SELECT COUNT(*) FROM tbl_sendsms s WHERE success_count <> "
                  "(SELECT COUNT(*) FROM tbl_sendsms_detail d WHERE d.group_id = s.id)"),
        "0")
        << "a record without all its detail rows";
}

TEST_F(DatabaseMaintenanceTest, ResetAndClearingEmptyTheirTablesOnly)
{
    auto maintain = maintenance();
    ASSERT_EQ(maintain.ResetCustomerData(), Result::Done) << maintain.GetLastError();
    EXPECT_EQ(
        value(m_work, "SELECT COUNT(*) FROM tbl_card") + value(m_work, "SELECT COUNT(*) FROM tbl_card_folder"), "00");
    ASSERT_EQ(maintain.ClearSendRecords(), Result::Done) << maintain.GetLastError();
    EXPECT_EQ(markers(m_work), "-0 -0 -0 -0 old1 old1 old1 old1 old1");
}

TEST_F(DatabaseMaintenanceTest, ClearAllDataKeepsTheLoginAsStored)
{
    for (const char* sql : {"UPDATE tbl_sys_param SET para_value = 'acme' WHERE para_name = 'Account'",
             "UPDATE tbl_sys_param SET para_value = 'it''s secret' WHERE para_name = 'Password'",
             "UPDATE tbl_sys_param SET para_value = '1' WHERE para_name = 'RememberPwd'",
             "UPDATE tbl_sys_param SET para_value = '1' WHERE para_name = 'AutoSaveDB'",
             "UPDATE tbl_field_info SET NewName = 'x' WHERE id = 1"}) {
        ASSERT_TRUE(m_work.Execute(sql));
    }
    auto maintain = maintenance();
    ASSERT_EQ(maintain.ClearAllData(), Result::Done) << maintain.GetLastError();
    EXPECT_EQ(value(m_work,
                  "SELECT group_concat(para_value, '|') FROM (SELECT para_value FROM tbl_sys_param WHERE "
                  "para_name IN ('Account', 'Password', 'RememberPwd', 'AutoSaveDB') ORDER BY para_name)"),
        "acme|0|it's secret|1");
    EXPECT_EQ(value(m_work, "SELECT NewName FROM tbl_field_info WHERE id = 1"), "手机");
    EXPECT_EQ(value(m_work, "SELECT COUNT(*) FROM tbl_holiday"), value(m_work, "SELECT 24"));
    EXPECT_EQ(
        value(m_work, "SELECT COUNT(*) FROM tbl_card") + value(m_work, "SELECT COUNT(*) FROM tbl_sms_recive"), "00");
    EXPECT_EQ(value(m_work, "PRAGMA integrity_check"), "ok");
}

TEST_F(DatabaseMaintenanceTest, CompactionShrinksInPlaceAndWaitsForTheSend)
{
    ASSERT_TRUE(m_work.Execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000) "
                               "INSERT INTO tbl_sms_recive (phone, content) SELECT '139', printf('%0500d', i) FROM n"));
    ASSERT_TRUE(m_work.Execute("DELETE FROM tbl_sms_recive"));
    const std::string pages = value(m_work, "PRAGMA page_count");

    for (const bool sending : {true, false}) {
        auto maintain = maintenance(sending);
        EXPECT_EQ(maintain.Compact(), sending ? Result::Busy : Result::Done) << maintain.GetLastError();
        auto clear = maintenance(sending);
        if (sending) {
            EXPECT_EQ(clear.ClearAllData(), Result::Busy);
            EXPECT_EQ(clear.ClearSendRecords(), Result::Busy);
            EXPECT_EQ(clear.Restore(makeBackup(), {TableGroup::Records}), Result::Busy);
        }
    }
    EXPECT_LT(std::stoi(value(m_work, "PRAGMA page_count")), std::stoi(pages) / 4);
    EXPECT_EQ(fs::file_size(m_workPath + "-wal"), 0u);
    EXPECT_EQ(markers(m_work).find("old1 old1 old1"), 0u);
}

TEST_F(DatabaseMaintenanceTest, AnOlderBackupIsUpgradedInTheCopyOnly)
{
    const std::string backup = makeBackup();
    std::vector<SchemaMigration> steps(SchemaMigrations().begin(), SchemaMigrations().end());
    const int next = static_cast<int>(steps.size()) + 2;
    steps.push_back({next, "a later step", "UPDATE tbl_card SET name = 'upgraded'"});

    CBackupFile file(m_dir.path().string(), steps);
    ASSERT_TRUE(file.Prepare(backup, {"tbl_card"})) << file.GetLastError();
    CADODataBase copy;
    ASSERT_TRUE(copy.Open(file.GetCopyPath()));
    EXPECT_EQ(value(copy, "SELECT group_concat(DISTINCT name) FROM tbl_card"), "upgraded");
    EXPECT_EQ(value(copy, "PRAGMA user_version"), std::to_string(next));

    CADODataBase source;
    ASSERT_TRUE(source.OpenReadOnly(backup));
    EXPECT_EQ(value(source, "SELECT group_concat(DISTINCT name) FROM tbl_card"), "new");
    EXPECT_EQ(value(source, "PRAGMA user_version"), std::to_string(next - 1));
}

} // namespace
} // namespace telvora
