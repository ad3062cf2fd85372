// The columns of a fresh copy of the real template, written with the SQL texts the program
// uses: their triggers keep dates and yes/no values in the forms the queries expect.

#include "core/db/DbTestSupport.h"
#include "db/SqlScript.h"
#include "db/SqlText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <vector>

namespace telvora {
namespace {

const std::string kPhone = "13800138000";

class WorkingDatabaseTest : public testing::Test
{
protected:
    void SetUp() override
    {
        const std::string path = m_dir.file("work.db");
        std::string error;
        ASSERT_TRUE(CopyDatabase(test::templatePath(), path, error)) << error;
        ASSERT_TRUE(m_database.Open(path)) << m_database.GetLastError();
        ASSERT_TRUE(ExecuteScript(m_database, R"(
            INSERT INTO tbl_card (id, folder_id, phone, name, birtyday, isll)
              VALUES (1, 3, '13800138000', 'O''Brien 张三''s', CDATE('2024-2-29'), 0),
                     (2, 3, '13900139000', '李四', NULL, 1), (3, 4, '13600136000', '王五', CDATE('1990-1-7'), 1);
            INSERT INTO tbl_sendsms (id, content, send_time, send_mode, is_idle) VALUES (100, 'x', '2026-3-5 9:05:00', 1, 0);
        )")) << m_database.GetLastError();
    }

    // The first column of every row, as text.
    std::vector<std::string> column(const std::string& sql)
    {
        std::vector<std::string> values;
        CADORecordset recordset(&m_database);
        EXPECT_TRUE(recordset.Open(sql)) << recordset.GetLastError();
        for (; !recordset.IsEOF(); recordset.MoveNext()) {
            recordset.GetFieldValue(0, values.emplace_back());
        }
        return values;
    }

    test::TempDir m_dir;
    CADODataBase m_database;
};

TEST_F(WorkingDatabaseTest, StoredValuesReadBackAsTheProgramExpects)
{
    // Leap-day birthdays are found by month and day; lunar ones by their own date.
    EXPECT_EQ(column("SELECT phone FROM tbl_card WHERE (FORMAT(birtyday, 'mmdd') = '0229' AND isLL=FALSE) OR "
                     "( FORMAT(birtyday, 'mmdd') = '0107' AND isLL=TRUE) ORDER BY id"),
        (std::vector<std::string> {kPhone, "13600136000"}));
    // Date texts without leading zeros are stored in the one sortable form.
    EXPECT_EQ(
        column("SELECT send_time FROM tbl_sendsms WHERE id = 100"), std::vector<std::string> {"2026-03-05 09:05:00"});
    EXPECT_EQ(column("SELECT name FROM tbl_card WHERE name like '%" + SqlEscape("Brien 张三'") + "%'"),
        std::vector<std::string> {"O'Brien 张三's"});
}

// A value written into a column, and what the column then holds ("<error>": refused).
struct ColumnWrite
{
    const char* name;
    const char* value;
    const char* stored;
};

std::string writeName(const testing::TestParamInfo<ColumnWrite>& info)
{
    return info.param.name;
}

class DateColumnTest : public WorkingDatabaseTest, public testing::WithParamInterface<ColumnWrite>
{
};

// By INSERT and by UPDATE alike; a refused value fails the statement and changes nothing.
TEST_P(DateColumnTest, KeepsDatesInTheStoredFormAndRefusesTheRest)
{
    const std::string value = GetParam().value;
    const bool refused = GetParam().stored == std::string("<error>");
    EXPECT_EQ(!refused,
        m_database.Execute("INSERT INTO tbl_holiday (id, name, holiday, Type) VALUES (600, 'h', " + value + ", 4)"));
    EXPECT_EQ(!refused, m_database.Execute("UPDATE tbl_card SET birtyday = " + value + " WHERE id = 1"));
    const std::string stored = refused ? "2024-02-29 00:00:00" : GetParam().stored;
    EXPECT_EQ(
        column("SELECT IFNULL(birtyday, '<NULL>') FROM tbl_card WHERE id = 1"), std::vector<std::string> {stored});
    EXPECT_EQ(column("SELECT IFNULL(holiday, '<NULL>') FROM tbl_holiday WHERE id = 600"),
        refused ? std::vector<std::string> {} : std::vector<std::string> {stored});
}

INSTANTIATE_TEST_SUITE_P(Values, DateColumnTest,
    testing::Values(ColumnWrite {"Dotted", "'2024.2.29'", "2024-02-29 00:00:00"},
        ColumnWrite {"Chinese", "'2026年3月5日 下午9:05'", "2026-03-05 21:05:00"},
        ColumnWrite {"Cdate", "CDATE('12/6/2026 9:05 PM')", "2026-12-06 21:05:00"},
        ColumnWrite {"Null", "NULL", "<NULL>"}, ColumnWrite {"ImpossibleDay", "'2023.2.29'", "<error>"},
        ColumnWrite {"Empty", "''", "<error>"}, ColumnWrite {"SerialText", "'45351'", "<error>"},
        ColumnWrite {"Number", "45351", "<error>"}, ColumnWrite {"Word", "'soon'", "<error>"}),
    writeName);

class YesNoColumnTest : public WorkingDatabaseTest, public testing::WithParamInterface<ColumnWrite>
{
};

TEST_P(YesNoColumnTest, HoldsOneOrZeroOnly)
{
    const std::string value = GetParam().value;
    const bool refused = GetParam().stored == std::string("<error>");
    EXPECT_EQ(!refused,
        m_database.Execute("INSERT INTO tbl_sendsms (id, content, is_idle) VALUES (700, 'x', " + value + ")"));
    EXPECT_EQ(!refused, m_database.Execute("UPDATE tbl_card SET isll = " + value + " WHERE id = 1"));
    const std::string stored = refused ? "0" : GetParam().stored;
    EXPECT_EQ(column("SELECT typeof(isll) || ':' || isll FROM tbl_card WHERE id = 1"),
        std::vector<std::string> {"integer:" + stored});
    EXPECT_EQ(column("SELECT typeof(is_idle) || ':' || is_idle FROM tbl_sendsms WHERE id = 700"),
        refused ? std::vector<std::string> {} : std::vector<std::string> {"integer:" + stored});
    // Every card is then found by exactly one of the two tests the program writes.
    EXPECT_EQ(column("SELECT (SELECT COUNT(*) FROM tbl_card WHERE isLL=TRUE) + (SELECT COUNT(*) FROM tbl_card "
                     "WHERE isLL=FALSE) = COUNT(*) FROM tbl_card"),
        std::vector<std::string> {"1"});
}

INSTANTIATE_TEST_SUITE_P(Values, YesNoColumnTest,
    testing::Values(ColumnWrite {"MinusOne", "-1", "1"}, ColumnWrite {"Two", "2", "1"},
        ColumnWrite {"True", "TRUE", "1"}, ColumnWrite {"False", "FALSE", "0"}, ColumnWrite {"Null", "NULL", "0"},
        ColumnWrite {"Word", "'yes'", "1"}, ColumnWrite {"NumberText", "'-1'", "1"},
        ColumnWrite {"Nonsense", "'maybe'", "<error>"}),
    writeName);

} // namespace
} // namespace telvora
