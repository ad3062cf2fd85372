#include "app/DataDirectory.h"

#include "app/AtomicWrite.h"
#include "support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace telvora {
namespace {

void touch(const fs::path& path, const std::string& content = "x")
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

class DataDirectoryTest : public ::testing::Test
{
protected:
    DataDirectoryInputs inputs() const
    {
        DataDirectoryInputs in;
        in.binaryDirectory = (m_temp.path() / "bin").string();
        in.home = (m_temp.path() / "home").string();
        fs::create_directories(in.binaryDirectory);
        return in;
    }
    std::string under(const std::string& relative) const { return (m_temp.path() / relative).string(); }

    test::TempDir m_temp;
};

TEST_F(DataDirectoryTest, ChoosesInOrder)
{
    DataDirectoryInputs in = inputs();
    in.telvoraHome = under("th");
    in.xdgDataHome = under("xdg");
    touch(fs::path(in.binaryDirectory) / "ClientSetup.ini");

    CDataDirectory first(in);
    ASSERT_TRUE(first.Prepare());
    EXPECT_EQ(under("th"), first.GetPath()) << "TELVORA_HOME wins";

    in.telvoraHome.clear();
    CDataDirectory second(in);
    ASSERT_TRUE(second.Prepare());
    EXPECT_EQ(in.binaryDirectory, second.GetPath()) << "portable: setup file beside the binary";

    fs::remove(fs::path(in.binaryDirectory) / "ClientSetup.ini");
    CDataDirectory third(in);
    ASSERT_TRUE(third.Prepare());
    EXPECT_EQ(under("xdg/telvora"), third.GetPath());
    struct stat info
    {
    };
    ASSERT_EQ(0, ::stat(third.GetPath().c_str(), &info));
    EXPECT_EQ(0700u, info.st_mode & 0777) << "a directory it makes is private";

    in.xdgDataHome = "relative/ignored";
    CDataDirectory fourth(in);
    ASSERT_TRUE(fourth.Prepare());
    EXPECT_EQ(under("home/.local/share/telvora"), fourth.GetPath());
    EXPECT_EQ(fourth.GetPath() + "/", fourth.GetApplicationDirectory());
}

TEST_F(DataDirectoryTest, NothingToGoOnIsAnError)
{
    CDataDirectory directory(DataDirectoryInputs {});
    EXPECT_FALSE(directory.Prepare());
    EXPECT_FALSE(directory.GetLastError().empty());
    EXPECT_TRUE(directory.GetPath().empty());
}

TEST_F(DataDirectoryTest, UnusableDirectoryIsAClearError)
{
    DataDirectoryInputs in = inputs();
    touch(under("afile"));
    in.telvoraHome = under("afile");
    CDataDirectory notDirectory(in);
    EXPECT_FALSE(notDirectory.Prepare());
    EXPECT_NE(std::string::npos, notDirectory.GetLastError().find(under("afile")));

    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only directories";
    }
    fs::create_directories(under("ro"));
    fs::permissions(under("ro"), fs::perms::owner_read | fs::perms::owner_exec);
    in.telvoraHome = under("ro");
    CDataDirectory readOnly(in);
    EXPECT_FALSE(readOnly.Prepare());
    in.telvoraHome = under("ro/sub");
    CDataDirectory cannotCreate(in);
    EXPECT_FALSE(cannotCreate.Prepare());
    fs::permissions(under("ro"), fs::perms::owner_all);
}

TEST_F(DataDirectoryTest, FindsShippedFilesInOrder)
{
    DataDirectoryInputs in = inputs();
    in.templateDirectory = under("tpl");
    CDataDirectory directory(in);
    EXPECT_EQ("", directory.FindShipped("SourceDB.db"));

    touch(under("share/telvora/SourceDB.db"));
    EXPECT_EQ(under("share/telvora/SourceDB.db"), directory.FindShipped("SourceDB.db"));
    touch(under("bin/SourceDB.db"));
    EXPECT_EQ(under("bin/SourceDB.db"), directory.FindShipped("SourceDB.db"));
    touch(under("tpl/SourceDB.db"));
    EXPECT_EQ(under("tpl/SourceDB.db"), directory.FindShipped("SourceDB.db"));
}

TEST_F(DataDirectoryTest, CopiesAShippedFileOnlyWhenMissing)
{
    DataDirectoryInputs in = inputs();
    in.telvoraHome = under("data");
    touch(under("bin/mobileArea.db"), "shipped");
    CDataDirectory directory(in);
    ASSERT_TRUE(directory.Prepare());

    std::string content;
    for (const char* expected : {"shipped", "local"}) {
        ASSERT_TRUE(directory.EnsureShippedCopy("mobileArea.db"));
        ASSERT_TRUE(ReadWholeFile(directory.FilePath("mobileArea.db"), content));
        EXPECT_EQ(expected, content);
        touch(directory.FilePath("mobileArea.db"), "local");
    }

    EXPECT_FALSE(directory.EnsureShippedCopy("absent.db"));
    EXPECT_NE(std::string::npos, directory.GetLastError().find("absent.db"));
}

} // namespace
} // namespace telvora
