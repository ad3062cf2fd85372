#include "app/IniFile.h"

#include "app/AtomicWrite.h"
#include "support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace telvora {
namespace {

class IniFileTest : public ::testing::Test
{
protected:
    void writeRaw(const std::string& content)
    {
        std::ofstream out(m_path, std::ios::binary);
        out << content;
    }
    std::string readRaw() const
    {
        std::string content;
        ReadWholeFile(m_path, content);
        return content;
    }

    test::TempDir m_temp;
    std::string m_path = m_temp.file("ClientSetup.ini");
    CIniFile m_ini {m_path};
};

struct ReadCase
{
    const char* name;
    std::string content;
    const char* section;
    const char* key;
    std::string expected;
};

std::string repeated(const std::string& part, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += part;
    }
    return text;
}

class IniFileReadTest : public IniFileTest, public ::testing::WithParamInterface<ReadCase>
{
};

TEST_P(IniFileReadTest, ReadsLikeAProfileFile)
{
    if (!GetParam().content.empty()) {
        writeRaw(GetParam().content);
    }
    EXPECT_EQ(GetParam().expected, m_ini.GetString(GetParam().section, GetParam().key, "dflt"));
}

INSTANTIATE_TEST_SUITE_P(Cases, IniFileReadTest,
    ::testing::Values(ReadCase {"plain", "[section]\nLoginIP=1.2.3.4\n", "section", "LoginIP", "1.2.3.4"},
        ReadCase {"absent_key", "[section]\nOther=1\n", "section", "LoginIP", "dflt"},
        ReadCase {"absent_section", "[other]\nLoginIP=x\n", "section", "LoginIP", "dflt"},
        ReadCase {"key_before_any_section", "LoginIP=x\n[section]\n", "section", "LoginIP", "dflt"},
        ReadCase {"case_of_section_and_key", "[SECTION]\nloginip=x\n", "Section", "LOGINIP", "x"},
        ReadCase {"blanks_trimmed", "  [ section ]  \n  LoginIP  =  x y  \n", "section", "LoginIP", "x y"},
        ReadCase {"crlf", "[section]\r\nLoginIP=x\r\nB=2\r\n", "section", "LoginIP", "x"},
        ReadCase {"empty_value_is_not_absent", "[section]\nLoginIP=\n", "section", "LoginIP", ""},
        ReadCase {"quotes_removed", "[section]\nA=\" spaced \"\n", "section", "A", " spaced "},
        ReadCase {
            "garbage_and_comments_skipped", "junk\n;A=no\n=nokey\n[section]\n@@@\nA=yes\n", "section", "A", "yes"},
        ReadCase {"first_of_duplicates", "[section]\nA=1\nA=2\n[section]\nA=3\n", "section", "A", "1"},
        ReadCase {"later_section_not_searched", "[section]\nB=1\n[next]\nA=2\n", "section", "A", "dflt"},
        ReadCase {"bom", "\xEF\xBB\xBF[section]\nA=1\n", "section", "A", "1"},
        ReadCase {"no_final_newline", "[section]\nA=1", "section", "A", "1"},
        ReadCase {"utf8_value", "[section]\nLastUser=张三;李四;\n", "section", "LastUser", "张三;李四;"},
        ReadCase {"invalid_utf8_elsewhere", "[section]\nX=\xFF\xFE\x80\nA=ok\n", "section", "A", "ok"},
        ReadCase {"invalid_utf8_value_kept", "[section]\nX=\xC3\x28\n", "section", "X", "\xC3\x28"},
        ReadCase {"missing_file", "", "section", "CurVersion", "dflt"},
        // Values read back at most 259 bytes (the old 260-byte buffer), never half a character.
        ReadCase {"bytes259", "[section]\nA=" + repeated("a", 259), "section", "A", repeated("a", 259)},
        ReadCase {"bytes260_cut", "[section]\nA=" + repeated("a", 260), "section", "A", repeated("a", 259)},
        ReadCase {"no_broken_character", "[section]\nA=" + repeated("字", 90), "section", "A", repeated("字", 86)}),
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
    struct stat info
    {
    };
    ASSERT_EQ(0, ::stat(m_path.c_str(), &info));
    EXPECT_EQ(0600u, info.st_mode & 0777);
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

struct RoundTripCase
{
    const char* name;
    const char* value;
};

class IniFileRoundTripTest : public IniFileTest, public ::testing::WithParamInterface<RoundTripCase>
{
};

TEST_P(IniFileRoundTripTest, WrittenValueReadsBack)
{
    ASSERT_TRUE(m_ini.WriteString("section", "K", GetParam().value));
    EXPECT_EQ(GetParam().value, m_ini.GetString("section", "K", "dflt"));
}

INSTANTIATE_TEST_SUITE_P(Values, IniFileRoundTripTest,
    ::testing::Values(RoundTripCase {"empty", ""}, RoundTripCase {"chinese", "张三;"},
        RoundTripCase {"equals_sign", "a=b"}, RoundTripCase {"leading_blank", " x"}, RoundTripCase {"quoted", "\"x\""},
        RoundTripCase {"semicolon_first", ";x"}, RoundTripCase {"apostrophe", "O'Brien"}),
    [](const auto& info) { return std::string(info.param.name); });

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
