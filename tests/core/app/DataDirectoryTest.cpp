#include "app/DataDirectory.h"

#include "app/AtomicWrite.h"
#include "support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

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
    void SetUp() override
    {
        m_in.binaryDirectory = under("bin");
        m_in.home = under("home");
        fs::create_directories(m_in.binaryDirectory);
    }
    std::string under(const std::string& relative) const { return m_temp.file(relative); }

    test::TempDir m_temp;
    DataDirectoryInputs m_in;
};

TEST_F(DataDirectoryTest, ChoosesInOrder)
{
    m_in.telvoraHome = under("th");
    m_in.xdgDataHome = under("xdg");
    touch(fs::path(m_in.binaryDirectory) / "ClientSetup.ini");
    const auto chosen = [this] {
        CDataDirectory directory(m_in);
        EXPECT_TRUE(directory.Prepare()) << directory.GetLastError();
        return directory.GetPath();
    };
    EXPECT_EQ(under("th"), chosen()) << "TELVORA_HOME wins";
    m_in.telvoraHome.clear();
    EXPECT_EQ(m_in.binaryDirectory, chosen()) << "portable: setup file beside the binary";
    fs::remove(fs::path(m_in.binaryDirectory) / "ClientSetup.ini");
    EXPECT_EQ(under("xdg/telvora"), chosen());
    EXPECT_EQ(fs::perms::owner_all, fs::status(under("xdg/telvora")).permissions())
        << "a directory it makes is private";
    m_in.xdgDataHome = "relative/ignored";
    EXPECT_EQ(under("home/.local/share/telvora"), chosen());
}

TEST_F(DataDirectoryTest, NothingToGoOnOrAFileInTheWayIsAnError)
{
    CDataDirectory nothing(DataDirectoryInputs {});
    EXPECT_FALSE(nothing.Prepare());
    EXPECT_FALSE(nothing.GetLastError().empty());
    EXPECT_TRUE(nothing.GetPath().empty());

    touch(under("afile"));
    m_in.telvoraHome = under("afile");
    CDataDirectory notDirectory(m_in);
    EXPECT_FALSE(notDirectory.Prepare());
    EXPECT_NE(std::string::npos, notDirectory.GetLastError().find(under("afile")));
}

TEST_F(DataDirectoryTest, FindsShippedFilesInOrderAndCopiesThemOnlyWhenMissing)
{
    m_in.templateDirectory = under("tpl");
    m_in.telvoraHome = under("data");
    CDataDirectory directory(m_in);
    ASSERT_TRUE(directory.Prepare());
    EXPECT_EQ("", directory.FindShipped("SourceDB.db"));
    for (const char* place : {"share/telvora/SourceDB.db", "bin/SourceDB.db", "tpl/SourceDB.db"}) {
        touch(under(place), place);
        EXPECT_EQ(under(place), directory.FindShipped("SourceDB.db"));
    }

    std::string content;
    for (const char* expected : {"tpl/SourceDB.db", "local"}) {
        ASSERT_TRUE(directory.EnsureShippedCopy("SourceDB.db"));
        ASSERT_TRUE(ReadWholeFile(directory.FilePath("SourceDB.db"), content));
        EXPECT_EQ(expected, content);
        touch(directory.FilePath("SourceDB.db"), "local");
    }
    EXPECT_FALSE(directory.EnsureShippedCopy("absent.db"));
    EXPECT_NE(std::string::npos, directory.GetLastError().find("absent.db"));
}

} // namespace
} // namespace telvora
