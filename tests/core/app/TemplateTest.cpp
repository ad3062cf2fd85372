// The template database built from schema.sql: the rows every working database starts with.

#include "core/app/AppTestSupport.h"

#include <gtest/gtest.h>
#include <set>

namespace telvora {
namespace {

using TemplateTest = test::WorkDatabaseTest;

TEST_F(TemplateTest, FieldCatalogueHasTheFixedLayout)
{
    CADORecordset rows(&db());
    ASSERT_TRUE(rows.Open("SELECT id, FieldName, FieldType, ValidFlag FROM tbl_field_info ORDER BY id"));
    const char* systemFields[] = {"phone", "name", "title", "sex", "create_date", "status", "memos", "birtyday", "fax",
        "tel", "email", "qq", "company", "post", "addr"};
    int count = 0;
    for (; !rows.IsEOF(); rows.MoveNext()) {
        int id = 0;
        int type = 0;
        std::string field;
        bool valid = false;
        rows.GetFieldValue(0, id);
        rows.GetFieldValue(1, field);
        rows.GetFieldValue(2, type);
        rows.GetFieldValue(3, valid);
        ++count;
        EXPECT_EQ(count, id);
        EXPECT_EQ(id <= 15 ? 1 : id <= 23 ? 2 : 3, type) << id;
        if (id <= 15) {
            EXPECT_EQ(systemFields[id - 1], field);
            EXPECT_TRUE(valid) << field;
        } else if (id >= 24) {
            EXPECT_EQ("custom" + std::to_string(id - 15), field);
        }
        // The column must exist in tbl_card: the card SQL names it directly.
        EXPECT_NE("<error>", test::scalar(db(), "SELECT COUNT(" + field + ") FROM tbl_card")) << field;
    }
    EXPECT_EQ(27, count);
}

TEST_F(TemplateTest, EveryParameterKeyHasARow)
{
    std::set<std::string> keys;
    CADORecordset rows(&db());
    ASSERT_TRUE(rows.Open("SELECT para_name FROM tbl_sys_param"));
    for (; !rows.IsEOF(); rows.MoveNext()) {
        std::string key;
        rows.GetFieldValue(0, key);
        keys.insert(key);
    }
    for (const char* key : {"ServerIP", "Account", "Password", "RememberPwd", "SMSTail", "AddSMSTail", "SaveMaxDay",
             "AutoClear", "AutoSaveDB", "AutoSaveReciver", "SoundIncome", "HideTray", "CheckUpdate", "AutoSendBirth",
             "BirthTitle", "BirthdayTime", "BirthSMSContent", "BirthConfirm", "BirthSendDate", "IsRemainStock",
             "RemainAmount", "User"}) {
        EXPECT_EQ(1u, keys.count(key)) << key;
    }
}

TEST_F(TemplateTest, PresetHolidaysOfTheThreeKinds)
{
    EXPECT_EQ("0", test::scalar(db(), "SELECT COUNT(*) FROM tbl_holiday WHERE Type NOT IN (1, 2, 3)"));
    for (const char* type : {"1", "2", "3"}) {
        EXPECT_NE("0", test::scalar(db(), std::string("SELECT COUNT(*) FROM tbl_holiday WHERE Type = ") + type));
    }
    EXPECT_EQ("2008-08-15 00:00:00", test::scalar(db(), "SELECT holiday FROM tbl_holiday WHERE name = '中秋节'"));
    EXPECT_EQ("2", test::scalar(db(), "SELECT Type FROM tbl_holiday WHERE name = '春节'"));
    EXPECT_EQ("0",
        test::scalar(db(),
            "SELECT COUNT(*) FROM tbl_holiday WHERE content IS NULL OR content = '' "
            "OR strftime('%Y', holiday) <> '2008'"));
}

TEST_F(TemplateTest, PhoneNumbersAreUnique)
{
    ASSERT_TRUE(db().Execute("INSERT INTO tbl_card (id, phone) VALUES (1, '13800000000')"));
    EXPECT_FALSE(db().Execute("INSERT INTO tbl_card (id, phone) VALUES (2, '13800000000')"));
}

} // namespace
} // namespace telvora
