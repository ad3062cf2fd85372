#include "db/ADODataBase.h"

#include "db/ADORecordset.h"
#include "db/PreparedStatement.h"
#include "db/SqlText.h"
#include "support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace telvora {
namespace {

namespace fs = std::filesystem;

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

class DataBaseTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_path = m_dir.file("work.db");
        ASSERT_TRUE(m_database.OpenOrCreate(m_path)) << m_database.GetLastError();
        ASSERT_TRUE(m_database.Execute("CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT UNIQUE)"));
    }

    long long count(CADODataBase& database, const std::string& table = "t")
    {
        CADORecordset recordset(&database);
        long value = -1;
        if (!recordset.Open("SELECT COUNT(*) FROM " + table) || !recordset.GetFieldValue(0, value)) {
            return -1;
        }
        return value;
    }

    std::string pragma(const std::string& name)
    {
        CADORecordset recordset(&m_database);
        std::string value;
        recordset.Open("PRAGMA " + name);
        recordset.GetFieldValue(0, value);
        return value;
    }

    test::TempDir m_dir;
    std::string m_path;
    CADODataBase m_database;
};

TEST_F(DataBaseTest, EveryOpenSetsWalBusyTimeoutAndNoForeignKeys)
{
    ASSERT_TRUE(m_database.Open(m_path));
    EXPECT_EQ(pragma("journal_mode"), "wal");
    EXPECT_EQ(pragma("foreign_keys"), "0");
    EXPECT_EQ(pragma("busy_timeout"), "5000");
}

TEST_F(DataBaseTest, ExecuteTouchingNoRowSucceedsWithZeroAffected)
{
    ASSERT_TRUE(m_database.Execute("INSERT INTO t (name) VALUES ('a')"));
    EXPECT_EQ(m_database.GetRecordsAffected(), 1);
    ASSERT_TRUE(m_database.Execute("DELETE FROM t WHERE id = 12345"));
    EXPECT_EQ(m_database.GetRecordsAffected(), 0);
    ASSERT_TRUE(m_database.Execute("CREATE TABLE u (x INTEGER)"));
    EXPECT_EQ(m_database.GetRecordsAffected(), 0);
}

TEST_F(DataBaseTest, ExecuteRunsSeveralStatementsAndAddsTheirCounts)
{
    ASSERT_TRUE(m_database.Execute("INSERT INTO t (name) VALUES ('a'), ('b'), ('c');\n"
                                   "-- a comment between\n"
                                   "UPDATE t SET name = name || '!' WHERE id < 3;  "));
    EXPECT_EQ(m_database.GetRecordsAffected(), 5);
}

TEST_F(DataBaseTest, AffectedCountIsNotCutTo16Bits)
{
    ASSERT_TRUE(m_database.Execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 70000) "
                                   "INSERT INTO t (name) SELECT 'n' || i FROM n"));
    EXPECT_EQ(m_database.GetRecordsAffected(), 70000);
}

TEST_F(DataBaseTest, FailureKeepsTheReportAndLeavesTheConnectionUsable)
{
    EXPECT_FALSE(m_database.Execute("DELETE FROM nope"));
    EXPECT_EQ(m_database.GetLastErrorCode(), 1);
    EXPECT_EQ(m_database.GetErrorDescription(), "no such table: nope");
    EXPECT_EQ(m_database.GetLastError(),
        "Connection String = " + m_path
            + "\nCADODataBase Error\n\tCode = 00000001\n\tCode meaning = SQL logic error\n\tSource = SQLite\n"
              "\tDescription = no such table: nope\n");
    EXPECT_TRUE(m_database.IsOpen());
    EXPECT_TRUE(m_database.Execute("INSERT INTO t (name) VALUES ('x')"));
}

TEST_F(DataBaseTest, UniqueViolationFailsWithConstraintCode)
{
    ASSERT_TRUE(m_database.Execute("INSERT INTO t (name) VALUES ('13800000000')"));
    EXPECT_FALSE(m_database.Execute("INSERT INTO t (name) VALUES ('13800000000')"));
    EXPECT_EQ(m_database.GetLastErrorCode(), 19);
    EXPECT_NE(
        m_database.GetLastError().find("\tCode = 00000013\n\tCode meaning = constraint failed\n"), std::string::npos);
    EXPECT_EQ(count(m_database), 1);
}

TEST_F(DataBaseTest, ApostrophesAreStoredIntactThroughSqlQuote)
{
    const std::string text = "O'Brien's \"shop\" ''x'' 张三'";
    EXPECT_EQ(SqlEscape("it's"), "it''s");
    EXPECT_EQ(SqlQuote("''"), "''''''");
    ASSERT_TRUE(m_database.Execute("INSERT INTO t (name) VALUES (" + SqlQuote(text) + ")"));
    CADORecordset recordset(&m_database);
    ASSERT_TRUE(recordset.Open("SELECT name FROM t WHERE name = '" + SqlEscape(text) + "'"));
    ASSERT_EQ(recordset.GetRecordCount(), 1);
    std::string stored;
    recordset.GetFieldValue("name", stored);
    EXPECT_EQ(stored, text);
}

TEST_F(DataBaseTest, EmptyConnectionStringReopensTheLast)
{
    m_database.Close();
    EXPECT_FALSE(m_database.IsOpen());
    ASSERT_TRUE(m_database.Open(""));
    EXPECT_TRUE(m_database.IsOpen());
    EXPECT_EQ(m_database.GetConnectionString(), m_path);
    EXPECT_EQ(count(m_database), 0);

    CADODataBase fresh;
    EXPECT_FALSE(fresh.Open(""));
    EXPECT_FALSE(fresh.IsOpen());
}

TEST_F(DataBaseTest, JetConnectionStringNamesTheFile)
{
    CADODataBase other;
    ASSERT_TRUE(other.Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + m_path + ";Persist Security Info=false;"))
        << other.GetLastError();
    EXPECT_EQ(other.GetDatabasePath(), m_path);
}

TEST_F(DataBaseTest, TransactionsCommitAndRollBack)
{
    ASSERT_TRUE(m_database.BeginTransaction());
    ASSERT_TRUE(m_database.Execute("INSERT INTO t (name) VALUES ('gone')"));
    ASSERT_TRUE(m_database.RollbackTransaction());
    EXPECT_EQ(count(m_database), 0);

    ASSERT_TRUE(m_database.BeginTransaction());
    ASSERT_TRUE(m_database.Execute("INSERT INTO t (name) VALUES ('kept')"));
    EXPECT_EQ(m_database.GetRecordsAffected(), 1);
    ASSERT_TRUE(m_database.CommitTransaction());
    EXPECT_EQ(m_database.GetRecordsAffected(), 1);
    EXPECT_FALSE(m_database.CommitTransaction());
    EXPECT_EQ(count(m_database), 1);
}

TEST_F(DataBaseTest, ClosedDatabaseRefusesWork)
{
    m_database.Close();
    m_database.Close();
    EXPECT_FALSE(m_database.Execute("DELETE FROM t"));
    EXPECT_EQ(m_database.GetErrorDescription(), "the database is not open");
}

class DataBaseFileTest : public testing::Test
{
protected:
    test::TempDir m_dir;
};

TEST_F(DataBaseFileTest, MissingFileFailsAndIsNotCreated)
{
    CADODataBase database;
    const std::string path = m_dir.file("missing.db");
    EXPECT_FALSE(database.Open(path));
    EXPECT_FALSE(database.IsOpen());
    EXPECT_EQ(database.GetLastErrorCode(), 14);
    EXPECT_EQ(
        database.GetLastError().rfind("Connection String = " + path + "\nCADODataBase Error\n\tCode = 0000000e\n", 0),
        0u)
        << database.GetLastError();
    EXPECT_FALSE(fs::exists(path));
}

struct BadFileCase
{
    const char* name;
    std::string bytes;
};

class BadFileTest : public DataBaseFileTest, public testing::WithParamInterface<BadFileCase>
{
};

TEST_P(BadFileTest, OpenFailsAndLeavesTheFileAsItWas)
{
    const std::string path = m_dir.file("bad.db");
    writeFile(path, GetParam().bytes);
    CADODataBase database;
    EXPECT_FALSE(database.Open(path));
    EXPECT_EQ(database.GetLastErrorCode(), 26);
    EXPECT_NE(database.GetLastError().find("\tCode meaning = file is not a database\n"), std::string::npos)
        << database.GetLastError();
    EXPECT_EQ(readFile(path), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Files, BadFileTest,
    testing::Values(BadFileCase {"Text", std::string(4096, 'x')}, BadFileCase {"Empty", std::string()},
        BadFileCase {"ShortHeader", std::string("SQLite format 3\0", 16)}),
    [](const testing::TestParamInfo<BadFileCase>& info) { return info.param.name; });

TEST_F(DataBaseFileTest, TruncatedDatabaseFailsWithoutHarm)
{
    const std::string path = m_dir.file("cut.db");
    {
        CADODataBase database;
        ASSERT_TRUE(database.OpenOrCreate(path));
        ASSERT_TRUE(database.Execute("CREATE TABLE big (id INTEGER PRIMARY KEY, text TEXT);"
                                     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000) "
                                     "INSERT INTO big (text) SELECT printf('%0100d', i) FROM n"));
    }
    ASSERT_FALSE(fs::exists(path + "-wal"));
    const std::string whole = readFile(path);
    const std::string cut = whole.substr(0, whole.size() / 2);
    writeFile(path, cut);

    CADODataBase database;
    bool failed = !database.Open(path);
    if (!failed) {
        CADORecordset recordset(&database);
        failed = !recordset.Open("SELECT SUM(LENGTH(text)) FROM big");
        EXPECT_NE(recordset.GetLastError().find("CADORecordset Error"), std::string::npos);
    }
    EXPECT_TRUE(failed);
    database.Close();
    EXPECT_EQ(readFile(path), cut);
}

// A database whose latest rows live only in the write-ahead log, as a working database
// looks while the program runs.
class WalCopyTest : public DataBaseFileTest
{
protected:
    void SetUp() override
    {
        m_source = m_dir.file("source.db");
        ASSERT_TRUE(m_database.OpenOrCreate(m_source));
        ASSERT_TRUE(m_database.Execute("PRAGMA wal_autocheckpoint=0;"
                                       "CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT);"
                                       "INSERT INTO t (name) VALUES ('it''s'), ('b'), ('c');"));
        ASSERT_GT(fs::file_size(m_source + "-wal"), 0u);
    }

    long long rowsIn(const std::string& path)
    {
        CADODataBase copy;
        CADORecordset recordset(&copy);
        long value = -1;
        if (!copy.Open(path) || !recordset.Open("SELECT COUNT(*) FROM t") || !recordset.GetFieldValue(0, value)) {
            return -1;
        }
        return value;
    }

    std::string m_source;
    CADODataBase m_database;
};

TEST_F(WalCopyTest, CompactIncludesLoggedRows)
{
    const std::string destination = m_dir.file("compact.db");
    std::string error;
    ASSERT_TRUE(CompactDatabase(m_source, destination, error)) << error;
    EXPECT_EQ(rowsIn(destination), 3);
    EXPECT_EQ(fs::status(destination).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(WalCopyTest, CompactRefusesAnExistingDestination)
{
    const std::string destination = m_dir.file("exists.db");
    writeFile(destination, "keep me");
    std::string error;
    EXPECT_FALSE(CompactDatabase(m_source, destination, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readFile(destination), "keep me");
}

TEST_F(WalCopyTest, CompactOfAMissingSourceMakesNothing)
{
    const std::string destination = m_dir.file("none.db");
    EXPECT_FALSE(CompactDatabase(m_dir.file("absent.db"), destination));
    EXPECT_FALSE(fs::exists(destination));
}

TEST_F(WalCopyTest, CopyIncludesLoggedRows)
{
    const std::string destination = m_dir.file("copy.db");
    std::string error;
    ASSERT_TRUE(CopyDatabase(m_source, destination, error)) << error;
    EXPECT_EQ(rowsIn(destination), 3);
}

TEST_F(WalCopyTest, CopyReplacesAnExistingDatabase)
{
    const std::string destination = m_dir.file("old.db");
    {
        CADODataBase old;
        ASSERT_TRUE(old.OpenOrCreate(destination));
        ASSERT_TRUE(old.Execute("CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT);"
                                "CREATE TABLE stale (x);"
                                "INSERT INTO t (name) VALUES ('old');"));
    }
    ASSERT_TRUE(CopyDatabase(m_source, destination));
    EXPECT_EQ(rowsIn(destination), 3);
    CADODataBase copy;
    ASSERT_TRUE(copy.Open(destination));
    EXPECT_FALSE(copy.Execute("DELETE FROM stale"));
}

TEST_F(WalCopyTest, CopyOfAMissingSourceMakesNothing)
{
    const std::string destination = m_dir.file("none.db");
    std::string error;
    EXPECT_FALSE(CopyDatabase(m_dir.file("absent.db"), destination, error));
    EXPECT_NE(error.find("does not exist"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(destination));
}

TEST_F(DataBaseTest, PreparedStatementInsertsManyRowsInOneTransaction)
{
    ASSERT_TRUE(m_database.Execute("CREATE TABLE d (id INTEGER PRIMARY KEY, phone TEXT, at DATETIME, n INTEGER)"));
    CPreparedStatement insert(&m_database);
    ASSERT_TRUE(insert.Prepare("INSERT INTO d (phone, at, n) VALUES (?, ?, ?)")) << insert.GetLastError();
    ASSERT_TRUE(m_database.BeginTransaction());
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(insert.BindText(1, "1380000" + std::to_string(1000 + i)));
        ASSERT_TRUE(i % 2 == 0 ? insert.BindText(2, "2026-1-2 3:4:5") : insert.BindNull(2));
        ASSERT_TRUE(insert.BindInt(3, i));
        ASSERT_TRUE(insert.Execute()) << insert.GetLastError();
        EXPECT_EQ(insert.GetRecordsAffected(), 1);
    }
    ASSERT_TRUE(m_database.CommitTransaction());
    EXPECT_EQ(count(m_database, "d"), 1000);

    CPreparedStatement query(&m_database);
    ASSERT_TRUE(query.Prepare("SELECT TOP 2 phone, at, n FROM d WHERE n >= ? ORDER BY n"));
    ASSERT_TRUE(query.BindInt(1, 998));
    ASSERT_TRUE(query.Step());
    EXPECT_EQ(query.GetText(0), "13800001998");
    EXPECT_EQ(query.GetText(1), "2026-1-2 3:4:5");
    ASSERT_TRUE(query.Step());
    EXPECT_TRUE(query.IsNull(1));
    EXPECT_EQ(query.GetInt(2), 999);
    EXPECT_FALSE(query.Step());
    EXPECT_FALSE(query.HasFailed());
}

TEST_F(DataBaseTest, PreparedStatementReportsFailures)
{
    CPreparedStatement statement(&m_database);
    EXPECT_FALSE(statement.Prepare("INSERT INTO nope VALUES (?)"));
    EXPECT_NE(statement.GetLastError().find("Query = INSERT INTO nope VALUES (?)\nCPreparedStatement Error\n"),
        std::string::npos);
    EXPECT_FALSE(statement.Execute());
    EXPECT_FALSE(statement.BindInt(1, 1));
    EXPECT_FALSE(statement.Prepare("DELETE FROM t; DELETE FROM t"));

    ASSERT_TRUE(statement.Prepare("INSERT INTO t (name) VALUES (?)"));
    EXPECT_FALSE(statement.BindInt(2, 1));
    ASSERT_TRUE(statement.BindText(1, "same"));
    ASSERT_TRUE(statement.Execute());
    EXPECT_FALSE(statement.Execute());
    EXPECT_EQ(statement.GetLastErrorCode(), 19);
    ASSERT_TRUE(statement.BindText(1, "other"));
    EXPECT_TRUE(statement.Execute());
}

} // namespace
} // namespace telvora
