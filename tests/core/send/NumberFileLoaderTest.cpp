#include "send/NumberFileLoader.h"

#include "support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace telvora {
namespace {

using Status = NumberFileResult::Status;
using Numbers = std::vector<std::string>;

const std::string kNotFound = "该文件没有找到可以加载的手机号码!";

// ASCII text as UTF-16LE with its byte order mark.
std::string utf16le(std::string_view ascii)
{
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

// ---------------------------------------------------------------- one line

struct LineCase
{
    const char* name;
    std::string line;
    Numbers expected;
};

class ScanLineTest : public testing::TestWithParam<LineCase>
{
};

TEST_P(ScanLineTest, FindsNumbers)
{
    CollectedNumbers found;
    CNumberFileLoader::scanLine(GetParam().line, found);
    EXPECT_EQ(found.numbers, GetParam().expected);
    EXPECT_EQ(found.counts.total(), GetParam().expected.size());
}

INSTANTIATE_TEST_SUITE_P(Table, ScanLineTest,
    testing::Values(LineCase {"plain", "13912345678", {"13912345678"}},
        LineCase {"two_joined_by_comma", "13912345678,18912345678", {"13912345678", "18912345678"}},
        LineCase {"prefix_order_not_line_order", "17012345678;15912345678;13912345678",
            {"13912345678", "15912345678", "17012345678"}},
        LineCase {"with_name", "张三 13912345678 北京", {"13912345678"}},
        LineCase {"country_code", "+8613912345678", {"13912345678"}},
        LineCase {"same_number_twice", "13912345678,13912345678", {"13912345678", "13912345678"}},
        LineCase {"ten_digits_and_letter", "1391234567a", {}}, LineCase {"invalid_prefix", "14912345678", {}},
        LineCase {"spaced_digits", "139 1234 5678", {}},
        LineCase {"false_start_then_number", "13a13912345678", {"13912345678"}}, LineCase {"empty", "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- whole files

class NumberFileLoaderTest : public testing::Test
{
protected:
    std::string write(const std::string& name, const std::string& bytes)
    {
        const std::string path = m_dir.file(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    test::TempDir m_dir;
    CNumberFileLoader m_loader;
};

struct FileCase
{
    const char* name;
    std::string bytes;
    Status status;
    Numbers numbers;
    TextEncoding encoding;
};

class NumberFileContentTest : public NumberFileLoaderTest, public testing::WithParamInterface<FileCase>
{
};

TEST_P(NumberFileContentTest, LoadsWhatTheFileHolds)
{
    const NumberFileResult result = m_loader.loadTextFile(write("numbers.txt", GetParam().bytes));
    EXPECT_EQ(result.status, GetParam().status);
    EXPECT_EQ(result.found.numbers, GetParam().numbers);
    EXPECT_EQ(result.encoding, GetParam().encoding);
    if (GetParam().status == Status::NotFound) {
        EXPECT_EQ(result.message, kNotFound);
    } else {
        EXPECT_EQ(result.message, "您已成功加载[" + std::to_string(GetParam().numbers.size()) + "]个手机号码!");
    }
}

INSTANTIATE_TEST_SUITE_P(Table, NumberFileContentTest,
    testing::Values(FileCase {"utf8_mark_crlf", "\xEF\xBB\xBF张三,13912345678\r\n李四,18912345678\r\n", Status::Loaded,
                        {"13912345678", "18912345678"}, TextEncoding::Utf8},
        FileCase {"gbk_crlf", "\xD5\xC5\xC8\xFD,13912345678\r\n\xC0\xEE\xCB\xC4,13012345678\r\n", Status::Loaded,
            {"13912345678", "13012345678"}, TextEncoding::Gbk},
        FileCase {"blank_lines", "\n\n13912345678\n\r\n   \n18912345678", Status::Loaded,
            {"13912345678", "18912345678"}, TextEncoding::Utf8},
        FileCase {"last_line_without_break", "13912345678\n15912345678", Status::Loaded, {"13912345678", "15912345678"},
            TextEncoding::Utf8},
        FileCase {
            "utf16le_with_mark", utf16le("13900000001\n"), Status::Loaded, {"13900000001"}, TextEncoding::Utf16Le},
        FileCase {"empty", "", Status::NotFound, {}, TextEncoding::Empty},
        FileCase {"only_mark", "\xEF\xBB\xBF", Status::NotFound, {}, TextEncoding::Empty},
        FileCase {"no_numbers", "姓名,电话\n张三,010-12345678\n", Status::NotFound, {}, TextEncoding::Utf8},
        FileCase {"binary_garbage",
            std::string("\x7F"
                        "ELF\x02\x01\x01\0\0\0"
                        "13912345678\0\xFF\xFE",
                24),
            Status::NotFound, {}, TextEncoding::Binary}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NumberFileLoaderTest, CountsCarriers)
{
    const NumberFileResult result
        = m_loader.loadTextFile(write("n.txt", "13912345678\n13012345678\n18912345678\n13912345678\n"));
    EXPECT_EQ(result.found.counts, (CarrierCounts {2, 1, 1}));
    EXPECT_EQ(result.lines, 4u);
}

TEST_F(NumberFileLoaderTest, MissingFileOrDirectoryCannotBeOpened)
{
    const std::string path = m_dir.file("missing.txt");
    const NumberFileResult result = m_loader.loadTextFile(path);
    EXPECT_EQ(result.status, Status::OpenFailed);
    EXPECT_EQ(result.message, "打开加载文件[" + path + "]失败!");
    EXPECT_EQ(m_loader.loadTextFile(m_dir.path().string()).status, Status::OpenFailed);
}

// Enough lines to span several read pieces, with GBK names so pieces split characters.
TEST_F(NumberFileLoaderTest, LargeGbkFileAcrossPieces)
{
    std::string bytes;
    constexpr int kLines = 60000;
    for (int i = 0; i < kLines; ++i) {
        bytes += "\xD5\xC5\xC8\xFD," + std::to_string(13900000000LL + i) + "\r\n";
    }
    std::vector<NumberFileProgress> reports;
    m_loader.setProgressCallback([&](const NumberFileProgress& progress) { reports.push_back(progress); });
    const NumberFileResult result = m_loader.loadTextFile(write("big.txt", bytes));

    EXPECT_EQ(result.status, Status::Loaded);
    EXPECT_EQ(result.encoding, TextEncoding::Gbk);
    ASSERT_EQ(result.found.numbers.size(), static_cast<std::size_t>(kLines));
    EXPECT_EQ(result.found.numbers.front(), "13900000000");
    EXPECT_EQ(result.found.numbers.back(), std::to_string(13900000000LL + kLines - 1));
    ASSERT_GT(reports.size(), 2u);
    EXPECT_EQ(reports.back().lines, static_cast<std::size_t>(kLines));
    EXPECT_EQ(reports.back().bytesRead, bytes.size());
    EXPECT_EQ(reports.back().totalBytes, bytes.size());
}

TEST_F(NumberFileLoaderTest, CancelWhileReadingStopsAndAddsNothing)
{
    std::string bytes;
    for (int i = 0; i < 100000; ++i) {
        bytes += "13912345678\n";
    }
    std::atomic<bool> cancel {false};
    int reports = 0;
    m_loader.setCancelFlag(&cancel);
    m_loader.setProgressCallback([&](const NumberFileProgress&) {
        ++reports;
        cancel = true;
    });
    const NumberFileResult result = m_loader.loadTextFile(write("n.txt", bytes));
    EXPECT_EQ(result.status, Status::Cancelled);
    EXPECT_TRUE(result.found.numbers.empty());
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(result.message, "");
}

// ---------------------------------------------------------------- file kinds

TEST(NumberFileKind, ByExtensionInAnyCase)
{
    EXPECT_EQ(NumberFileKindOf("/a/b/n.txt"), NumberFileKind::Text);
    EXPECT_EQ(NumberFileKindOf("N.TXT"), NumberFileKind::Text);
    EXPECT_EQ(NumberFileKindOf("n.xls"), NumberFileKind::Spreadsheet);
    EXPECT_EQ(NumberFileKindOf("n.XLSX"), NumberFileKind::Spreadsheet);
    EXPECT_EQ(NumberFileKindOf("n.csv"), NumberFileKind::Unsupported);
    EXPECT_EQ(NumberFileKindOf("numbers"), NumberFileKind::Unsupported);
    EXPECT_EQ(NumberFileKindOf("dir.txt/numbers"), NumberFileKind::Unsupported);
}

} // namespace
} // namespace telvora
