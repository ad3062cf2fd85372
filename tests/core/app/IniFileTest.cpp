#include "app/IniFile.h"

#include "support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace telvora {
namespace {

class IniFileTest : public ::testing::Test
{
protected:
    void writeRaw(const std::string& content) { std::ofstream(m_path, std::ios::binary) << content; }
    std::string readRaw() const
    {
        return std::string(std::istreambuf_iterator<char>(std::ifstream(m_path, std::ios::binary).rdbuf()), {});
    }

    test::TempDir m_temp;
    std::string m_path = m_temp.file("ClientSetup.ini");
    CIniFile m_ini {m_path};
};

struct ReadCase
{
    const char* name;
    std::string content;
    const char* key; // in [section]
    std::string expected;
};

std::string repeated(const std::string& part, int times)
{
    return times > 0 ? part + repeated(part, times - 1) : "";
}

class IniFileReadTest : public IniFileTest, public ::testing::WithParamInterface<ReadCase>
{
};

TEST_P(IniFileReadTest, ReadsLikeAProfileFile)
{
    if (!GetParam().content.empty()) {
        writeRaw(GetParam().content);
    }
    EXPECT_EQ(GetParam().expected, m_ini.GetString("section", GetParam().key, "dflt"));
}

INSTANTIATE_TEST_SUITE_P(Cases, IniFileReadTest,
    ::testing::Values(ReadCase {"absent_section", "[other]\nLoginIP=x\n", "LoginIP", "dflt"},
        ReadCase {"key_before_any_section", "LoginIP=x\n[section]\n", "LoginIP", "dflt"},
        ReadCase {"case_of_section_and_key", "[SECTION]\nloginip=x\n", "LoginIP", "x"},
        ReadCase {"blanks_trimmed", "  [ section ]  \n  LoginIP  =  x y  \n", "LoginIP", "x y"},
        ReadCase {"crlf", "[section]\r\nLoginIP=x\r\nB=2\r\n", "LoginIP", "x"},
        ReadCase {"empty_value_is_not_absent", "[section]\nLoginIP=\n", "LoginIP", ""},
        ReadCase {"quotes_removed", "[section]\nA=\" spaced \"\n", "A", " spaced "},
        ReadCase {"garbage_and_comments_skipped", "junk\n;A=no\n=nokey\n[section]\n@@@\nA=yes\n", "A", "yes"},
        ReadCase {"first_of_duplicates", "[section]\nA=1\nA=2\n[section]\nA=3\n", "A", "1"},
        ReadCase {"bom", "\xEF\xBB\xBF[section]\nA=1\n", "A", "1"},
        ReadCase {"invalid_utf8_value_kept", "[section]\nX=\xC3\x28\n", "X", "\xC3\x28"},
        ReadCase {"missing_file", "", "CurVersion", "dflt"},
        // Values read back at most 259 bytes (the old 260-byte buffer), never half a character.
        ReadCase {"bytes259", "[section]\nA=" + repeated("a", 259), "A", repeated("a", 259)},
        ReadCase {"bytes260_cut", "[section]\nA=" + repeated("a", 260), "A", repeated("a", 259)},
        ReadCase {"no_broken_character", "[section]\nA=" + repeated("字", 90), "A", repeated("字", 86)}),
    [](const auto& info) { return std::string(info.param.name); });

struct WriteCase
{
    const char* name;
    const char* before; // nullptr: no file yet
    const char* key;
    const char* after;
};

class IniFileWriteTest : public IniFileTest, public ::testing::WithParamInterface<WriteCase>
{
};

TEST_P(IniFileWriteTest, ChangesOnlyWhatItMust)
{
    if (GetParam().before) {
        writeRaw(GetParam().before);
    }
    ASSERT_TRUE(m_ini.WriteString("section", GetParam().key, "new")) << m_ini.GetLastError();
    EXPECT_EQ(GetParam().after, readRaw());
    EXPECT_EQ(std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
        std::filesystem::status(m_path).permissions());
}

INSTANTIATE_TEST_SUITE_P(Cases, IniFileWriteTest,
    ::testing::Values(
        WriteCase {"replaces_its_line_keeps_the_rest",
            "; setup\n[other]\nA=1\n\n[Section]\nlastuser=x;\ngarbage line\nLoginIP=old\n\n[tail]\nZ=9\n", "LOGINIP",
            "; setup\n[other]\nA=1\n\n[Section]\nlastuser=x;\ngarbage line\nLoginIP=new\n\n[tail]\nZ=9\n"},
        WriteCase {"adds_key_at_end_of_section", "[section]\nA=1\n\n[tail]\nZ=9\n", "B",
            "[section]\nA=1\nB=new\n\n[tail]\nZ=9\n"},
        WriteCase {"missing_file", nullptr, "AutoRun", "[section]\nAutoRun=new\n"},
        WriteCase {"keeps_crlf_and_invalid_bytes", "[section]\r\nX=\xFF\xFE\r\nA=1\r\n", "A",
            "[section]\r\nX=\xFF\xFE\r\nA=new\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(IniFileTest, WrittenValuesReadBack)
{
    for (const char* value : {"", "张三;", "a=b", " x", "\"x\"", ";x", "O'Brien"}) {
        ASSERT_TRUE(m_ini.WriteString("section", "K", value));
        EXPECT_EQ(value, m_ini.GetString("section", "K", "dflt"));
    }
}

TEST_F(IniFileTest, LineBreaksAreRefusedAndTheFileKept)
{
    writeRaw("[section]\nA=1\n");
    EXPECT_FALSE(m_ini.WriteString("section", "A", "1\n[evil]\nB=2"));
    EXPECT_FALSE(m_ini.WriteString("section", "A=B", "1"));
    EXPECT_FALSE(m_ini.GetLastError().empty());
    EXPECT_EQ("[section]\nA=1\n", readRaw());
}

} // namespace
} // namespace telvora
