#include "app/AppContext.h"

#include "core/app/AppTestSupport.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <vector>

namespace fs = std::filesystem;

namespace telvora {
namespace {

class AppContextTest : public ::testing::Test
{
protected:
    std::string dataFile(const std::string& name) const { return m_temp.file(name); }
    CAppContext app() const { return CAppContext(test::preparedDataDirectory(m_temp)); }
    std::string count(CAppContext& app, const char* table)
    {
        return test::scalar(app.GetDatabase(), std::string("SELECT COUNT(*) FROM ") + table);
    }

    test::TempDir m_temp;
};

TEST_F(AppContextTest, MissingDatabaseIsMadeFromTheTemplateAndExistingOneKept)
{
    CAppContext context = app();
    EXPECT_TRUE(context.IsOffline());
    ASSERT_TRUE(context.OpenWorkDatabase("alice.db")) << context.GetErrorDetail();
    EXPECT_FALSE(context.IsOffline());
    EXPECT_EQ("27", count(context, "tbl_field_info"));
    EXPECT_EQ(fs::perms::owner_read | fs::perms::owner_write, fs::status(dataFile("alice.db")).permissions());
    EXPECT_TRUE(fs::exists(dataFile("SourceDB.db"))) << "the template is kept in the data directory";

    ASSERT_TRUE(context.GetDatabase().Execute("INSERT INTO tbl_inputphone (phone) VALUES ('13800000000')"));
    ASSERT_TRUE(context.OpenWorkDatabase("OffLineDB.db"));
    EXPECT_EQ("0", count(context, "tbl_inputphone"));
    ASSERT_TRUE(context.OpenWorkDatabase("alice.db"));
    EXPECT_EQ("1", count(context, "tbl_inputphone")) << "opened, not replaced";
}

TEST_F(AppContextTest, MissingTemplateIsReportedAndMakesNothing)
{
    DataDirectoryInputs inputs;
    inputs.telvoraHome = m_temp.path().string();
    CDataDirectory directory(inputs);
    ASSERT_TRUE(directory.Prepare());
    CAppContext context(std::move(directory));
    EXPECT_FALSE(context.OpenWorkDatabase("alice.db"));
    EXPECT_EQ("打开数据库失败！", context.GetLastError());
    EXPECT_NE(std::string::npos, context.GetErrorDetail().find("SourceDB.db")) << context.GetErrorDetail();
    EXPECT_FALSE(fs::exists(dataFile("alice.db")));
}

class AppContextDamagedTest : public AppContextTest, public ::testing::WithParamInterface<const char*>
{
};

// "truncated": the template cut short; "foreign": someone else's database; else the bytes.
TEST_P(AppContextDamagedTest, ReportsAndLeavesTheFileAlone)
{
    std::string content = GetParam();
    if (content == "truncated") {
        content = test::readBytes(test::templatePath());
        content.resize(content.size() / 2);
    } else if (content == "foreign") {
        CADODataBase other;
        ASSERT_TRUE(other.OpenOrCreate(dataFile("other.db")) && other.Execute("CREATE TABLE t (a)"));
        other.Close();
        content = test::readBytes(dataFile("other.db"));
    }
    std::ofstream(dataFile("bob.db"), std::ios::binary) << content;

    CAppContext context = app();
    EXPECT_FALSE(context.OpenWorkDatabase("bob.db"));
    EXPECT_EQ("打开数据库失败！", context.GetLastError());
    EXPECT_FALSE(context.GetErrorDetail().empty());
    EXPECT_FALSE(context.GetDatabase().IsOpen());
    EXPECT_EQ("bob.db", context.GetWorkDatabaseName()) << "the name is taken even after a failure";
    EXPECT_EQ(content, test::readBytes(dataFile("bob.db")));
}

INSTANTIATE_TEST_SUITE_P(Files, AppContextDamagedTest, ::testing::Values("text", "truncated", "foreign"),
    [](const auto& info) { return std::string(info.param); });

TEST_F(AppContextTest, FileNamesCannotLeaveTheDataDirectory)
{
    CAppContext context = app();
    for (const char* name : {"../escape.db", "a/b.db", "", ".."}) {
        EXPECT_FALSE(context.OpenWorkDatabase(name)) << name;
    }
    EXPECT_FALSE(fs::exists(m_temp.path().parent_path() / "escape.db"));
}

TEST_F(AppContextTest, SharedDatabaseModeOpensOneFileWhateverTheName)
{
    std::ofstream(dataFile("ClientSetup.ini")) << "[section]\nConnType=DSN\n";
    CAppContext context = app();
    EXPECT_TRUE(context.IsSharedDatabase());
    ASSERT_TRUE(context.OpenWorkDatabase("OffLineDB.db")) << context.GetErrorDetail();
    ASSERT_TRUE(context.GetDatabase().Execute("INSERT INTO tbl_inputphone (phone) VALUES ('13800000000')"));
    ASSERT_TRUE(context.OpenWorkDatabase("carol.db"));
    EXPECT_EQ("carol.db", context.GetWorkDatabaseName());
    EXPECT_EQ(dataFile("shared.db"), context.GetDatabase().GetDatabasePath());
    EXPECT_EQ("1", count(context, "tbl_inputphone"));
    EXPECT_FALSE(fs::exists(dataFile("carol.db")) || fs::exists(dataFile("OffLineDB.db")));

    std::ofstream(dataFile("ClientSetup.ini")) << "[section]\nConnType=DSN\nDSNFile=team.db\n";
    EXPECT_EQ(dataFile("team.db"), app().DatabasePathFor("dave.db"));
}

// The program's steps and one more, as the next schema change will add it.
class SchemaUpgradeTest : public AppContextTest
{
protected:
    void SetUp() override
    {
        m_steps.assign(SchemaMigrations().begin(), SchemaMigrations().end());
        m_current = static_cast<int>(m_steps.size()) + 1;
        // A database made by today's template, with a row of the user's.
        CAppContext today = app();
        ASSERT_TRUE(today.OpenWorkDatabase("alice.db")) << today.GetErrorDetail();
        ASSERT_TRUE(today.GetDatabase().Execute("INSERT INTO tbl_inputphone (phone) VALUES ('13800000000')"));
    }

    CAppContext appWith(std::vector<SchemaMigration> more)
    {
        m_steps.insert(m_steps.end(), more.begin(), more.end());
        return CAppContext(test::preparedDataDirectory(m_temp), m_steps);
    }
    std::string version(CAppContext& context) { return test::scalar(context.GetDatabase(), "PRAGMA user_version"); }

    std::vector<SchemaMigration> m_steps;
    int m_current = 0;
};

TEST_F(SchemaUpgradeTest, OlderDatabaseAndTheTemplateCopyAreUpgraded)
{
    CAppContext next = appWith({{m_current + 1, "test table",
        "CREATE TABLE tbl_test (id INTEGER PRIMARY KEY, note TEXT);\nINSERT INTO tbl_test (note) VALUES ('added');"}});
    ASSERT_TRUE(next.OpenWorkDatabase("alice.db")) << next.GetErrorDetail();
    EXPECT_EQ(version(next), std::to_string(m_current + 1));
    EXPECT_EQ(test::scalar(next.GetDatabase(), "SELECT note FROM tbl_test"), "added");
    EXPECT_EQ(count(next, "tbl_inputphone"), "1") << "the user's rows stay";

    // A new user's database comes from the data directory's copy of the template, which
    // an older program put there.
    ASSERT_TRUE(next.OpenWorkDatabase("bob.db")) << next.GetErrorDetail();
    EXPECT_EQ(version(next), std::to_string(m_current + 1));
    EXPECT_EQ(count(next, "tbl_test"), "1");
    CADODataBase copy;
    ASSERT_TRUE(copy.OpenReadOnly(dataFile("SourceDB.db")));
    EXPECT_EQ(test::scalar(copy, "PRAGMA user_version"), std::to_string(m_current + 1));
    EXPECT_EQ(test::scalar(copy, "PRAGMA journal_mode"), "delete");
}

TEST_F(SchemaUpgradeTest, NewerDatabaseIsRefusedAndLeftByteForByte)
{
    {
        CAppContext next = appWith({{m_current + 1, "test table", "CREATE TABLE tbl_test (id INTEGER PRIMARY KEY)"}});
        ASSERT_TRUE(next.OpenWorkDatabase("alice.db")) << next.GetErrorDetail();
        // Any open for writing would turn the journal back to WAL in the header.
        ASSERT_TRUE(next.GetDatabase().Execute("PRAGMA journal_mode=DELETE"));
    }
    const std::string before = test::readBytes(dataFile("alice.db"));

    CAppContext today = app();
    EXPECT_FALSE(today.OpenWorkDatabase("alice.db"));
    EXPECT_EQ(today.GetLastError(), "打开数据库失败！");
    EXPECT_NE(
        today.GetErrorDetail().find("比本程序支持的版本（" + std::to_string(m_current) + "）新"), std::string::npos)
        << today.GetErrorDetail();
    EXPECT_FALSE(today.GetDatabase().IsOpen());
    EXPECT_TRUE(test::readBytes(dataFile("alice.db")) == before) << "the file was changed"; // not printed: 100 kB
    EXPECT_FALSE(fs::exists(dataFile("alice.db-wal")) || fs::exists(dataFile("alice.db-shm")));
}

TEST_F(SchemaUpgradeTest, FailingStepUndoesTheWholeUpgrade)
{
    {
        CAppContext broken = appWith({{m_current + 1, "first", "CREATE TABLE tbl_a (x)"},
            {m_current + 2, "second", "UPDATE tbl_inputphone SET phone = ''; INSERT INTO tbl_nope VALUES (1)"}});
        EXPECT_FALSE(broken.OpenWorkDatabase("alice.db"));
        EXPECT_NE(broken.GetErrorDetail().find("升级到版本 " + std::to_string(m_current + 2) + "（second）失败"),
            std::string::npos)
            << broken.GetErrorDetail();
        EXPECT_NE(broken.GetErrorDetail().find("no such table: tbl_nope"), std::string::npos);
        EXPECT_FALSE(broken.GetDatabase().IsOpen());
    }
    CAppContext today = app();
    ASSERT_TRUE(today.OpenWorkDatabase("alice.db")) << today.GetErrorDetail();
    EXPECT_EQ(version(today), std::to_string(m_current));
    EXPECT_EQ(test::scalar(today.GetDatabase(), "SELECT COUNT(*) FROM sqlite_master WHERE name = 'tbl_a'"), "0");
    EXPECT_EQ(test::scalar(today.GetDatabase(), "SELECT phone FROM tbl_inputphone"), "13800000000");
}

} // namespace
} // namespace telvora
