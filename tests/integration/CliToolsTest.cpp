#include "CliHarness.h"

#include <fstream>

namespace telvora::test {
namespace {

using CliTools = CliHarness;

void write(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// Appending on a second run is the division test's; here the shipped regions and the listing.
TEST_F(CliTools, DivideByProvinceWritesOneFilePerProvince)
{
    const std::string numbers = work.file("in.txt");
    write(numbers, "13800138000\n8613410012345\n19912345678\n01012345678\n13900000000x\n");
    const std::string base = work.file("所属区域");
    const CliResult result = run({"divide", "--by", "province", numbers, base});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, base + "未知省份号码(1).txt\t1\n" + base + "北京(1).txt\t1\n" + base + "广东(1).txt\t1\n");
    EXPECT_EQ(readFile(base + "广东(1).txt"), "13410012345\n");
}

TEST_F(CliTools, DivideRefusalsAndFailures)
{
    const std::string numbers = work.file("in.txt");
    write(numbers, "13800138000\n");
    write(work.file("none.txt"), "01012345678\n");
    struct Row
    {
        const char* name;
        std::vector<std::string> arguments;
        int exitCode;
        std::string err;
    };
    const Row rows[] = {
        {"blank_name", {"divide", "--extract", "  ", numbers, work.file("x")}, 2, "请输入需要提取的省/市名称！\n"},
        {"no_numbers", {"divide", "--remove", "广东", work.file("none.txt"), work.file("x")}, 2,
            "请先选择一个需要分离号码的文件！\n"},
        {"missing_file", {"divide", "--by", "city", work.file("absent.txt"), work.file("x")}, 3,
            "打开加载文件[" + work.file("absent.txt") + "]失败!\n"},
        {"unwritable", {"divide", "--by", "carrier", numbers, work.file("no/dir")}, 3, "创建导出文件失败!\n"},
        {"two_modes", {"divide", "--by", "city", "--remove", "x", numbers, work.file("x")}, 2, ""},
        {"bad_by", {"divide", "--by", "street", numbers, work.file("x")}, 2, ""},
    };
    for (const Row& row : rows) {
        const CliResult result = run(row.arguments);
        EXPECT_EQ(result.exitCode, row.exitCode) << row.name;
        if (!row.err.empty()) {
            EXPECT_EQ(result.err, row.err) << row.name;
        }
    }
    const CliResult extracted = run({"divide", "--extract", "北京市", numbers, work.file("京")});
    ASSERT_EQ(extracted.exitCode, 0) << extracted.err;
    EXPECT_EQ(readFile(work.file("京(1).txt")), "13800138000\n");
}

TEST_F(CliTools, UnsentAppendsTheMultisetDifference)
{
    write(work.file("all.txt"), "13900000003\n13900000001\n13900000001\n13900000002\nshort\n");
    write(work.file("sent.txt"), "13900000001\n13900000002\n");
    write(work.file("out.txt"), "old\n");
    const CliResult result = run({"unsent", work.file("all.txt"), work.file("sent.txt"), work.file("out.txt")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, work.file("out.txt") + "\t2\n");
    EXPECT_EQ(readFile(work.file("out.txt")), "old\n13900000001\n13900000003\n");

    EXPECT_EQ(run({"unsent", work.file("all.txt"), work.file("absent.txt"), work.file("out.txt")}).exitCode, 3);
    EXPECT_EQ(run({"unsent", work.file("all.txt")}).exitCode, 2);
}

TEST_F(CliTools, RegionPrintsProvinceCityAndCarrier)
{
    const CliResult result = run({"region", "13800138000", "19912345678", "14912345678", "abc"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "13800138000\t北京\t北京\t移动\n19912345678\t\t\t电信\n14912345678\t\t\t-\nabc\t\t\t-\n");
    EXPECT_EQ(run({"region"}).exitCode, 2);
}

TEST_F(CliTools, PhrasesOnTheLastUsersDatabase)
{
    EXPECT_EQ(run({"phrases", "list"}).exitCode, 3) << "no user has logged in yet";
    ASSERT_EQ(run(loggedIn("login")).exitCode, 0);

    ASSERT_EQ(run({"phrases", "add", "--group", "问候", "--text", "It's fine", "--title", "t"}).exitCode, 0);
    const CliResult empty = run({"phrases", "add", "--group", "问候", "--text", " "});
    EXPECT_EQ(empty.exitCode, 2);
    EXPECT_EQ(empty.err, "短语内容不能为空!\n");

    write(work.file("节日.csv"), "内容\n新年快乐\n");
    EXPECT_EQ(run({"phrases", "import", work.file("节日.csv")}).out, "imported=1\n");

    const CliResult listed = run({"phrases", "list", "--group", "问候"});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_NE(listed.out.find("\t问候\tt\tIt's fine\n"), std::string::npos) << listed.out;
    EXPECT_EQ(listed.out.find("新年快乐"), std::string::npos) << "another group";
    EXPECT_EQ(run({"phrases", "import"}).exitCode, 2);
    EXPECT_EQ(run({"phrases", "add", "--text", "x"}).exitCode, 2);
}

} // namespace
} // namespace telvora::test
