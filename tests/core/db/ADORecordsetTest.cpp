#include "db/ADORecordset.h"

#include "db/ADODataBase.h"
#include "db/SqlScript.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace telvora {
namespace {

class RecordsetTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_database.OpenOrCreate(m_dir.file("rs.db")));
        ASSERT_TRUE(ExecuteScript(m_database,
            "CREATE TABLE v (id INTEGER PRIMARY KEY, n INTEGER, big INTEGER, label TEXT, at DATETIME, flag BIT,"
            " ratio DOUBLE, part SINGLE, blob BLOB);"
            "INSERT INTO v VALUES (1, 70000, 5000000000, 'one', '2024-02-29 13:14:15', 1, 2.5, 0.333333333333333, "
            "NULL);"
            "INSERT INTO v VALUES (2, NULL, -70000, NULL, NULL, NULL, 0.1, NULL, x'00ff');"
            "INSERT INTO v VALUES (3, -1, 0, '', 'someday', 0, NULL, NULL, NULL);"));
        ASSERT_TRUE(m_recordset.Open("SELECT * FROM v ORDER BY id")) << m_recordset.GetLastError();
    }

    void moveTo(int row)
    {
        m_recordset.MoveFirst();
        for (int i = 1; i < row; ++i) {
            m_recordset.MoveNext();
        }
    }

    test::TempDir m_dir;
    CADODataBase m_database;
    CADORecordset m_recordset {&m_database};
};

struct TextCase
{
    const char* name;
    int row;
    const char* column;
    const char* expected;
    const char* format = "%Y-%m-%d %H:%M:%S";
};

class RecordsetTextTest : public RecordsetTest, public testing::WithParamInterface<TextCase>
{
};

TEST_P(RecordsetTextTest, ConvertsToText)
{
    moveTo(GetParam().row);
    std::string value = "unset";
    EXPECT_TRUE(m_recordset.GetFieldValue(std::string(GetParam().column), value, GetParam().format));
    EXPECT_EQ(value, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Columns, RecordsetTextTest,
    testing::Values(TextCase {"DateFormat", 1, "at", "2024/02/29", "%Y/%m/%d"},
        TextCase {"InvalidDate", 3, "at", "Invalid DateTime"}, TextCase {"Yes", 1, "flag", "T"},
        TextCase {"No", 3, "flag", "F"}, TextCase {"DoubleShortest", 2, "ratio", "0.1"},
        TextCase {"Single", 1, "part", "0.3333333333"}, TextCase {"NullDate", 2, "at", ""}),
    [](const testing::TestParamInfo<TextCase>& info) { return info.param.name; });

// Integers keep all 32 bits (and longs 64); NULLs read as empty values; bad dates or blobs fail.
TEST_F(RecordsetTest, FieldsReadAsTheirTypes)
{
    int n = 0;
    long big = 0;
    EXPECT_TRUE(m_recordset.GetFieldValue("n", n) && m_recordset.GetFieldValue("big", big));
    EXPECT_EQ(n, 70000);
    EXPECT_EQ(big, 5000000000L);
    DateTime at;
    EXPECT_TRUE(m_recordset.GetFieldValue("at", at));
    EXPECT_EQ(at, DateTime::fromFields(2024, 2, 29, 13, 14, 15));
    EXPECT_FALSE(m_recordset.GetFieldValue("label", at));
    moveTo(2);
    EXPECT_TRUE(m_recordset.GetFieldValue("big", n));
    EXPECT_EQ(n, -70000);
    n = 5;
    long l = 5;
    bool flag = true;
    EXPECT_TRUE(m_recordset.GetFieldValue("n", n) && m_recordset.GetFieldValue("N", l));
    EXPECT_EQ(n + l, 0);
    EXPECT_TRUE(m_recordset.GetFieldValue("at", at));
    EXPECT_FALSE(at.valid);
    EXPECT_TRUE(m_recordset.GetFieldValue("flag", flag));
    EXPECT_FALSE(flag);
    std::string value = "unset";
    EXPECT_FALSE(m_recordset.GetFieldValue("blob", value));
    EXPECT_EQ(value, "");
    moveTo(3);
    EXPECT_FALSE(m_recordset.GetFieldValue("at", at));
    EXPECT_FALSE(m_recordset.GetFieldValue("label", flag));
}

TEST_F(RecordsetTest, BadColumnsAndEndOfSetFailWithAReport)
{
    long value = 9;
    EXPECT_FALSE(m_recordset.GetFieldValue("missing", value));
    EXPECT_EQ(value, 0);
    EXPECT_EQ(m_recordset.GetLastError(),
        "Query = SELECT * FROM v ORDER BY id\nCADORecordset Error\n\tCode = 00000019\n"
        "\tCode meaning = column index out of range\n\tSource = CADORecordset\n"
        "\tDescription = no column named 'missing'\n");
    EXPECT_FALSE(m_recordset.GetFieldValue(9, value));
    EXPECT_FALSE(m_recordset.GetFieldValue(-1, value));
    int number = 0;
    EXPECT_FALSE(m_recordset.GetFieldValue("label", number));
    moveTo(4);
    m_recordset.MoveNext();
    EXPECT_TRUE(m_recordset.IsEOF());
    EXPECT_FALSE(m_recordset.GetFieldValue(0, value));
}

TEST_F(RecordsetTest, OpenTakesOneStatementAndKeepsTheReportOfAFailure)
{
    CADORecordset recordset(&m_database);
    EXPECT_FALSE(recordset.Open("SELECT x FROM nope"));
    EXPECT_EQ(recordset.GetLastErrorCode(), 1);
    EXPECT_EQ(recordset.GetLastError(),
        "Query = SELECT x FROM nope\nCADORecordset Error\n\tCode = 00000001\n"
        "\tCode meaning = SQL logic error\n\tSource = SQLite\n"
        "\tDescription = no such table: nope\n");
    EXPECT_FALSE(recordset.IsOpen());
    EXPECT_TRUE(recordset.IsEOF());
    EXPECT_FALSE(recordset.Open("SELECT id FROM v", 4)) << "an unknown option";
    EXPECT_FALSE(recordset.Open("SELECT id FROM v; DELETE FROM v"));
    ASSERT_TRUE(recordset.Open("\t\n select id from v WHERE id > 1;")) << recordset.GetLastError();
    EXPECT_EQ(recordset.GetRecordCount(), 2);
    ASSERT_TRUE(recordset.Open("v", CADORecordset::openTable));
    EXPECT_EQ(recordset.GetRecordCount(), 3);
    CADODataBase closed;
    EXPECT_FALSE(CADORecordset(&closed).Open("SELECT 1"));
}

// Counts the rows SQLite has produced, to see how far a cursor has read.
void countRow(sqlite3_context* context, int, sqlite3_value** argv)
{
    ++*static_cast<int*>(sqlite3_user_data(context));
    sqlite3_result_value(context, argv[0]);
}

TEST_F(RecordsetTest, ForwardOnlyReadsRowsAsTheCallerMoves)
{
    ASSERT_TRUE(m_database.Execute("CREATE TABLE card (id INTEGER PRIMARY KEY, name TEXT)"));
    ASSERT_TRUE(m_database.Execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
                                   "INSERT INTO card SELECT i, 'name' || i FROM n"));
    int produced = 0;
    ASSERT_EQ(sqlite3_create_function(
                  m_database.GetActiveConnection(), "counted", 1, SQLITE_UTF8, &produced, countRow, nullptr, nullptr),
        SQLITE_OK);

    CADORecordset cards(&m_database);
    ASSERT_TRUE(cards.Open(
        "SELECT id, counted(name) FROM card ORDER BY id", CADORecordset::openUnknown, CADORecordset::cursorForwardOnly))
        << cards.GetLastError();
    int shown = 0;
    for (; shown < 1000 && !cards.IsEOF(); ++shown, cards.MoveNext()) {
        long id = 0;
        std::string name;
        ASSERT_TRUE(cards.GetFieldValue(0, id) && cards.GetFieldValue(1, name));
        ASSERT_EQ(name, "name" + std::to_string(id));
    }
    EXPECT_EQ(shown, 1000);
    EXPECT_EQ(produced, 1001) << "the first thousand rows and the one the cursor stands on";
    EXPECT_FALSE(cards.HasFailed());

    produced = 0;
    ASSERT_TRUE(cards.Open("SELECT id, counted(name) FROM card ORDER BY id"));
    EXPECT_EQ(produced, 100000) << "the static cursor, still the default, reads everything";
}

TEST_F(RecordsetTest, ForwardOnlyCountsRunsAgainAndStopsAtAFailure)
{
    CADORecordset rows(&m_database);
    ASSERT_TRUE(rows.Open(
        "SELECT id, label, at FROM v ORDER BY id", CADORecordset::openUnknown, CADORecordset::cursorForwardOnly));
    EXPECT_EQ(rows.GetRecordCount(), 3);
    std::vector<std::string> seen;
    for (int pass = 0; pass < 2; ++pass, rows.MoveFirst()) {
        for (; !rows.IsEOF(); rows.MoveNext()) {
            rows.GetFieldValue("label", seen.emplace_back());
        }
    }
    EXPECT_EQ(seen, (std::vector<std::string> {"one", "", "", "one", "", ""}));
    CADOFieldInfo info;
    ASSERT_TRUE(rows.GetFieldInfo(2, info));
    EXPECT_EQ(info.m_nType, CADORecordset::typeDate);

    // The third row cannot be computed: the end comes early and says why.
    ASSERT_TRUE(rows.Open(
        "SELECT id, CDATE(at) FROM v ORDER BY id", CADORecordset::openUnknown, CADORecordset::cursorForwardOnly))
        << rows.GetLastError();
    rows.MoveNext();
    ASSERT_FALSE(rows.IsEOF());
    rows.MoveNext();
    EXPECT_TRUE(rows.IsEOF());
    EXPECT_TRUE(rows.HasFailed());
    EXPECT_NE(rows.GetLastError().find("CDATE: not a date: 'someday'"), std::string::npos) << rows.GetLastError();
    EXPECT_FALSE(CADORecordset(&m_database).Open("SELECT id, CDATE(at) FROM v ORDER BY id"));
}

} // namespace
} // namespace telvora
