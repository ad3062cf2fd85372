#include "db/ADODataBase.h"

#include "db/ADORecordset.h"
#include "db/PreparedStatement.h"
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

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
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

class DataBaseTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_path = m_dir.file("work.db");
        ASSERT_TRUE(m_database.OpenOrCreate(m_path)) << m_database.GetLastError();
        ASSERT_TRUE(m_database.Execute("CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT UNIQUE)"));
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

struct AffectedCase
{
    const char* name;
    const char* sql;
    int affected;
};

class AffectedTest : public DataBaseTest, public testing::WithParamInterface<AffectedCase>
{
};

TEST_P(AffectedTest, CountsTheRowsTheStatementsTouched)
{
    ASSERT_TRUE(m_database.Execute("INSERT INTO t (name) VALUES ('a'), ('b'), ('c')"));
    ASSERT_TRUE(m_database.Execute(GetParam().sql)) << m_database.GetLastError();
    EXPECT_EQ(m_database.GetRecordsAffected(), GetParam().affected);
}

INSTANTIATE_TEST_SUITE_P(Statements, AffectedTest,
    testing::Values(AffectedCase {"NoRowTouched", "DELETE FROM t WHERE id = 12345", 0},
        AffectedCase {"SchemaChange", "CREATE TABLE u (x INTEGER)", 0},
        AffectedCase {"SeveralStatementsAdd",
            "INSERT INTO t (name) VALUES ('d');\n-- a comment between\nUPDATE t SET name = name || '!' WHERE id < 3;  ",
            3},
        // The old layer cut the count to 16 bits.
        AffectedCase {"MoreThan16Bits",
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 70000) "
            "INSERT INTO t (name) SELECT 'n' || i FROM n",
            70000}),
    [](const testing::TestParamInfo<AffectedCase>& info) { return info.param.name; });

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

TEST(SqlTextTest, DoublesEveryApostrophe)
{
    EXPECT_EQ(SqlEscape("O'Brien's 张三'"), "O''Brien''s 张三''");
    EXPECT_EQ(SqlQuote("''"), "''''''");
    EXPECT_EQ(SqlQuote(""), "''");
}

TEST_F(DataBaseTest, ConnectionStrings)
{
    m_database.Close();
    m_database.Close();
    EXPECT_FALSE(m_database.Execute("DELETE FROM t"));
    EXPECT_EQ(m_database.GetErrorDescription(), "the database is not open");
    ASSERT_TRUE(m_database.Open("")) << "an empty connection string reopens the last";
    EXPECT_EQ(m_database.GetConnectionString(), m_path);
    EXPECT_EQ(count(m_database), 0);

    CADODataBase fresh;
    EXPECT_FALSE(fresh.Open(""));
    ASSERT_TRUE(fresh.Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + m_path + ";Persist Security Info=false;"))
        << fresh.GetLastError();
    EXPECT_EQ(fresh.GetDatabasePath(), m_path);
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

class DataBaseFileTest : public testing::Test
{
protected:
    test::TempDir m_dir;
};

struct BadFileCase
{
    const char* name;
    std::optional<std::string> bytes; // none: no file at all
    int code;
    const char* meaning;
};

class BadFileTest : public DataBaseFileTest, public testing::WithParamInterface<BadFileCase>
{
};

TEST_P(BadFileTest, OpenFailsAndLeavesTheFileAsItWas)
{
    const std::string path = m_dir.file("bad.db");
    if (GetParam().bytes) {
        writeFile(path, *GetParam().bytes);
    }
    CADODataBase database;
    EXPECT_FALSE(database.Open(path));
    EXPECT_FALSE(database.IsOpen());
    EXPECT_EQ(database.GetLastErrorCode(), GetParam().code);
    EXPECT_EQ(database.GetLastError().rfind("Connection String = " + path + "\nCADODataBase Error\n", 0), 0u);
    EXPECT_NE(database.GetLastError().find(GetParam().meaning), std::string::npos) << database.GetLastError();
    if (GetParam().bytes) {
        EXPECT_EQ(readFile(path), *GetParam().bytes);
    } else {
        EXPECT_FALSE(fs::exists(path));
    }
}

INSTANTIATE_TEST_SUITE_P(Files, BadFileTest,
    testing::Values(BadFileCase {"Missing", std::nullopt, 14, "\tCode = 0000000e\n"},
        BadFileCase {"Text", std::string(4096, 'x'), 26, "file is not a database"},
        BadFileCase {"Empty", std::string(), 26, "file is not a database"},
        BadFileCase {"ShortHeader", std::string("SQLite format 3\0", 16), 26, "file is not a database"}),
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
        return copy.Open(path) ? count(copy) : -1;
    }

    std::string m_source;
    CADODataBase m_database;
};

TEST_F(WalCopyTest, CompactAndCopyIncludeLoggedRowsAndMakeNothingFromNothing)
{
    using Copier = bool (*)(const std::string&, const std::string&, std::string&);
    const Copier compact = &CompactDatabase;
    const Copier copy = &CopyDatabase;
    for (const Copier copier : {compact, copy}) {
        const std::string destination = m_dir.file(copier == copy ? "copy.db" : "compact.db");
        std::string error;
        ASSERT_TRUE(copier(m_source, destination, error)) << error;
        EXPECT_EQ(rowsIn(destination), 3);
        EXPECT_EQ(
            fs::status(destination).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

        EXPECT_FALSE(copier(m_dir.file("absent.db"), m_dir.file("none.db"), error));
        EXPECT_NE(error.find("does not exist"), std::string::npos) << error;
        EXPECT_FALSE(fs::exists(m_dir.file("none.db")));
    }
}

TEST_F(DataBaseFileTest, CopiesLeaveTheSourceFileAsItWas)
{
    // Shipped data is in rollback-journal mode and may be read-only: a copy must not
    // switch it to WAL or write to it.
    const std::string source = m_dir.file("shipped.db");
    {
        CADODataBase database;
        ASSERT_TRUE(database.OpenOrCreate(source));
        ASSERT_TRUE(database.Execute("PRAGMA journal_mode=DELETE; CREATE TABLE t (x); INSERT INTO t VALUES (1)"));
    }
    const std::string before = readFile(source);
    ASSERT_TRUE(CopyDatabase(source, m_dir.file("copy.db")));
    ASSERT_TRUE(CompactDatabase(source, m_dir.file("compact.db")));
    EXPECT_EQ(readFile(source), before);
    EXPECT_FALSE(fs::exists(source + "-wal"));
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

TEST_F(DataBaseTest, PreparedStatementInsertsManyRowsInOneTransaction)
{
    ASSERT_TRUE(m_database.Execute("CREATE TABLE d (id INTEGER PRIMARY KEY, phone TEXT, at DATETIME, n INTEGER)"));
    CPreparedStatement insert(&m_database);
    ASSERT_TRUE(insert.Prepare("INSERT INTO d (phone, at, n) VALUES (?, ?, ?)")) << insert.GetLastError();
    ASSERT_TRUE(m_database.BeginTransaction());
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(insert.BindText(1, "13800000" + std::to_string(100 + i)));
        ASSERT_TRUE(i % 2 == 0 ? insert.BindText(2, "2026-1-2 3:4:5") : insert.BindNull(2));
        ASSERT_TRUE(insert.BindInt(3, i));
        ASSERT_TRUE(insert.Execute()) << insert.GetLastError();
        EXPECT_EQ(insert.GetRecordsAffected(), 1);
    }
    ASSERT_TRUE(m_database.CommitTransaction());
    EXPECT_EQ(count(m_database, "d"), 100);

    CPreparedStatement query(&m_database);
    ASSERT_TRUE(query.Prepare("SELECT TOP 2 phone, at, n FROM d WHERE n >= ? ORDER BY n"));
    ASSERT_TRUE(query.BindInt(1, 98));
    ASSERT_TRUE(query.Step());
    EXPECT_EQ(query.GetText(0), "13800000198");
    EXPECT_EQ(query.GetText(1), "2026-1-2 3:4:5");
    ASSERT_TRUE(query.Step());
    EXPECT_TRUE(query.IsNull(1));
    EXPECT_EQ(query.GetInt(2), 99);
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
