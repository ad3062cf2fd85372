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

// A named row of a table: what goes in and what must come out.
struct Case
{
    const char* name;
    const char* input;
    const char* expected;
};

std::string caseName(const testing::TestParamInfo<Case>& info)
{
    return info.param.name;
}

class JetFunctionCaseTest : public JetFunctionTest, public testing::WithParamInterface<Case>
{
};

TEST_P(JetFunctionCaseTest, Evaluates)
{
    EXPECT_EQ(eval(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Functions, JetFunctionCaseTest,
    testing::Values(Case {"CdateNormalises", "CDATE('2026-12-6 9:5:3')", "2026-12-06 09:05:03"},
        Case {"CdateGarbage", "CDATE('soon')", "<error>"}, Case {"CdateNull", "CDATE(NULL)", "<NULL>"},
        Case {"CdateSerialNoon", "CDATE(45658.5)", "2025-01-01 12:00:00"},
        Case {"CdateSerialText", "CDATE('45351')", "<error>"},
        // What a date column's trigger stores: the stored form, NULL, or a failed statement.
        Case {"NormdateStoredForm", "NORMDATE('2024-02-29 10:00:00')", "2024-02-29 10:00:00"},
        Case {"NormdateRefusesStoredShape", "NORMDATE('2026-02-30 00:00:00')", "<error>"},
        Case {"IsdateText", "ISDATE('2026/3/5')", "1"}, Case {"IsdateNumber", "ISDATE(45351)", "0"},
        Case {"IsdateNull", "ISDATE(NULL)", "0"},
        // What a yes/no column's trigger stores: 1 or 0 only.
        Case {"YesnoHalf", "YESNO(0.5)", "1"}, Case {"YesnoZero", "YESNO(0)", "0"},
        Case {"YesnoNumberText", "YESNO(' -1 ')", "1"}, Case {"YesnoZeroText", "YESNO('0')", "0"},
        Case {"YesnoWordTrue", "YESNO('True')", "1"}, Case {"YesnoWordNo", "YESNO('no')", "0"},
        Case {"YesnoRefusesEmpty", "YESNO('')", "<error>"}, Case {"Day", "DAY('2024-2-29')", "29"},
        Case {"YearNull", "YEAR(NULL)", "<NULL>"}, Case {"YearInvalid", "YEAR('2026-2-29')", "<NULL>"},
        Case {"FormatNull", "FORMAT(NULL, 'mmdd')", "<NULL>"}, Case {"FormatNonDate", "FORMAT('abc', 'mmdd')", "abc"},
        Case {"SwitchFirstTrue", "SWITCH(1=2, 'a', 2=2, 'b', 3=3, 'c')", "b"},
        Case {"SwitchNoneTrue", "SWITCH(1=2, 'a')", "<NULL>"},
        Case {"SwitchNullCondition", "SWITCH(NULL, 'a', 1, 'b')", "b"},
        Case {"SwitchOddArguments", "SWITCH(1=1)", "<error>"}),
    caseName);

class JetFormatTest : public testing::TestWithParam<Case>
{
};

// 2024-02-09 07:05:03, a Friday: every field distinct and below ten where it can be.
TEST_P(JetFormatTest, FormatsLikeJet)
{
    EXPECT_EQ(FormatJetDate(DateTime::fromFields(2024, 2, 9, 7, 5, 3), GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Patterns, JetFormatTest,
    testing::Values(Case {"MonthDay", "mmdd", "0209"}, Case {"TwoDigitYear", "yy", "24"},
        Case {"Minutes", "yyyy-mm-dd hh:nn", "2024-02-09 07:05"},
        Case {"Seconds", "yyyy-mm-dd hh:nn:ss", "2024-02-09 07:05:03"},
        // Jet reads the last "mm" as the month: it follows minutes, not an hour.
        Case {"MonthAfterMinutes", "yyyy-mm-dd hh:nn:mm", "2024-02-09 07:05:02"},
        Case {"MinutesAfterHour", "hh:mm", "07:05"}, Case {"Unpadded", "m/d/yyyy h:n:s", "2/9/2024 7:5:3"},
        Case {"UpperCase", "YYYY-MM-DD", "2024-02-09"}, Case {"Names", "ddd mmmm", "Fri February"},
        Case {"WeekdayQuarterDayOfYear", "w q y", "6 1 40"}, Case {"Escaped", "yyyy\\mmm", "2024m02"},
        Case {"Quoted", "\"day\" d", "day 9"}, Case {"Empty", "", ""}),
    caseName);

TEST(JetFormatTest, LeapDayAndNullDate)
{
    EXPECT_EQ(FormatJetDate(DateTime::parse("2024-2-29"), "mmdd"), "0229");
    EXPECT_EQ(FormatJetDate(DateTime {}, "mmdd"), "");
}

class JetRewriteTest : public testing::TestWithParam<Case>
{
};

TEST_P(JetRewriteTest, RewritesTop)
{
    EXPECT_EQ(RewriteJetSql(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Statements, JetRewriteTest,
    testing::Values(Case {"Top", "SELECT TOP 500 phone,name FROM tbl_card WHERE folder_id=1 ORDER BY id",
                        "SELECT  phone,name FROM tbl_card WHERE folder_id=1 ORDER BY id LIMIT 500"},
        Case {"LowerCaseDistinct", "select distinct top 3 phone from t", "select distinct  phone from t LIMIT 3"},
        Case {"BothLevels", "SELECT TOP 1 a FROM (SELECT TOP 9 a FROM t)",
            "SELECT  a FROM (SELECT  a FROM t LIMIT 9) LIMIT 1"},
        Case {"BeforeSemicolon", "SELECT TOP 1 a FROM t; SELECT b FROM u", "SELECT  a FROM t LIMIT 1; SELECT b FROM u"},
        Case {"BeforeTrailingComment", "SELECT TOP 1 a FROM t -- first", "SELECT  a FROM t LIMIT 1 -- first"},
        Case {"InsideText", "SELECT 'SELECT TOP 5 x' FROM t", "SELECT 'SELECT TOP 5 x' FROM t"},
        Case {"QuoteInText", "SELECT 'it''s (' FROM t WHERE top = 1", "SELECT 'it''s (' FROM t WHERE top = 1"},
        Case {"BracketName", "SELECT TOP 2 [top] FROM t", "SELECT  [top] FROM t LIMIT 2"},
        Case {"Percent", "SELECT TOP 5 PERCENT a FROM t", "SELECT TOP 5 PERCENT a FROM t"}),
    caseName);

TEST_F(JetFunctionTest, NowIsTheStoredFormOfTheCurrentTime)
{
    const std::string now = eval("Now()");
    EXPECT_TRUE(DateTime::hasStoredForm(now) && DateTime::parse(now).valid) << now;
}

} // namespace
} // namespace telvora
