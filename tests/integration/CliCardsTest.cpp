#include "CliHarness.h"
#include "core/contacts/XlsxFixture.h"

namespace telvora::test {
namespace {

class CliCards : public CliHarness
{
protected:
    void SetUp() override
    {
        CliHarness::SetUp();
        ASSERT_EQ(run(loggedIn("login")).exitCode, 0);
    }
    std::string sheet(const std::string& name, const std::vector<std::vector<std::string>>& rows)
    {
        const std::string path = work.file(name);
        XlsxFixture(path).sheet("Sheet1").texts(rows);
        return path;
    }
    // The card lines of a listing, without the caption line, each cut to its first columns.
    static std::string cards(const CliResult& listed, int columns)
    {
        std::string out;
        std::size_t start = listed.out.find('\n') + 1;
        while (start < listed.out.size()) {
            const std::size_t end = listed.out.find('\n', start);
            std::size_t cut = start;
            for (int c = 0; c < columns && cut != std::string::npos && cut < end; ++c)
                cut = listed.out.find('\t', cut + 1);
            out += listed.out.substr(start, std::min(cut, end) - start) + "\n";
            start = end + 1;
        }
        return out;
    }
};

TEST_F(CliCards, ImportMatchesCaptionsIntoAFolderNamedAfterTheFile)
{
    const std::string file = sheet("春季客户.xlsx",
        {{"手机号码", "姓名", "性别", "生日", "其他"}, {"13800000001", "王'一", "女", "1990-5-3", "x"},
            {"12345", "bad", "", "", ""}, {"13800000002", "王二 50%", "", "", ""},
            {"13800000001", "again", "", "", ""}});
    const CliResult imported = run({"cards", "import", file});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(imported.out, "导入成功客户数[2],错误或重复号码数[1]\n");
    EXPECT_EQ(query("SELECT sub_id FROM tbl_card_folder WHERE name = '春季客户'"), "0");

    const CliResult listed = run({"cards", "list", "--folder", "春季客户"});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_TRUE(listed.out.starts_with("手机\t姓名\t称呼\t性别\t加入时间\t状态\t备注\t生日\t")) << listed.out;
    // The file is read from its last row: the first row's number comes again and is refused.
    EXPECT_EQ(cards(listed, 2), "13800000001\tagain\n13800000002\t王二 50%\n");

    const CliResult where = run({"cards", "list", "--where", "姓名=50%", "--where", "phone=0000"});
    EXPECT_EQ(cards(where, 2), "13800000002\t王二 50%\n");

    const CliResult ignored = run({"cards", "import", file, "--folder", "其他", "--duplicates", "ignore"});
    EXPECT_EQ(ignored.out, "导入成功客户数[0],错误或重复号码数[3]\n");
    EXPECT_EQ(cards(run({"cards", "list", "--folder", "其他"}), 1), "") << "ignored: not listed there";
}

TEST_F(CliCards, TextAndVCardFiles)
{
    const std::string text = numbersFile({"13800000001\t张三\t女", "13800000002,李四"}, "list.txt");
    ASSERT_EQ(run({"cards", "import", text}).out, "导入成功客户数[2],错误或重复号码数[0]\n");
    const std::string vcf = work.file("phone.vcf");
    std::ofstream(vcf) << "BEGIN:VCARD\nVERSION:3.0\nFN:赵六\nTEL;TYPE=CELL:+86 13800000003\nEND:VCARD\n";
    ASSERT_EQ(run({"cards", "import", vcf, "--folder", "list"}).out, "导入成功客户数[1],错误或重复号码数[0]\n");
    EXPECT_EQ(cards(run({"cards", "list", "--folder", "list"}), 4),
        "13800000001\t张三\t\t女\n13800000002\t李四\t\t男\n13800000003\t赵六\t\t\n");
}

TEST_F(CliCards, RefusalsExitTwo)
{
    const CliResult noPhone = run({"cards", "import", sheet("x.xlsx", {{"姓名"}, {"a"}})});
    EXPECT_EQ(noPhone.exitCode, 2);
    EXPECT_EQ(noPhone.err, "[手机]列不能为空!\n");
    EXPECT_EQ(run({"cards", "import", work.file("missing.xlsx")}).exitCode, 2);
    std::ofstream(work.file("junk.xlsx")) << "not a workbook";
    EXPECT_EQ(run({"cards", "import", work.file("junk.xlsx")}).exitCode, 2);
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_card_folder"), "0") << "no folder made for a refused file";
    EXPECT_EQ(run({"cards", "list", "--folder", "nowhere"}).exitCode, 2);
    EXPECT_EQ(run({"cards", "list", "--where", "nofield=1"}).exitCode, 2);
    EXPECT_EQ(run({"cards", "list", "--duplicates", "copy", "x"}).exitCode, 2);
    EXPECT_EQ(run({"cards", "export"}).exitCode, 2);
    EXPECT_EQ(run({"cards", "list", "--user", "nobody"}).exitCode, 3);
}

TEST_F(CliCards, ExportByExtension)
{
    run({"cards", "import", numbersFile({"13800000001,O'Neil", "13800000002,\"Bob\""}, "A.txt")});
    run({"cards", "import", numbersFile({"13800000003,C"}, "B.txt")});
    const std::string csv = work.file("out.csv");
    const CliResult exported = run({"cards", "export", csv, "--folder", "A"});
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    EXPECT_EQ(exported.out, "导出目录[A]客户资料成功\n");
    const std::string text = readFile(csv);
    EXPECT_TRUE(text.starts_with("\xEF\xBB\xBF手机,姓名,")) << text;
    EXPECT_NE(text.find("\r\n13800000001,O'Neil,"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n13800000002,\"\"\"Bob\"\"\","), std::string::npos) << text;
    EXPECT_EQ(text.find("13800000003"), std::string::npos);

    const std::string xlsx = work.file("all.xlsx");
    ASSERT_EQ(run({"cards", "export", xlsx}).out, "导出所有客户资料成功\n");
    const CliResult back = run({"cards", "import", xlsx, "--folder", "again", "--duplicates", "ignore"});
    EXPECT_EQ(back.out, "导入成功客户数[0],错误或重复号码数[3]\n") << "the export reads back";
}

} // namespace
} // namespace telvora::test
