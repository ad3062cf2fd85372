#include "app/AppContext.h"

#include "app/AtomicWrite.h"
#include "core/app/AppTestSupport.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

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
    std::string content = GetParam() == std::string("header") ? std::string("SQLite format 3\0", 16) : GetParam();
    if (content == "truncated") {
        ASSERT_TRUE(ReadWholeFile(test::templateDirectory() + "/SourceDB.db", content));
        content.resize(content.size() / 2);
    } else if (content == "foreign") {
        CADODataBase other;
        ASSERT_TRUE(other.OpenOrCreate(dataFile("other.db")) && other.Execute("CREATE TABLE t (a)"));
        other.Close();
        ASSERT_TRUE(ReadWholeFile(dataFile("other.db"), content));
    }
    std::ofstream(dataFile("bob.db"), std::ios::binary) << content;

    CAppContext context = app();
    EXPECT_FALSE(context.OpenWorkDatabase("bob.db"));
    EXPECT_EQ("打开数据库失败！", context.GetLastError());
    EXPECT_FALSE(context.GetErrorDetail().empty());
    EXPECT_FALSE(context.GetDatabase().IsOpen());
    EXPECT_EQ("bob.db", context.GetWorkDatabaseName()) << "the name is taken even after a failure";
    std::string after;
    ASSERT_TRUE(ReadWholeFile(dataFile("bob.db"), after));
    EXPECT_EQ(content, after);
}

INSTANTIATE_TEST_SUITE_P(Files, AppContextDamagedTest, ::testing::Values("text", "header", "truncated", "foreign"),
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

} // namespace
} // namespace telvora
