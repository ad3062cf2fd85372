#include "contacts/SpreadsheetReader.h"

#include "core/contacts/XlsxFixture.h"
#include "support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace telvora {
namespace {

using Row = std::vector<std::string>;

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

class SpreadsheetReaderTest : public ::testing::Test
{
protected:
    // Written as numbers.ods: the reader goes by the content, not the extension.
    void SetUp() override
    {
        test::XlsxFixture book(m_dir.file("numbers.xlsx"));
        book.sheet("号码").text(0, 0, "手机").text(0, 1, "姓名").text(0, 2, "生日").text(0, 3, "金额");
        book.number(1, 0, 13800138000.0).text(1, 1, " 张三 ").date(1, 2, 1990, 7, 15).number(1, 3, 2.5);
        book.text(2, 0, "  13900139000\t").text(2, 1, "李四").date(2, 2, 2024, 2, 29, true).number(2, 3, -7);
        book.text(3, 1, "王五").date(3, 2, 2024, 3, 5, false, 9).number(3, 3, 0.1);
        book.sheet("空表");
        book.sheet("第三").text(4, 5, "末格");
        book.close();
        std::filesystem::rename(m_dir.file("numbers.xlsx"), m_dir.file("numbers.ods"));
        ASSERT_TRUE(m_reader.Open(m_dir.file("numbers.ods"))) << m_reader.GetLastError();
    }

    test::TempDir m_dir;
    CSpreadsheetReader m_reader;
};

TEST_F(SpreadsheetReaderTest, ReadsXlsxCellsAsTrimmedTextsAndFindsHeaders)
{
    EXPECT_EQ(m_reader.GetSheetNames(), (Row {"号码", "空表", "第三"}));
    EXPECT_EQ(m_reader.GetRowCount(), 4u);
    EXPECT_EQ(m_reader.GetColumnCount(), 4u);
    EXPECT_EQ(m_reader.GetRow(1), (Row {"13800138000", "张三", "1990-07-15", "2.5"}));
    EXPECT_EQ(m_reader.GetRow(2), (Row {"13900139000", "李四", "2024-02-29", "-7"}));
    EXPECT_EQ(m_reader.GetRow(3), (Row {"", "王五", "2024-03-05 09:00:00", "0.1"}));
    EXPECT_EQ(m_reader.GetRow(4), Row {});
    EXPECT_EQ(m_reader.GetCell(99, 0), "");
    EXPECT_EQ(m_reader.GetColumnOfHeader(" 生日 "), 2);
    EXPECT_EQ(m_reader.GetColumnOfHeader("组别"), -1);
    EXPECT_EQ(m_reader.GetColumnOfHeader(""), -1);
}

TEST_F(SpreadsheetReaderTest, SwitchesBetweenSheets)
{
    ASSERT_TRUE(m_reader.SelectSheet(std::size_t {2}));
    EXPECT_EQ(m_reader.GetColumnCount(), 6u);
    EXPECT_EQ(m_reader.GetRow(0), Row(6));
    EXPECT_EQ(m_reader.GetCell(4, 5), "末格");
    EXPECT_FALSE(m_reader.SelectSheet(std::size_t {3}));
    EXPECT_FALSE(m_reader.SelectSheet("没有"));
    EXPECT_EQ(m_reader.GetCurrentSheet(), 2u);
    ASSERT_TRUE(m_reader.SelectSheet("空表"));
    EXPECT_EQ(m_reader.GetColumnOfHeader("手机"), -1);
}

// names.ods and names.xls hold the same cells; make_fixtures.py writes both.
class SpreadsheetReaderFixtureTest : public ::testing::TestWithParam<const char*>
{
};

TEST_P(SpreadsheetReaderFixtureTest, ReadsCellsAndDates)
{
    CSpreadsheetReader reader;
    ASSERT_TRUE(reader.Open(std::string(TELVORA_CONTACTS_TEST_DATA "/") + GetParam())) << reader.GetLastError();
    EXPECT_EQ(reader.GetSheetNames(), (Row {"名单", "空表"}));
    EXPECT_EQ(reader.GetRow(0), (Row {"手机", "生日"}));
    EXPECT_EQ(reader.GetRow(1), (Row {"13800138000", "1990-07-15"}));
    EXPECT_EQ(reader.GetRow(2), (Row {"13900139000", "3.25"}));
    ASSERT_TRUE(reader.SelectSheet("空表"));
    EXPECT_EQ(reader.GetRowCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Formats, SpreadsheetReaderFixtureTest, ::testing::Values("names.ods", "names.xls"),
    [](const auto& info) { return std::string(info.param).substr(6); });

TEST(SpreadsheetReaderCsvTest, ReadsCsvInUtf8AndGbk)
{
    test::TempDir dir;
    writeBytes(
        dir.file("utf8.csv"), "\xEF\xBB\xBF手机,姓名\r\n13800138000, \"张,三\" \r\n\"13900139000\",\"说\"\"好\"\"\"\n");
    writeBytes(
        dir.file("gbk.CSV"), "\xCA\xD6\xBB\xFA;\xD0\xD5\xC3\xFB\n13800138000;\xD5\xC5\xC8\xFD\n"); // 手机;姓名 / 张三
    CSpreadsheetReader reader;
    ASSERT_TRUE(reader.Open(dir.file("utf8.csv"))) << reader.GetLastError();
    EXPECT_EQ(reader.GetSheetNames(), Row {"utf8"});
    EXPECT_EQ(reader.GetRow(1), (Row {"13800138000", "张,三"}));
    EXPECT_EQ(reader.GetRow(2), (Row {"13900139000", "说\"好\""}));
    ASSERT_TRUE(reader.Open(dir.file("gbk.CSV"))) << reader.GetLastError();
    EXPECT_EQ(reader.GetColumnOfHeader("姓名"), 1);
    EXPECT_EQ(reader.GetRow(1), (Row {"13800138000", "张三"}));
}

// Deterministic noise: the same bytes on every run.
std::string noise(std::size_t count)
{
    std::string bytes;
    for (std::minstd_rand random(42); bytes.size() < count;) {
        bytes += static_cast<char>(random());
    }
    return bytes;
}

struct BadFile
{
    const char* name;
    const char* fileName;
    std::string bytes; // "<missing>": no file; "<truncated>": half a real workbook
};

class SpreadsheetReaderBadFileTest : public ::testing::TestWithParam<BadFile>
{
};

TEST_P(SpreadsheetReaderBadFileTest, RefusesWithAReason)
{
    test::TempDir dir;
    const std::string path = dir.file(GetParam().fileName);
    std::string bytes = GetParam().bytes;
    if (bytes == "<truncated>") {
        test::XlsxFixture(path).sheet("a").number(0, 0, 13800138000.0);
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
        bytes.resize(bytes.size() / 2);
    }
    if (bytes != "<missing>") {
        writeBytes(path, bytes);
    }
    CSpreadsheetReader reader;
    EXPECT_FALSE(reader.Open(path));
    EXPECT_FALSE(reader.GetLastError().empty());
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(reader.GetSheetNames(), Row {});
    EXPECT_EQ(reader.GetRow(0), Row {});
}

INSTANTIATE_TEST_SUITE_P(Files, SpreadsheetReaderBadFileTest,
    ::testing::Values(BadFile {"missing", "none.xlsx", "<missing>"}, BadFile {"empty", "empty.xlsx", ""},
        BadFile {"truncated_zip", "cut.xlsx", "<truncated>"}, BadFile {"random_ods", "random.ods", noise(5000)},
        BadFile {"zip_magic_then_noise", "noise.xlsx", "PK\x03\x04" + noise(3000)},
        BadFile {"ole2_magic_then_noise", "noise.xls", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + noise(3000)},
        BadFile {"plain_text_named_xlsx", "text.xlsx", "13800138000\n"},
        BadFile {"binary_csv", "binary.csv", std::string("a,b\0c", 5)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SpreadsheetReaderFormatTest, NumberEdgesAndColumnLetters)
{
    EXPECT_EQ(FormatSpreadsheetNumber(-0.0), "0");
    EXPECT_EQ(FormatSpreadsheetNumber(1e20), "1e+20");
    EXPECT_EQ(SpreadsheetColumnIndex("i"), 8);
    EXPECT_EQ(SpreadsheetColumnIndex("AB"), 27);
    EXPECT_EQ(SpreadsheetColumnIndex(""), -1);
    EXPECT_EQ(SpreadsheetColumnIndex("A1"), -1);
}

} // namespace
} // namespace telvora
