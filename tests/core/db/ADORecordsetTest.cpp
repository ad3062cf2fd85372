#include "db/ADORecordset.h"

#include "db/ADODataBase.h"
#include "support/TempDir.h"

#include <cstring>
#include <gtest/gtest.h>

namespace telvora {
namespace {

class RecordsetTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_database.OpenOrCreate(m_dir.file("rs.db")));
        ASSERT_TRUE(m_database.Execute(
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

    std::string text(const char* column, const std::string& format = "%Y-%m-%d %H:%M:%S")
    {
        std::string value = "unset";
        EXPECT_TRUE(m_recordset.GetFieldValue(std::string(column), value, format)) << column;
        return value;
    }

    test::TempDir m_dir;
    CADODataBase m_database;
    CADORecordset m_recordset {&m_database};
};

TEST_F(RecordsetTest, WalksAStaticCursor)
{
    EXPECT_EQ(m_recordset.GetRecordCount(), 3);
    EXPECT_EQ(m_recordset.GetFieldCount(), 9);
    int rows = 0;
    while (!m_recordset.IsEOF()) {
        ++rows;
        m_recordset.MoveNext();
    }
    EXPECT_EQ(rows, 3);
    m_recordset.MoveNext();
    EXPECT_TRUE(m_recordset.IsEOF());
    m_recordset.MoveFirst();
    long id = 0;
    EXPECT_TRUE(m_recordset.GetFieldValue(0, id));
    EXPECT_EQ(id, 1);
}

TEST_F(RecordsetTest, IntegersKeepAll32Bits)
{
    int n = 0;
    long big = 0;
    EXPECT_TRUE(m_recordset.GetFieldValue("n", n));
    EXPECT_EQ(n, 70000);
    EXPECT_TRUE(m_recordset.GetFieldValue("big", big));
    EXPECT_EQ(big, 5000000000L);
    moveTo(2);
    EXPECT_TRUE(m_recordset.GetFieldValue("big", n));
    EXPECT_EQ(n, -70000);
}

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
    EXPECT_EQ(text(GetParam().column, GetParam().format), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Columns, RecordsetTextTest,
    testing::Values(TextCase {"Integer", 1, "n", "70000"}, TextCase {"Negative", 3, "n", "-1"},
        TextCase {"BigInteger", 1, "big", "5000000000"}, TextCase {"Text", 1, "label", "one"},
        TextCase {"Date", 1, "at", "2024-02-29 13:14:15"}, TextCase {"DateFormat", 1, "at", "2024/02/29", "%Y/%m/%d"},
        TextCase {"InvalidDate", 3, "at", "Invalid DateTime"}, TextCase {"Yes", 1, "flag", "T"},
        TextCase {"No", 3, "flag", "F"}, TextCase {"Double", 1, "ratio", "2.5"},
        TextCase {"DoubleShortest", 2, "ratio", "0.1"}, TextCase {"Single", 1, "part", "0.3333333333"},
        TextCase {"NullInteger", 2, "n", ""}, TextCase {"NullText", 2, "label", ""},
        TextCase {"NullDate", 2, "at", ""}),
    [](const testing::TestParamInfo<TextCase>& info) { return info.param.name; });

TEST_F(RecordsetTest, NullsReadAsEmptyValuesAndBlobsFail)
{
    moveTo(2);
    int n = 5;
    long l = 5;
    bool flag = true;
    DateTime at = DateTime::now();
    EXPECT_TRUE(m_recordset.GetFieldValue("n", n));
    EXPECT_EQ(n, 0);
    EXPECT_TRUE(m_recordset.GetFieldValue("N", l));
    EXPECT_EQ(l, 0);
    EXPECT_TRUE(m_recordset.GetFieldValue("at", at));
    EXPECT_FALSE(at.valid);
    EXPECT_TRUE(m_recordset.GetFieldValue("flag", flag));
    EXPECT_FALSE(flag);
    std::string value = "unset";
    EXPECT_FALSE(m_recordset.GetFieldValue("blob", value));
    EXPECT_EQ(value, "");
}

TEST_F(RecordsetTest, DatesAndYesNoValues)
{
    DateTime at;
    bool flag = false;
    EXPECT_TRUE(m_recordset.GetFieldValue("at", at));
    EXPECT_EQ(at, DateTime::fromFields(2024, 2, 29, 13, 14, 15));
    EXPECT_TRUE(m_recordset.GetFieldValue("flag", flag));
    EXPECT_TRUE(flag);
    EXPECT_FALSE(m_recordset.GetFieldValue("label", at));
    moveTo(3);
    EXPECT_FALSE(m_recordset.GetFieldValue("at", at));
    EXPECT_FALSE(at.valid);
    EXPECT_TRUE(m_recordset.GetFieldValue("flag", flag));
    EXPECT_FALSE(flag);
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
    moveTo(4);
    EXPECT_FALSE(m_recordset.GetFieldValue(0, value));
    int number = 0;
    EXPECT_FALSE(m_recordset.GetFieldValue("label", number));
}

TEST_F(RecordsetTest, FieldInfoDescribesColumns)
{
    CADOFieldInfo info;
    ASSERT_TRUE(m_recordset.GetFieldInfo(1, info));
    EXPECT_STREQ(info.m_strName, "n");
    EXPECT_EQ(info.m_nType, CADORecordset::typeInteger);
    EXPECT_EQ(info.m_lDefinedSize, 4);
    EXPECT_EQ(info.m_lSize, 4);
    ASSERT_TRUE(m_recordset.GetFieldInfo(3, info));
    EXPECT_EQ(info.m_nType, CADORecordset::typeVarWChar);
    EXPECT_EQ(info.m_lSize, 3);
    ASSERT_TRUE(m_recordset.GetFieldInfo(4, info));
    EXPECT_EQ(info.m_nType, CADORecordset::typeDate);
    ASSERT_TRUE(m_recordset.GetFieldInfo(5, info));
    EXPECT_EQ(info.m_nType, CADORecordset::typeBoolean);
    ASSERT_TRUE(m_recordset.GetFieldInfo(6, info));
    EXPECT_EQ(info.m_nType, CADORecordset::typeDouble);
    EXPECT_FALSE(m_recordset.GetFieldInfo(9, info));
    EXPECT_EQ(info.m_nType, 0);
}

TEST_F(RecordsetTest, FieldInfoCutsLongNamesToFit)
{
    CADORecordset recordset(&m_database);
    ASSERT_TRUE(
        recordset.Open("SELECT 1 AS abcdefghijklmnopqrstuvwxyz0123456789, '是' AS 发送状态发送状态发送状态发送状态"));
    CADOFieldInfo info;
    ASSERT_TRUE(recordset.GetFieldInfo(0, info));
    EXPECT_STREQ(info.m_strName, "abcdefghijklmnopqrstuvwxyz012");
    EXPECT_EQ(info.m_nType, CADORecordset::typeInteger);
    ASSERT_TRUE(recordset.GetFieldInfo(1, info));
    EXPECT_STREQ(info.m_strName, "发送状态发送状态发"); // 27 bytes: a tenth character would not fit
    EXPECT_EQ(info.m_nType, CADORecordset::typeVarWChar);
}

struct OpenCase
{
    const char* name;
    const char* sql;
    int option;
    bool opens;
    int rows;
};

class RecordsetOpenTest : public RecordsetTest, public testing::WithParamInterface<OpenCase>
{
};

TEST_P(RecordsetOpenTest, OpensByOption)
{
    CADORecordset recordset(&m_database);
    EXPECT_EQ(recordset.Open(GetParam().sql, GetParam().option), GetParam().opens) << recordset.GetLastError();
    EXPECT_EQ(recordset.IsOpen(), GetParam().opens);
    EXPECT_EQ(recordset.GetRecordCount(), GetParam().rows);
    EXPECT_EQ(recordset.IsEOF(), GetParam().rows == 0);
}

INSTANTIATE_TEST_SUITE_P(Options, RecordsetOpenTest,
    testing::Values(OpenCase {"BlanksAndCapitals", "   SELECT id FROM v", 0, true, 3},
        OpenCase {"TabsAndNewlines", "\t\n select id from v", 0, true, 3},
        OpenCase {"Query", "SELECT id FROM v WHERE id = 2", 1, true, 1}, OpenCase {"Table", "v", 2, true, 3},
        OpenCase {"MissingTable", "nope", 2, false, 0},
        OpenCase {"StoredProcedureText", "SELECT id FROM v WHERE id < 3", 3, true, 2},
        OpenCase {"UnknownOption", "SELECT id FROM v", 4, false, 0},
        OpenCase {"NegativeOption", "SELECT id FROM v", -1, false, 0},
        OpenCase {"TwoStatements", "SELECT id FROM v; DELETE FROM v", 0, false, 0},
        OpenCase {"TrailingSemicolon", "SELECT id FROM v;", 0, true, 3},
        OpenCase {"SyntaxError", "SELEC id FROM v", 0, false, 0},
        OpenCase {"EmptyResult", "SELECT id FROM v WHERE id > 100", 0, true, 0}),
    [](const testing::TestParamInfo<OpenCase>& info) { return info.param.name; });

TEST_F(RecordsetTest, OpenTrimsTheQueryAndEmptyReruns)
{
    CADORecordset recordset(&m_database);
    ASSERT_TRUE(recordset.Open("  SELECT COUNT(*) FROM v"));
    EXPECT_EQ(recordset.GetQuery(), "SELECT COUNT(*) FROM v");
    ASSERT_TRUE(m_database.Execute("DELETE FROM v WHERE id = 1"));
    ASSERT_TRUE(recordset.Open());
    int rows = 0;
    EXPECT_TRUE(recordset.GetFieldValue(0, rows));
    EXPECT_EQ(rows, 2);
}

TEST_F(RecordsetTest, FailedOpenKeepsTheRecordsetReport)
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

    CADODataBase closed;
    CADORecordset orphan(&closed);
    EXPECT_FALSE(orphan.Open("SELECT 1"));
}

} // namespace
} // namespace telvora
