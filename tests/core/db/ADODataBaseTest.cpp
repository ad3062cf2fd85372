#include "db/ADODataBase.h"

#include "core/db/DbTestSupport.h"
#include "db/ADORecordset.h"
#include "db/PreparedStatement.h"
#include "db/SqlScript.h"
#include "db/SqlText.h"
#include "support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>

namespace telvora {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::storeBytes;
const auto value = test::scalar;

std::string rowsIn(const std::string& path)
{
    CADODataBase database;
    return database.Open(path) ? value(database, "SELECT COUNT(*) FROM t") : "<error>";
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

    test::TempDir m_dir;
    std::string m_path;
    CADODataBase m_database;
};

TEST_F(DataBaseTest, RecordsAffectedCountsPastSixteenBits)
{
    ASSERT_TRUE(m_database.Execute("INSERT INTO t (name) VALUES ('a'), ('b');\n-- a comment after\n;  "));
    EXPECT_EQ(m_database.GetRecordsAffected(), 2);
    ASSERT_TRUE(m_database.Execute("CREATE TABLE u (x INTEGER)"));
    EXPECT_EQ(m_database.GetRecordsAffected(), 0);
    // The old layer cut the count to 16 bits.
    ASSERT_TRUE(m_database.Execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 70000) "
                                   "INSERT INTO t (name) SELECT 'n' || i FROM n"));
    EXPECT_EQ(m_database.GetRecordsAffected(), 70000);
}

// Text put into SQL must never bring a statement of its own: a second one is refused
// before anything runs, also when it follows blanks, comments or a semicolon.
TEST_F(DataBaseTest, ExecuteRefusesASecondStatementAndRunsNothing)
{
    for (const char* sql : {"INSERT INTO t (name) VALUES ('x'); DELETE FROM t",
             "INSERT INTO t (name) VALUES ('x');;\n-- c\n DELETE FROM t", "; INSERT INTO t (name) VALUES ('x'); DROP t",
             "INSERT INTO t (name) VALUES ('x'); this is no SQL"}) {
        EXPECT_FALSE(m_database.Execute(sql)) << sql;
        EXPECT_EQ(m_database.GetErrorDescription(), "one statement at a time: the text holds a second statement");
    }
    EXPECT_EQ(value(m_database, "SELECT COUNT(*) FROM t"), "0");
    CPreparedStatement statement(&m_database);
    EXPECT_FALSE(statement.Prepare("SELECT 1; SELECT 2"));

    // A script runs statement after statement and stops at the first failure, named.
    EXPECT_FALSE(ExecuteScript(m_database,
        "INSERT INTO t (name) VALUES ('y');\nINSERT INTO nope VALUES (1);\n"
        "INSERT INTO t (name) VALUES ('z');"));
    EXPECT_EQ(m_database.GetErrorDescription(), "no such table: nope in: INSERT INTO nope VALUES (1);");
    EXPECT_EQ(value(m_database, "SELECT group_concat(name) FROM t"), "y");
}

TEST_F(DataBaseTest, FailuresKeepTheReportAndLeaveTheConnectionUsable)
{
    EXPECT_FALSE(m_database.Execute("DELETE FROM nope"));
    EXPECT_EQ(m_database.GetErrorDescription(), "no such table: nope");
    EXPECT_EQ(m_database.GetLastError(),
        "Connection String = " + m_path
            + "\nCADODataBase Error\n\tCode = 00000001\n\tCode meaning = SQL logic error\n\tSource = SQLite\n"
              "\tDescription = no such table: nope\n");
    ASSERT_TRUE(m_database.Execute("INSERT INTO t (name) VALUES ('13800000000')"));
    EXPECT_FALSE(m_database.Execute("INSERT INTO t (name) VALUES ('13800000000')"));
    EXPECT_EQ(m_database.GetLastErrorCode(), 19);
    EXPECT_NE(
        m_database.GetLastError().find("\tCode = 00000013\n\tCode meaning = constraint failed\n"), std::string::npos);
    EXPECT_EQ(value(m_database, "SELECT COUNT(*) FROM t"), "1");
}

TEST(SqlTextTest, DoublesEveryApostrophe)
{
    EXPECT_EQ(SqlEscape("O'Brien's 张三'"), "O''Brien''s 张三''");
    EXPECT_EQ(SqlQuote("''"), "''''''");
}

TEST_F(DataBaseTest, ConnectionStringsAndClosedConnection)
{
    m_database.Close();
    EXPECT_FALSE(m_database.Execute("DELETE FROM t"));
    EXPECT_EQ(m_database.GetErrorDescription(), "the database is not open");
    ASSERT_TRUE(m_database.Open("")) << "an empty connection string reopens the last";
    EXPECT_EQ(m_database.GetConnectionString(), m_path);

    CADODataBase fresh;
    EXPECT_FALSE(fresh.Open(""));
    ASSERT_TRUE(fresh.Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + m_path + ";Persist Security Info=false;"))
        << fresh.GetLastError();
    EXPECT_EQ(fresh.GetDatabasePath(), m_path);
    // Every open switches to WAL with a busy time-out, and leaves foreign keys off.
    EXPECT_EQ(value(fresh, "PRAGMA journal_mode"), "wal");
    EXPECT_EQ(value(fresh, "PRAGMA foreign_keys"), "0");
    EXPECT_EQ(value(fresh, "PRAGMA busy_timeout"), "5000");
}

TEST_F(DataBaseTest, PreparedStatementRebindsAndReportsFailures)
{
    CPreparedStatement statement(&m_database);
    EXPECT_FALSE(statement.Prepare("INSERT INTO nope VALUES (?)"));
    EXPECT_NE(statement.GetLastError().find("Query = INSERT INTO nope VALUES (?)\nCPreparedStatement Error\n"),
        std::string::npos);
    EXPECT_FALSE(statement.Execute());
    EXPECT_FALSE(statement.Prepare("DELETE FROM t; DELETE FROM t"));
    ASSERT_TRUE(statement.Prepare("INSERT INTO t (name) VALUES (?)"));
    EXPECT_FALSE(statement.BindInt(2, 1));
    ASSERT_TRUE(statement.BindText(1, "same") && statement.Execute());
    EXPECT_FALSE(statement.Execute());
    EXPECT_EQ(statement.GetLastErrorCode(), 19);
    ASSERT_TRUE(statement.BindNull(1) && statement.Execute());
    EXPECT_EQ(statement.GetRecordsAffected(), 1);
    EXPECT_EQ(value(m_database, "SELECT COUNT(*) FROM t WHERE name IS NULL"), "1");
}

struct BadFileCase
{
    const char* name;
    std::optional<std::string> bytes; // none: no file at all
    int code;
    const char* meaning;
};

class FileTest : public testing::Test
{
protected:
    test::TempDir m_dir;
};

class BadFileTest : public FileTest, public testing::WithParamInterface<BadFileCase>
{
};

TEST_P(BadFileTest, OpenFailsAndLeavesTheFileAsItWas)
{
    const std::string path = m_dir.file("bad.db");
    if (GetParam().bytes) {
        storeBytes(path, *GetParam().bytes);
    }
    CADODataBase database;
    EXPECT_FALSE(database.Open(path));
    EXPECT_EQ(database.GetLastErrorCode(), GetParam().code);
    EXPECT_EQ(database.GetLastError().rfind("Connection String = " + path + "\nCADODataBase Error\n", 0), 0u);
    EXPECT_NE(database.GetLastError().find(GetParam().meaning), std::string::npos) << database.GetLastError();
    EXPECT_EQ(fs::exists(path), GetParam().bytes.has_value());
    EXPECT_EQ(readBytes(path), GetParam().bytes.value_or(""));
}

INSTANTIATE_TEST_SUITE_P(Files, BadFileTest,
    testing::Values(BadFileCase {"Missing", std::nullopt, 14, "\tCode = 0000000e\n"},
        BadFileCase {"Text", std::string(4096, 'x'), 26, "file is not a database"},
        BadFileCase {"Empty", std::string(), 26, "file is not a database"},
        BadFileCase {"ShortHeader", std::string("SQLite format 3\0", 16), 26, "file is not a database"}),
    [](const testing::TestParamInfo<BadFileCase>& info) { return info.param.name; });

// A database whose latest rows live only in the write-ahead log, as a working database
// looks while the program runs.
class WalCopyTest : public FileTest
{
protected:
    void SetUp() override
    {
        m_source = m_dir.file("source.db");
        ASSERT_TRUE(m_database.OpenOrCreate(m_source));
        ASSERT_TRUE(ExecuteScript(m_database,
            "PRAGMA wal_autocheckpoint=0;"
            "CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT);"
            "INSERT INTO t (name) VALUES ('it''s'), ('b'), ('c');"));
        ASSERT_GT(fs::file_size(m_source + "-wal"), 0u);
    }

    std::string m_source;
    CADODataBase m_database;
};

TEST_F(WalCopyTest, CompactAndCopyIncludeLoggedRowsAndMakeNothingFromNothing)
{
    using Copier = bool (*)(const std::string&, const std::string&, std::string&);
    const Copier copy = &CopyDatabase;
    for (const Copier copier : {Copier {&CompactDatabase}, copy}) {
        const std::string destination = m_dir.file(copier == copy ? "copy.db" : "compact.db");
        std::string error;
        ASSERT_TRUE(copier(m_source, destination, error)) << error;
        EXPECT_EQ(rowsIn(destination), "3");
        EXPECT_EQ(
            fs::status(destination).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_FALSE(copier(m_dir.file("absent.db"), m_dir.file("none.db"), error));
        EXPECT_NE(error.find("does not exist"), std::string::npos) << error;
        EXPECT_FALSE(fs::exists(m_dir.file("none.db")));
    }
}

TEST_F(WalCopyTest, CompactRefusesAnExistingFileWhileCopyReplacesIt)
{
    const std::string kept = m_dir.file("kept.db");
    storeBytes(kept, "keep me");
    std::string error;
    EXPECT_FALSE(CompactDatabase(m_source, kept, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readBytes(kept), "keep me");

    const std::string old = m_dir.file("old.db");
    {
        CADODataBase database;
        ASSERT_TRUE(database.OpenOrCreate(old));
        ASSERT_TRUE(
            ExecuteScript(database, "CREATE TABLE t (name TEXT); CREATE TABLE stale (x); INSERT INTO t VALUES ('a')"));
    }
    ASSERT_TRUE(CopyDatabase(m_source, old));
    EXPECT_EQ(rowsIn(old), "3");
    CADODataBase copy;
    ASSERT_TRUE(copy.Open(old));
    EXPECT_FALSE(copy.Execute("DELETE FROM stale"));
}

TEST_F(FileTest, CopiesLeaveTheSourceFileAsItWas)
{
    // Shipped data is in rollback-journal mode and may be read-only: a copy must not
    // switch it to WAL or write to it.
    const std::string source = m_dir.file("shipped.db");
    {
        CADODataBase database;
        ASSERT_TRUE(database.OpenOrCreate(source));
        ASSERT_TRUE(
            ExecuteScript(database, "PRAGMA journal_mode=DELETE; CREATE TABLE t (x); INSERT INTO t VALUES (1)"));
    }
    const std::string before = readBytes(source);
    ASSERT_TRUE(CopyDatabase(source, m_dir.file("copy.db")));
    ASSERT_TRUE(CompactDatabase(source, m_dir.file("compact.db")));
    EXPECT_EQ(readBytes(source), before);
    EXPECT_FALSE(fs::exists(source + "-wal"));
}

} // namespace
} // namespace telvora
