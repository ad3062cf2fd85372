// The template database built from schema.sql: the rows every working database starts with.

#include "core/app/AppTestSupport.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

class TemplateTest : public test::WorkDatabaseTest
{
protected:
    std::string query(const std::string& sql) { return test::scalar(db(), sql); }
};

TEST_F(TemplateTest, FieldCatalogueHasTheFixedLayout)
{
    EXPECT_EQ("27/27", query("SELECT COUNT(*) || '/' || MAX(id) FROM tbl_field_info"));
    EXPECT_EQ("phone,name,title,sex,create_date,status,memos,birtyday,fax,tel,email,qq,company,post,addr",
        query("SELECT group_concat(FieldName) FROM (SELECT FieldName FROM tbl_field_info WHERE id <= 15 "
              "AND ValidFlag AND FieldType = 1 ORDER BY id)"));
    EXPECT_EQ("0",
        query("SELECT COUNT(*) FROM tbl_field_info WHERE FieldType <> (CASE WHEN id <= 15 THEN 1 WHEN id <= 23 "
              "THEN 2 ELSE 3 END) OR (id >= 24 AND FieldName <> 'custom' || (id - 15))"));
    // The card SQL names every catalogued column directly.
    EXPECT_EQ("0",
        query("SELECT COUNT(*) FROM tbl_field_info WHERE FieldName NOT IN "
              "(SELECT name FROM pragma_table_info('tbl_card'))"));
}

TEST_F(TemplateTest, EveryParameterKeyHasARow)
{
    EXPECT_EQ("23",
        query("SELECT COUNT(DISTINCT para_name) FROM tbl_sys_param WHERE para_name IN ('ServerIP', 'Account', "
              "'Password', 'RememberPwd', 'SMSTail', 'AddSMSTail', 'SaveMaxDay', 'AutoClear', 'AutoSaveDB', "
              "'AutoSaveReciver', 'SoundIncome', 'HideTray', 'CheckUpdate', 'AutoSendBirth', 'BirthTitle', "
              "'BirthdayTime', 'BirthSMSContent', 'BirthConfirm', 'BirthSendDate', 'IsRemainStock', "
              "'RemainAmount', 'User', 'SkipUnsubscribed')"));
}

// Lunar holidays are Type 2; every preset carries its greeting.
TEST_F(TemplateTest, PresetHolidaysOfTheThreeKinds)
{
    EXPECT_EQ("1,2,3", query("SELECT group_concat(Type) FROM (SELECT DISTINCT Type FROM tbl_holiday ORDER BY Type)"));
    EXPECT_EQ("2", query("SELECT Type FROM tbl_holiday WHERE name = '春节'"));
    EXPECT_EQ("0", query("SELECT COUNT(*) FROM tbl_holiday WHERE content IS NULL OR content = ''"));
}

} // namespace
} // namespace telvora
