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

TEST(ScanLine, FindsNumbers)
{
    const LineCase rows[] = {{"prefix_order_not_line_order", "17012345678;15912345678;13912345678",
                                 {"13912345678", "15912345678", "17012345678"}},
        {"with_name", "张三 13912345678 北京", {"13912345678"}}, {"country_code", "+8613912345678", {"13912345678"}},
        {"same_number_twice", "13912345678,13912345678", {"13912345678", "13912345678"}},
        {"new_prefixes_after_old", "19912345678 16612345678 13912345678",
            {"13912345678", "16612345678", "19912345678"}},
        {"invalid_prefix", "14912345678", {}}, {"spaced_digits", "139 1234 5678", {}},
        {"false_start_then_number", "13a13912345678", {"13912345678"}}, {"empty", "", {}}};
    for (const auto& row : rows) {
        CollectedNumbers found;
        CNumberFileLoader::scanLine(row.line, found);
        EXPECT_EQ(found.numbers, row.expected) << row.name;
        EXPECT_EQ(found.counts.total(), row.expected.size()) << row.name;
    }
}

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
    Numbers numbers;
    TextEncoding encoding;
};

TEST_F(NumberFileLoaderTest, LoadsWhatTheFileHolds)
{
    const FileCase rows[]
        = {{"blank_lines", "\n\n13912345678\n\r\n   \n18912345678", {"13912345678", "18912345678"}, TextEncoding::Utf8},
            {"utf16le_with_mark", utf16le("13900000001\n"), {"13900000001"}, TextEncoding::Utf16Le},
            {"no_numbers", "姓名,电话\n张三,010-12345678\n", {}, TextEncoding::Utf8},
            {"binary_garbage",
                std::string("\x7F"
                            "ELF\x02\x01\x01\0\0\0"
                            "13912345678\0\xFF\xFE",
                    24),
                {}, TextEncoding::Binary}};
    for (const FileCase& row : rows) {
        const NumberFileResult result = m_loader.loadTextFile(write("numbers.txt", row.bytes));
        const std::size_t count = row.numbers.size();
        EXPECT_EQ(result.status, count == 0 ? Status::NotFound : Status::Loaded) << row.name;
        EXPECT_EQ(result.found.numbers, row.numbers) << row.name;
        EXPECT_EQ(result.encoding, row.encoding) << row.name;
        EXPECT_EQ(result.message,
            count == 0 ? "该文件没有找到可以加载的手机号码!" : "您已成功加载[" + std::to_string(count) + "]个手机号码!")
            << row.name;
    }
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
    EXPECT_EQ(result.found.numbers.back(), std::to_string(13900000000LL + kLines - 1));
    ASSERT_GT(reports.size(), 2u);
    EXPECT_EQ(result.lines, static_cast<std::size_t>(kLines));
    EXPECT_EQ(reports.back().lines, static_cast<std::size_t>(kLines));
    EXPECT_EQ(reports.back().bytesRead, bytes.size());
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
    const std::pair<const char*, NumberFileKind> rows[]
        = {{"/a/N.TXT", NumberFileKind::Text}, {"n.XLSX", NumberFileKind::Spreadsheet},
            {"n.csv", NumberFileKind::Unsupported}, {"dir.txt/numbers", NumberFileKind::Unsupported}};
    for (const auto& [path, kind] : rows) {
        EXPECT_EQ(NumberFileKindOf(path), kind) << path;
    }
}

} // namespace
} // namespace telvora
