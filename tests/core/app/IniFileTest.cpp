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
    const char* content;
    const char* section;
    const char* key;
    const char* expected;
};

class IniFileReadTest : public IniFileTest, public ::testing::WithParamInterface<ReadCase>
{
};

TEST_P(IniFileReadTest, ReadsLikeAProfileFile)
{
    writeRaw(GetParam().content);
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
        ReadCase {"invalid_utf8_value_kept", "[section]\nX=\xC3\x28\n", "section", "X", "\xC3\x28"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(IniFileTest, MissingFileGivesDefaults)
{
    EXPECT_EQ("0", m_ini.GetString("section", "CurVersion", "0"));
}

struct LengthCase
{
    const char* name;
    std::string value;
    std::size_t expectedBytes;
};

class IniFileLengthTest : public IniFileTest, public ::testing::WithParamInterface<LengthCase>
{
};

TEST_P(IniFileLengthTest, ValuesReadBackAtMost259Bytes)
{
    writeRaw("[section]\nA=" + GetParam().value + "\n");
    const std::string read = m_ini.GetString("section", "A");
    EXPECT_EQ(GetParam().expectedBytes, read.size());
    EXPECT_EQ(GetParam().value.substr(0, read.size()), read);
}

INSTANTIATE_TEST_SUITE_P(Limits, IniFileLengthTest,
    ::testing::Values(LengthCase {"bytes258", std::string(258, 'a'), 258},
        LengthCase {"bytes259", std::string(259, 'a'), 259}, LengthCase {"bytes260", std::string(260, 'a'), 259},
        // 86 three-byte characters are 258 bytes; the 87th may not be cut in half.
        LengthCase {"no_broken_character",
            [] {
                std::string s;
                for (int i = 0; i < 90; ++i) {
                    s += "字";
                }
                return s;
            }(),
            258}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(IniFileTest, WriteReplacesOnlyItsLine)
{
    const std::string before
        = "; setup\n[other]\nA=1\n\n[Section]\nlastuser=x;\ngarbage line\nLoginIP=old\n\n[tail]\nZ=9\n";
    writeRaw(before);
    ASSERT_TRUE(m_ini.WriteString("section", "LOGINIP", "new:8080"));
    std::string expected = before;
    expected.replace(expected.find("LoginIP=old"), 11, "LoginIP=new:8080");
    EXPECT_EQ(expected, readRaw());
}

TEST_F(IniFileTest, WriteAddsKeyAtTheEndOfItsSection)
{
    writeRaw("[section]\nA=1\n\n[tail]\nZ=9\n");
    ASSERT_TRUE(m_ini.WriteString("section", "B", "2"));
    EXPECT_EQ("[section]\nA=1\nB=2\n\n[tail]\nZ=9\n", readRaw());
}

TEST_F(IniFileTest, WriteAddsSectionToMissingFileWithMode0600)
{
    ASSERT_TRUE(m_ini.WriteString("section", "AutoRun", "1"));
    EXPECT_EQ("[section]\nAutoRun=1\n", readRaw());
    struct stat info
    {
    };
    ASSERT_EQ(0, ::stat(m_path.c_str(), &info));
    EXPECT_EQ(0600u, info.st_mode & 0777);
}

TEST_F(IniFileTest, WriteKeepsCrlfAndInvalidBytes)
{
    writeRaw("[section]\r\nX=\xFF\xFE\r\nA=1\r\n");
    ASSERT_TRUE(m_ini.WriteString("section", "A", "2"));
    EXPECT_EQ("[section]\r\nX=\xFF\xFE\r\nA=2\r\n", readRaw());
}

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
