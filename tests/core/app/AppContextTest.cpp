#include "app/AppContext.h"

#include "app/AppConstants.h"
#include "app/AtomicWrite.h"
#include "core/app/AppTestSupport.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace telvora {
namespace {

class AppContextTest : public ::testing::Test
{
protected:
    std::string dataFile(const std::string& name) const { return (m_temp.path() / name).string(); }

    test::TempDir m_temp;
};

TEST_F(AppContextTest, StartsOfflineAndReadsTheSetupValuesOrTheirDefaults)
{
    CAppContext defaults(test::preparedDataDirectory(m_temp));
    EXPECT_EQ("OffLineDB.db", defaults.GetWorkDatabaseName());
    EXPECT_TRUE(defaults.IsOffline());
    EXPECT_EQ("0", defaults.GetProxyFlag());
    EXPECT_EQ("0", defaults.GetConnectionType());
    EXPECT_EQ("0", defaults.GetCurrentVersion());
    EXPECT_EQ(m_temp.path().string() + "/", defaults.GetApplicationDirectory());

    std::ofstream(dataFile("ClientSetup.ini")) << "[section]\nIsProxy=TRUE\nConnType=DSN\nCurVersion=3.1\n";
    CAppContext configured(test::preparedDataDirectory(m_temp));
    EXPECT_EQ("TRUE", configured.GetProxyFlag());
    EXPECT_TRUE(configured.IsSharedDatabase());
    EXPECT_EQ("3.1", configured.GetCurrentVersion());
}

TEST_F(AppContextTest, MissingDatabaseIsMadeFromTheTemplate)
{
    CAppContext app(test::preparedDataDirectory(m_temp));
    ASSERT_TRUE(app.OpenWorkDatabase("alice.db")) << app.GetErrorDetail();
    EXPECT_EQ("alice.db", app.GetWorkDatabaseName());
    EXPECT_FALSE(app.IsOffline());
    EXPECT_EQ("27", test::scalar(app.GetDatabase(), "SELECT COUNT(*) FROM tbl_field_info"));

    struct stat info
    {
    };
    ASSERT_EQ(0, ::stat(dataFile("alice.db").c_str(), &info));
    EXPECT_EQ(0600u, info.st_mode & 0777);
    EXPECT_TRUE(fs::exists(dataFile("SourceDB.db"))) << "the template is kept in the data directory";
}

TEST_F(AppContextTest, MissingTemplateIsReportedAndMakesNothing)
{
    DataDirectoryInputs inputs;
    inputs.telvoraHome = m_temp.path().string();
    CDataDirectory directory(inputs);
    ASSERT_TRUE(directory.Prepare());
    CAppContext app(std::move(directory));
    EXPECT_FALSE(app.OpenWorkDatabase("alice.db"));
    EXPECT_EQ("打开数据库失败！", app.GetLastError());
    EXPECT_NE(std::string::npos, app.GetErrorDetail().find("SourceDB.db")) << app.GetErrorDetail();
    EXPECT_FALSE(fs::exists(dataFile("alice.db")));
}

TEST_F(AppContextTest, ExistingDatabaseIsOpenedNotReplaced)
{
    CAppContext app(test::preparedDataDirectory(m_temp));
    ASSERT_TRUE(app.OpenWorkDatabase("alice.db"));
    ASSERT_TRUE(app.GetDatabase().Execute("INSERT INTO tbl_inputphone (phone) VALUES ('13800000000')"));
    ASSERT_TRUE(app.OpenWorkDatabase("OffLineDB.db"));
    EXPECT_EQ("0", test::scalar(app.GetDatabase(), "SELECT COUNT(*) FROM tbl_inputphone"));
    ASSERT_TRUE(app.OpenWorkDatabase("alice.db"));
    EXPECT_EQ("1", test::scalar(app.GetDatabase(), "SELECT COUNT(*) FROM tbl_inputphone"));
}

struct DamagedCase
{
    const char* name;
    std::string content; // "truncated": a real database cut short; "foreign": someone else's
};

class AppContextDamagedTest : public AppContextTest, public ::testing::WithParamInterface<DamagedCase>
{
};

TEST_P(AppContextDamagedTest, ReportsAndLeavesTheFileAlone)
{
    CAppContext app(test::preparedDataDirectory(m_temp));
    std::string content = GetParam().content;
    if (content == "truncated") {
        ASSERT_TRUE(ReadWholeFile(test::templateDirectory() + "/SourceDB.db", content));
        content.resize(content.size() / 2);
    } else if (content == "foreign") {
        CADODataBase other;
        ASSERT_TRUE(other.OpenOrCreate(dataFile("other.db")));
        ASSERT_TRUE(other.Execute("CREATE TABLE t (a)"));
        other.Close();
        ASSERT_TRUE(ReadWholeFile(dataFile("other.db"), content));
    }
    {
        std::ofstream out(dataFile("bob.db"), std::ios::binary);
        out << content;
    }

    EXPECT_FALSE(app.OpenWorkDatabase("bob.db"));
    EXPECT_EQ("打开数据库失败！", app.GetLastError());
    EXPECT_FALSE(app.GetErrorDetail().empty());
    EXPECT_FALSE(app.GetDatabase().IsOpen());
    EXPECT_EQ("bob.db", app.GetWorkDatabaseName()) << "the name is taken even after a failure";

    std::string after;
    ASSERT_TRUE(ReadWholeFile(dataFile("bob.db"), after));
    EXPECT_EQ(content, after);
}

INSTANTIATE_TEST_SUITE_P(Files, AppContextDamagedTest,
    ::testing::Values(DamagedCase {"text_file", std::string(8192, 'x')},
        DamagedCase {"header_only", std::string("SQLite format 3\0", 16)}, DamagedCase {"truncated", "truncated"},
        DamagedCase {"foreign_database", "foreign"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AppContextTest, FileNamesCannotLeaveTheDataDirectory)
{
    CAppContext app(test::preparedDataDirectory(m_temp));
    for (const char* name : {"../escape.db", "a/b.db", "", ".."}) {
        EXPECT_FALSE(app.OpenWorkDatabase(name)) << name;
        EXPECT_EQ(name, app.GetWorkDatabaseName());
    }
    EXPECT_FALSE(fs::exists(m_temp.path().parent_path() / "escape.db"));
}

TEST_F(AppContextTest, SharedDatabaseModeOpensOneFileWhateverTheName)
{
    std::ofstream(dataFile("ClientSetup.ini")) << "[section]\nConnType=DSN\n";
    CAppContext app(test::preparedDataDirectory(m_temp));
    ASSERT_TRUE(app.OpenWorkDatabase("OffLineDB.db")) << app.GetErrorDetail();
    EXPECT_EQ(dataFile("shared.db"), app.GetDatabase().GetDatabasePath());
    ASSERT_TRUE(app.GetDatabase().Execute("INSERT INTO tbl_inputphone (phone) VALUES ('13800000000')"));

    ASSERT_TRUE(app.OpenWorkDatabase("carol.db"));
    EXPECT_EQ("carol.db", app.GetWorkDatabaseName());
    EXPECT_EQ(dataFile("shared.db"), app.GetDatabase().GetDatabasePath());
    EXPECT_EQ("1", test::scalar(app.GetDatabase(), "SELECT COUNT(*) FROM tbl_inputphone"));
    EXPECT_FALSE(fs::exists(dataFile("carol.db")));
    EXPECT_FALSE(fs::exists(dataFile("OffLineDB.db")));

    std::ofstream(dataFile("ClientSetup.ini")) << "[section]\nConnType=DSN\nDSNFile=team.db\n";
    EXPECT_EQ(dataFile("team.db"), CAppContext(test::preparedDataDirectory(m_temp)).DatabasePathFor("dave.db"));
}

} // namespace
} // namespace telvora
