#include "contacts/CardExporter.h"

#include "CardTestSupport.h"
#include "contacts/FieldCatalogue.h"
#include "contacts/SpreadSheet.h"
#include "contacts/SpreadsheetReader.h"

#include <fstream>
#include <gtest/gtest.h>

namespace telvora {
namespace {

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class CardExporterTest : public test::CardDatabaseTest
{
protected:
    void SetUp() override
    {
        CardDatabaseTest::SetUp();
        folder(1, "A");
        folder(2, "B");
        card(1, "13800000001", 1);
        card(2, "13800000002", 2);
        copy(2, 1);
        ASSERT_TRUE(
            db().Execute("UPDATE tbl_card SET name = 'O''Neil, \"Bob\"', birtyday = '1990-05-03' WHERE id = 1"));
        ASSERT_TRUE(CFieldCatalogue(db()).SetCaption(2, "名 [称] \"x\""));
    }
    CCardExporter m_exporter {db()};
};

TEST_F(CardExporterTest, FolderExportUnderRenamedCaptions)
{
    const std::string path = m_temp.file("out.xlsx");
    ASSERT_EQ(m_exporter.ExportFolder(1, path), CCardExporter::Result::Done) << m_exporter.GetLastError();
    CSpreadsheetReader reader;
    ASSERT_TRUE(reader.Open(path)) << reader.GetLastError();
    EXPECT_EQ(reader.GetSheetNames(), std::vector<std::string> {"客户资料"});
    EXPECT_EQ(reader.GetRowCount(), 2U) << "home cards only";
    EXPECT_EQ(reader.GetColumnOfHeader("名 [称] \"x\""), 1);
    EXPECT_EQ(reader.GetCell(0, reader.GetColumnCount() - 1), "组名");
    EXPECT_EQ(reader.GetCell(1, 0), "13800000001");
    EXPECT_EQ(reader.GetCell(1, 1), "O'Neil, \"Bob\"");
    EXPECT_EQ(reader.GetCell(1, static_cast<std::size_t>(reader.GetColumnOfHeader("生日"))), "1990-05-03");
    EXPECT_EQ(reader.GetCell(1, reader.GetColumnCount() - 1), "A");

    ASSERT_EQ(m_exporter.ExportFolder(0, path), CCardExporter::Result::Done);
    ASSERT_TRUE(reader.Open(path));
    EXPECT_EQ(reader.GetSheetNames(), std::vector<std::string> {"所有客户资料"});
    EXPECT_EQ(reader.GetRowCount(), 3U);
}

TEST_F(CardExporterTest, CsvHasAMarkAndQuotedCells)
{
    const std::string path = m_temp.file("out.CSV");
    ASSERT_EQ(m_exporter.RunJetExport("SELECT phone AS 手机, name AS \"姓 名\" INTO [Excel 8.0;DATABASE=" + path
                  + "].[客户] FROM tbl_card ORDER BY id"),
        CCardExporter::Result::Done)
        << m_exporter.GetLastError();
    EXPECT_EQ(fileText(path), "\xEF\xBB\xBF手机,姓 名\r\n13800000001,\"O'Neil, \"\"Bob\"\"\"\r\n13800000002,\r\n");
    EXPECT_EQ(m_exporter.RunJetExport("DELETE FROM tbl_card"), CCardExporter::Result::Failed);
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_card"), "2");
}

TEST_F(CardExporterTest, CancelledExportLeavesNoFile)
{
    const std::string path = m_temp.file("out.xlsx");
    const std::atomic<bool> stop = true;
    CCardExporter exporter(db(), nullptr, &stop);
    EXPECT_EQ(exporter.ExportFolder(0, path), CCardExporter::Result::Cancelled);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(SpreadSheetTest, RefusesBadHeadersAndRows)
{
    test::TempDir temp;
    CSpreadSheet sheet;
    ASSERT_TRUE(sheet.Create(temp.file("s.xlsx"), "a/b:c*d?[e]是一个非常长的工作表名称超过三十一个字符的限制吗是的"));
    EXPECT_FALSE(sheet.AddRow({"x"}));
    EXPECT_EQ(sheet.GetLastError(), "No header row. Add header row first\n");
    EXPECT_FALSE(sheet.AddHeaders({"a", "b", "a"}));
    EXPECT_EQ(sheet.GetLastError(), "Duplicate header row field:a\n");
    ASSERT_TRUE(sheet.AddHeaders({"a", "b"}));
    EXPECT_FALSE(sheet.AddRow({"1", "2", "3"}));
    EXPECT_EQ(sheet.GetLastError(), "Number of columns to be added cannot be greater than the number of fields\n");
    EXPECT_TRUE(sheet.AddRow({"1"}));
    ASSERT_TRUE(sheet.Commit());
    CSpreadsheetReader reader;
    ASSERT_TRUE(reader.Open(temp.file("s.xlsx")));
    EXPECT_EQ(reader.GetSheetNames().front(), "a_b_c_d__e_是一个非常长的工作表名称超过三十一个字符");

    CCardExporter::Result result;
    {
        CADODataBase none;
        result = CCardExporter(none).ExportRows(temp.file("r.csv"), "导出记录", {"序号", "手机"}, {{"1", "138"}});
    }
    EXPECT_EQ(result, CCardExporter::Result::Done);
    EXPECT_EQ(fileText(temp.file("r.csv")), "\xEF\xBB\xBF序号,手机\r\n1,138\r\n");
}

} // namespace
} // namespace telvora
