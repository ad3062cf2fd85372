#include "account/RememberedPassword.h"

#include "app/ParameterStore.h"
#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

TEST(RememberedPassword, AChangedPasswordIsStoredOnlyWhereOneIsRemembered)
{
    test::TempDir dir;
    CADODataBase database;
    ASSERT_TRUE(database.OpenOrCreate(dir.file("user.db")));
    ASSERT_TRUE(database.Execute("CREATE TABLE tbl_sys_param (para_name TEXT PRIMARY KEY, para_value TEXT)"));
    ASSERT_TRUE(database.Execute("INSERT INTO tbl_sys_param VALUES ('Password', 'old')"));
    const auto stored = [&] {
        CADORecordset value(&database);
        std::string text;
        value.Open("SELECT para_value FROM tbl_sys_param WHERE para_name = 'Password'");
        value.GetFieldValue(0, text);
        return text;
    };

    CParameterStore parameters;
    parameters.Set("RememberPwd", "0");
    ASSERT_TRUE(StoreChangedPassword(database, parameters, "it's new1"));
    EXPECT_EQ(parameters.Get("Password"), "it's new1");
    EXPECT_EQ(stored(), "old");

    parameters.Set("RememberPwd", "1");
    ASSERT_TRUE(StoreChangedPassword(database, parameters, "it's new2"));
    EXPECT_EQ(stored(), "it's new2");
}

} // namespace
} // namespace telvora
