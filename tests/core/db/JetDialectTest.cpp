#include "db/JetDialect.h"

#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

// Runs one SELECT of an expression on a fresh database and reads the value as text;
// "<NULL>" for NULL and "<error>" when the statement fails.
class JetFunctionTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_database.OpenOrCreate(m_dir.file("dialect.db"))); }

    std::string eval(const std::string& expression)
    {
        CADORecordset recordset(&m_database);
        if (!recordset.Open("SELECT " + expression + " AS v, (" + expression + ") IS NULL AS n")) {
            return "<error>";
        }
        bool isNull = false;
        std::string value;
        recordset.GetFieldValue(1, isNull);
        recordset.GetFieldValue(0, value);
        return isNull ? "<NULL>" : value;
    }

    test::TempDir m_dir;
    CADODataBase m_database;
};

struct EvalCase
{
    const char* name;
    const char* expression;
    const char* expected;
};

class JetFunctionCaseTest : public JetFunctionTest, public testing::WithParamInterface<EvalCase>
{
};

TEST_P(JetFunctionCaseTest, Evaluates)
{
    EXPECT_EQ(eval(GetParam().expression), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Functions, JetFunctionCaseTest,
    testing::Values(EvalCase {"CdateNormalises", "CDATE('2026-12-6 9:5:3')", "2026-12-06 09:05:03"},
        EvalCase {"CdateDateOnly", "CDate('2026-3-1')", "2026-03-01 00:00:00"},
        EvalCase {"CdateLeapDay", "CDATE('2024-2-29')", "2024-02-29 00:00:00"},
        EvalCase {"CdateNoLeapDay", "CDATE('2026-2-29')", "<error>"},
        EvalCase {"CdateGarbage", "CDATE('soon')", "<error>"}, EvalCase {"CdateNull", "CDATE(NULL)", "<NULL>"},
        EvalCase {"CdateSerialDay", "CDATE(45658)", "2025-01-01 00:00:00"},
        EvalCase {"CdateSerialNoon", "CDATE(45658.5)", "2025-01-01 12:00:00"},
        EvalCase {"NormdateRewrites", "NORMDATE('2026-12-6 9:5:3')", "2026-12-06 09:05:03"},
        EvalCase {"NormdateKeepsNonDates", "NORMDATE('not a date')", "not a date"},
        EvalCase {"NormdateKeepsInvalidDay", "NORMDATE('2026-02-30')", "2026-02-30"},
        EvalCase {"NormdateNull", "NORMDATE(NULL)", "<NULL>"}, EvalCase {"NormdateNumber", "NORMDATE(7)", "7"},
        EvalCase {"Year", "YEAR('2024-2-29 1:2:3')", "2024"}, EvalCase {"Month", "MONTH('2024-2-29')", "2"},
        EvalCase {"Day", "DAY('2024-2-29')", "29"}, EvalCase {"Hour", "HOUR('2024-2-29 13:14:15')", "13"},
        EvalCase {"Minute", "MINUTE('2024-2-29 13:14:15')", "14"},
        EvalCase {"Second", "SECOND('2024-2-29 13:14:15')", "15"}, EvalCase {"YearNull", "YEAR(NULL)", "<NULL>"},
        EvalCase {"YearInvalid", "YEAR('2026-2-29')", "<NULL>"},
        EvalCase {"FormatNull", "FORMAT(NULL, 'mmdd')", "<NULL>"},
        EvalCase {"FormatNonDate", "FORMAT('abc', 'mmdd')", "abc"},
        EvalCase {"FormatOfCdate", "FORMAT(CDATE('2026-1-5'), 'yyyy-mm-dd')", "2026-01-05"},
        EvalCase {"SwitchFirstTrue", "SWITCH(1=2, 'a', 2=2, 'b', 3=3, 'c')", "b"},
        EvalCase {"SwitchNoneTrue", "SWITCH(1=2, 'a')", "<NULL>"},
        EvalCase {"SwitchNullCondition", "SWITCH(NULL, 'a', 1, 'b')", "b"},
        EvalCase {"SwitchOddArguments", "SWITCH(1=1)", "<error>"}, EvalCase {"IifBuiltIn", "IIF(1 = 1, 'x', 'y')", "x"},
        EvalCase {"TrueIsOne", "TRUE", "1"}),
    [](const testing::TestParamInfo<EvalCase>& info) { return info.param.name; });

TEST_F(JetFunctionTest, NowIsTheStoredFormOfTheCurrentTime)
{
    const std::string now = eval("Now()");
    EXPECT_TRUE(DateTime::hasStoredForm(now)) << now;
    EXPECT_TRUE(DateTime::parse(now).valid);
}

struct FormatCase
{
    const char* name;
    const char* pattern;
    const char* expected;
};

class JetFormatTest : public testing::TestWithParam<FormatCase>
{
};

// 2024-02-09 07:05:03, a Friday: every field distinct and below ten where it can be.
TEST_P(JetFormatTest, FormatsLikeJet)
{
    const DateTime date = DateTime::fromFields(2024, 2, 9, 7, 5, 3);
    EXPECT_EQ(FormatJetDate(date, GetParam().pattern), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Patterns, JetFormatTest,
    testing::Values(FormatCase {"MonthDay", "mmdd", "0209"}, FormatCase {"Month", "mm", "02"},
        FormatCase {"Day", "dd", "09"}, FormatCase {"Year", "yyyy", "2024"}, FormatCase {"TwoDigitYear", "yy", "24"},
        FormatCase {"Date", "yyyy-mm-dd", "2024-02-09"}, FormatCase {"Minutes", "yyyy-mm-dd hh:nn", "2024-02-09 07:05"},
        FormatCase {"Seconds", "yyyy-mm-dd hh:nn:ss", "2024-02-09 07:05:03"},
        // Jet reads the last "mm" as the month: it follows minutes, not an hour.
        FormatCase {"MonthAfterMinutes", "yyyy-mm-dd hh:nn:mm", "2024-02-09 07:05:02"},
        FormatCase {"MinutesAfterHour", "hh:mm", "07:05"}, FormatCase {"HourMinute", "hh:nn", "07:05"},
        FormatCase {"Unpadded", "m/d/yyyy h:n:s", "2/9/2024 7:5:3"},
        FormatCase {"UpperCase", "YYYY-MM-DD", "2024-02-09"}, FormatCase {"Names", "ddd mmm", "Fri Feb"},
        FormatCase {"LongNames", "dddd mmmm", "Friday February"}, FormatCase {"Weekday", "w", "6"},
        FormatCase {"Quarter", "q", "1"}, FormatCase {"DayOfYear", "y", "40"},
        FormatCase {"Escaped", "yyyy\\mmm", "2024m02"}, FormatCase {"Quoted", "\"day\" d", "day 9"},
        FormatCase {"Empty", "", ""}),
    [](const testing::TestParamInfo<FormatCase>& info) { return info.param.name; });

TEST(JetFormatTest, LeapDayFormatsAsItsMonthAndDay)
{
    EXPECT_EQ(FormatJetDate(DateTime::parse("2024-2-29"), "mmdd"), "0229");
    EXPECT_EQ(FormatJetDate(DateTime {}, "mmdd"), "");
}

struct RewriteCase
{
    const char* name;
    const char* sql;
    const char* expected;
};

class JetRewriteTest : public testing::TestWithParam<RewriteCase>
{
};

TEST_P(JetRewriteTest, RewritesTop)
{
    EXPECT_EQ(RewriteJetSql(GetParam().sql), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Statements, JetRewriteTest,
    testing::Values(RewriteCase {"NoTop", "SELECT phone FROM tbl_card", "SELECT phone FROM tbl_card"},
        RewriteCase {"Top", "SELECT TOP 500 phone,name FROM tbl_card WHERE folder_id=1 ORDER BY id",
            "SELECT  phone,name FROM tbl_card WHERE folder_id=1 ORDER BY id LIMIT 500"},
        RewriteCase {"LowerCase", "select top 5 * from t", "select  * from t LIMIT 5"},
        RewriteCase {"Distinct", "SELECT DISTINCT TOP 3 phone FROM t", "SELECT DISTINCT  phone FROM t LIMIT 3"},
        RewriteCase {"SubSelect", "SELECT * FROM t WHERE id IN (SELECT TOP 2 id FROM u ORDER BY id) ORDER BY id",
            "SELECT * FROM t WHERE id IN (SELECT  id FROM u ORDER BY id LIMIT 2) ORDER BY id"},
        RewriteCase {"BothLevels", "SELECT TOP 1 a FROM (SELECT TOP 9 a FROM t)",
            "SELECT  a FROM (SELECT  a FROM t LIMIT 9) LIMIT 1"},
        RewriteCase {
            "BeforeSemicolon", "SELECT TOP 1 a FROM t; SELECT b FROM u", "SELECT  a FROM t LIMIT 1; SELECT b FROM u"},
        RewriteCase {"BeforeTrailingComment", "SELECT TOP 1 a FROM t -- first", "SELECT  a FROM t LIMIT 1 -- first"},
        RewriteCase {"InsideText", "SELECT 'SELECT TOP 5 x' FROM t", "SELECT 'SELECT TOP 5 x' FROM t"},
        RewriteCase {"QuoteInText", "SELECT 'it''s (' FROM t WHERE top = 1", "SELECT 'it''s (' FROM t WHERE top = 1"},
        RewriteCase {"ColumnNamedTop", "SELECT top FROM t", "SELECT top FROM t"},
        RewriteCase {"BracketName", "SELECT TOP 2 [top] FROM t", "SELECT  [top] FROM t LIMIT 2"},
        RewriteCase {"Percent", "SELECT TOP 5 PERCENT a FROM t", "SELECT TOP 5 PERCENT a FROM t"}),
    [](const testing::TestParamInfo<RewriteCase>& info) { return info.param.name; });

TEST_F(JetFunctionTest, TopRewriteRunsOnSqlite)
{
    ASSERT_TRUE(m_database.Execute("CREATE TABLE t (id INTEGER, name TEXT);"
                                   "INSERT INTO t VALUES (1,'a'),(2,'b'),(3,'b'),(4,'c');"));
    CADORecordset recordset(&m_database);
    ASSERT_TRUE(recordset.Open("SELECT TOP 2 id FROM t ORDER BY id DESC")) << recordset.GetLastError();
    EXPECT_EQ(recordset.GetRecordCount(), 2);
    ASSERT_TRUE(recordset.Open("SELECT DISTINCT TOP 2 name FROM t ORDER BY name")) << recordset.GetLastError();
    EXPECT_EQ(recordset.GetRecordCount(), 2);
    ASSERT_TRUE(recordset.Open("SELECT id FROM t WHERE id IN (SELECT TOP 1 id FROM t ORDER BY id DESC)"));
    int id = 0;
    EXPECT_TRUE(recordset.GetFieldValue(0, id));
    EXPECT_EQ(id, 4);
}

TEST_F(JetFunctionTest, TriggerNormalisesDatesOnlyWhenNeeded)
{
    ASSERT_TRUE(m_database.Execute(
        "CREATE TABLE d (id INTEGER PRIMARY KEY, at DATETIME);"
        "CREATE TRIGGER d_ins AFTER INSERT ON d WHEN NEW.at IS NOT NULL AND NEW.at IS NOT NORMDATE(NEW.at) "
        "BEGIN UPDATE d SET at = NORMDATE(NEW.at) WHERE rowid = NEW.rowid; END;"
        "CREATE TRIGGER d_upd AFTER UPDATE OF at ON d WHEN NEW.at IS NOT NULL AND NEW.at IS NOT NORMDATE(NEW.at) "
        "BEGIN UPDATE d SET at = NORMDATE(NEW.at) WHERE rowid = NEW.rowid; END;"));
    ASSERT_TRUE(m_database.Execute("INSERT INTO d (id, at) VALUES (1, '2026-12-6 9:5:3')"));
    EXPECT_EQ(m_database.GetRecordsAffected(), 1);
    ASSERT_TRUE(m_database.Execute("INSERT INTO d (id, at) VALUES (2, '2024-02-29 00:00:00')"));
    ASSERT_TRUE(m_database.Execute("UPDATE d SET at = '2027-1-2' WHERE id = 2"));
    EXPECT_EQ(m_database.GetRecordsAffected(), 1);

    CADORecordset recordset(&m_database);
    ASSERT_TRUE(recordset.Open("SELECT at FROM d ORDER BY id"));
    std::string value;
    recordset.GetFieldValue(0, value);
    EXPECT_EQ(value, "2026-12-06 09:05:03");
    recordset.MoveNext();
    recordset.GetFieldValue(0, value);
    EXPECT_EQ(value, "2027-01-02 00:00:00");
}

} // namespace
} // namespace telvora
