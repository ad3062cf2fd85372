#include "tools/UnsentExtraction.h"

#include "ToolsFixture.h"
#include "tools/NumberTextFile.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

using Lines = std::vector<std::string>;

Lines owned(const std::vector<std::string_view>& views)
{
    return Lines(views.begin(), views.end());
}

TEST(SortedDifference, CountsAsMultisetsInByteOrder)
{
    struct Row
    {
        const char* name;
        Lines all;
        Lines sent;
        Lines expected;
    };
    const Row rows[] = {
        {"nothing_sent_sorts_and_keeps_duplicates", {"139", "130", "139"}, {}, {"130", "139", "139"}},
        {"m_minus_n", {"1", "1", "1", "2"}, {"1", "2", "2", "3"}, {"1", "1"}},
        {"trailing_blank_is_another_number", {"13900000001 ", "13900000002"}, {"13900000001", "13900000002 "},
            {"13900000001 ", "13900000002"}},
        {"prefix_sorts_first", {"ab\x01", "ab", std::string("ab\0", 3)}, {}, {"ab", std::string("ab\0", 3), "ab\x01"}},
        {"high_bytes_after_ascii", {"\xe5\xb9\xbf", "z"}, {}, {"z", "\xe5\xb9\xbf"}},
        {"long_lines_sort_the_same", {"13900000001-and-some-text", "13900000001", "1390000000"}, {"1390000000"},
            {"13900000001", "13900000001-and-some-text"}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(owned(SortedDifference(row.all, row.sent)), row.expected) << row.name;
    }
}

TEST(UnsentExtraction, LoadsLongerLinesAsTheyStandAndAppendsOnReload)
{
    test::TempDir temp;
    test::writeText(temp.file("all.txt"), "13900000001 \r\n123456\n1234567\n\n13900000002");
    test::writeText(temp.file("short.txt"), "12\n");
    CUnsentExtraction tool;
    EXPECT_EQ(
        tool.LoadFile(CUnsentExtraction::List::All, temp.file("all.txt")).status, NumberFileResult::Status::Loaded);
    EXPECT_EQ(
        tool.LoadFile(CUnsentExtraction::List::All, temp.file("all.txt")).status, NumberFileResult::Status::Loaded);
    EXPECT_EQ(tool.GetList(CUnsentExtraction::List::All),
        (Lines {"13900000001 ", "1234567", "13900000002", "13900000001 ", "1234567", "13900000002"}));
    EXPECT_EQ(tool.LoadFile(CUnsentExtraction::List::Sent, temp.file("short.txt")).status,
        NumberFileResult::Status::NotFound);
    const NumberFileResult missing = tool.LoadFile(CUnsentExtraction::List::Sent, temp.file("absent.txt"));
    EXPECT_EQ(missing.message, "打开加载文件[" + temp.file("absent.txt") + "]失败!");

    const std::string out = temp.file("未发送号码取提.txt");
    test::writeText(out, "kept\n");
    ASSERT_TRUE(AppendNumberLines(out, tool.Extract()));
    EXPECT_EQ(test::readText(out), "kept\n1234567\n1234567\n13900000001 \n13900000001 \n13900000002\n13900000002\n");
    EXPECT_FALSE(AppendNumberLines(temp.file("none/x.txt"), {}));
}

} // namespace
} // namespace telvora
