#include "db/SchemaUpgrader.h"

#include "core/db/DbTestSupport.h"
#include "db/SqlScript.h"
#include "support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace telvora {
namespace {

using test::scalar;

// Every table, index and trigger with its SQL, in name order.
std::string schemaOf(CADODataBase& database)
{
    return scalar(database,
        "SELECT group_concat(type || ' ' || name || ': ' || IFNULL(sql, ''), char(10)) FROM (SELECT * FROM "
        "sqlite_master ORDER BY name)");
}

// A database as the first released program made it, with values it let in.
TEST(SchemaUpgraderTest, FirstVersionUpgradesToTheTemplateSchemaAndMendsItsValues)
{
    test::TempDir temp;
    std::ifstream in(TELVORA_SCHEMA_SQL);
    std::stringstream schema;
    schema << in.rdbuf();
    CADODataBase old;
    ASSERT_TRUE(old.OpenOrCreate(temp.file("old.db")));
    ASSERT_TRUE(ExecuteScript(old, schema.str())) << old.GetLastError();
    ASSERT_EQ(scalar(old, "PRAGMA user_version"), "1");
    // The first date reader did not know dotted dates and kept them as typed.
    const std::string trigger = scalar(old, "SELECT sql FROM sqlite_master WHERE name = 'trg_tbl_card_birtyday_ins'");
    ASSERT_TRUE(old.Execute("DROP TRIGGER trg_tbl_card_birtyday_ins"));
    ASSERT_TRUE(old.Execute("INSERT INTO tbl_card (id, phone, birtyday, isll) VALUES (1, '13800000000', '2024.2.29', "
                            "-1), (2, '13900000000', 'soon', NULL)"));
    ASSERT_TRUE(old.Execute(trigger));

    CSchemaUpgrader upgrader;
    ASSERT_TRUE(upgrader.Upgrade(old)) << upgrader.GetLastError();
    EXPECT_EQ(scalar(old, "PRAGMA user_version"), std::to_string(upgrader.GetTargetVersion()));
    EXPECT_EQ(
        scalar(old, "SELECT group_concat(birtyday || '/' || isll, ',') FROM (SELECT * FROM tbl_card ORDER BY id)"),
        "2024-02-29 00:00:00/1,soon/0")
        << "what is no date stays as it was, for the user to mend";

    CADODataBase shipped;
    ASSERT_TRUE(shipped.OpenReadOnly(test::templatePath()));
    EXPECT_EQ(schemaOf(old), schemaOf(shipped));
    EXPECT_TRUE(upgrader.Upgrade(old)) << "an up-to-date database is left alone";
}

TEST(SchemaUpgraderTest, StepsMustFollowOnWithoutGaps)
{
    test::TempDir temp;
    CADODataBase database;
    ASSERT_TRUE(database.OpenOrCreate(temp.file("gap.db")));
    ASSERT_TRUE(database.Execute("PRAGMA user_version = 1"));
    const SchemaMigration steps[] = {{3, "skips 2", "CREATE TABLE t (x)"}};
    CSchemaUpgrader upgrader(steps);
    EXPECT_FALSE(upgrader.Upgrade(database));
    EXPECT_NE(upgrader.GetLastError().find("第 2 步"), std::string::npos) << upgrader.GetLastError();
    EXPECT_EQ(scalar(database, "SELECT COUNT(*) FROM sqlite_master"), "0");
    EXPECT_EQ(scalar(database, "PRAGMA user_version"), "1");
}

} // namespace
} // namespace telvora
