#include "contacts/CardImporter.h"

#include "CardTestSupport.h"
#include "XlsxFixture.h"
#include "contacts/ProgressObserver.h"
#include "contacts/SpreadsheetReader.h"

#include <fstream>
#include <gtest/gtest.h>

namespace telvora {
namespace {

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

class CardImporterTest : public test::CardDatabaseTest
{
protected:
    void SetUp() override
    {
        CardDatabaseTest::SetUp();
        folder(1, "目标");
        folder(2, "VIP");
    }
    CSpreadsheetReader& sheet(const std::vector<std::vector<std::string>>& rows)
    {
        const std::string path = m_temp.file("cards.xlsx");
        test::XlsxFixture(path).sheet("Sheet1").texts(rows);
        EXPECT_TRUE(m_reader.Open(path)) << m_reader.GetLastError();
        return m_reader;
    }
    std::string cardOf(const std::string& phone, const std::string& columns = "name || '|' || sex || '|' || folder_id")
    {
        return query("SELECT " + columns + " FROM tbl_card WHERE phone = '" + phone + "'");
    }

    CSpreadsheetReader m_reader;
    CCardImporter m_importer {db(), m_app.GetNextCardId()};
};

TEST_F(CardImporterTest, StandardSpreadsheet)
{
    card(1, "13800000009", 1);
    const auto& reader = sheet({{"姓名", "手机", "性别", "组别", "生日", "备注"},
        {"O'Neil 😀", "13800000001", "女", "VIP", "1990-5-3", "50% \"off\""}, {"b", "12345", "女", "", "", ""},
        {"c", "13800000002", "?", "没有这个组", "not a date", ""}, {"dup", "13800000009", "男", "", "", ""}});
    const CardImportResult result = m_importer.ImportSpreadsheet(reader, 1);
    EXPECT_EQ(result.Summary(), "导入成功客户数[2],错误或重复号码数[1]");
    EXPECT_EQ(result.invalid, 1);
    EXPECT_EQ(cardOf("13800000001"), "O'Neil 😀|女|2");
    EXPECT_EQ(cardOf("13800000001", "birtyday || '|' || memos"), "1990-05-03 00:00:00|50% \"off\"");
    EXPECT_EQ(cardOf("13800000002"), "c|男|1") << "unknown group: the target folder";
    EXPECT_EQ(cardOf("13800000002", "birtyday IS NULL AND create_date IS NOT NULL"), "1");

    const auto& noPhone = sheet({{"姓名", "电话"}, {"a", "13800000003"}});
    EXPECT_EQ(m_importer.ImportSpreadsheet(noPhone, 1).status, CardImportResult::Status::NoPhoneColumn);
}

TEST_F(CardImporterTest, TextFileInGbkTwice)
{
    // "13800000001,张三" and a tab-separated line in GBK.
    const std::string path = m_temp.file("cards.txt");
    writeFile(
        path, "13800000001,\xD5\xC5\xC8\xFD\r\n13800000002\t\xC0\xEE\xCB\xC4\t\xC5\xAE\tVIP\ta\tb\r\nbad,x\r\n\r\n");
    CardImportResult result = m_importer.ImportTextFile(path, 1);
    EXPECT_EQ(result.Summary(), "导入成功客户数[2],错误或重复号码数[0]");
    EXPECT_EQ(cardOf("13800000001", "name || '|' || sex || '|' || folder_id || '|' || memos"), "张三|男|1|");
    EXPECT_EQ(cardOf("13800000002", "name || '|' || sex || '|' || folder_id || '|' || memos"), "李四|女|2|a b");

    result = m_importer.ImportTextFile(path, 1);
    EXPECT_EQ(result.Summary(), "导入成功客户数[0],错误或重复号码数[2]");
    EXPECT_EQ(result.failedPhones, (std::vector<std::string> {"13800000001", "13800000002"}));
    const std::string list = m_temp.file("failed.txt");
    std::string error;
    ASSERT_TRUE(CCardImporter::WriteFailureList(list, result.failedPhones, error));
    std::ifstream in(list);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "13800000001\n13800000002\n");

    EXPECT_EQ(m_importer.ImportTextFile(m_temp.file("missing.txt"), 1).status, CardImportResult::Status::OpenFailed);
}

struct DuplicateCase
{
    const char* name;
    DuplicateRule rule;
    int imported;
    int failed;
    const char* oldCard; // name of the card with the old number, and its folders
    const char* members;
};

class WizardDuplicateTest : public CardImporterTest, public ::testing::WithParamInterface<DuplicateCase>
{
};

TEST_P(WizardDuplicateTest, ExistingNumber)
{
    card(7, "13800000001", 2);
    ASSERT_TRUE(db().Execute("UPDATE tbl_card SET name = 'old' WHERE id = 7"));
    copy(7, 3);
    const auto& reader
        = sheet({{"手机号码", "姓名", "加入时间"}, {"13800000001", "new", ""}, {"13800000002", "x", "2020-1-2"}});
    CFieldCatalogue catalogue(db());
    const auto mapping = CCardImporter::MatchHeaders(catalogue.Load(true), reader.GetHeader());
    const CardImportResult result = m_importer.ImportMapped(reader, mapping, 1, GetParam().rule);
    EXPECT_EQ(result.imported, GetParam().imported);
    EXPECT_EQ(result.failed, GetParam().failed);
    EXPECT_EQ(result.failedPhones, std::vector<std::string> {"13800000001"});
    EXPECT_EQ(cardOf("13800000001", "name"), GetParam().oldCard);
    EXPECT_EQ(members(1), GetParam().members);
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_card_copy WHERE folder_id = 3"),
        GetParam().rule == DuplicateRule::Replace ? "0" : "1");
    EXPECT_EQ(cardOf("13800000002", "create_date"), "2020-01-02 00:00:00");
}

INSTANTIATE_TEST_SUITE_P(Rules, WizardDuplicateTest,
    ::testing::Values(DuplicateCase {"Copy", DuplicateRule::Copy, 1, 1, "old", "7,8"},
        DuplicateCase {"Replace", DuplicateRule::Replace, 2, 0, "new", "8,10"},
        DuplicateCase {"Ignore", DuplicateRule::Ignore, 1, 1, "old", "8"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CardImporterTest, WizardNeedsAPhoneColumn)
{
    const auto& reader = sheet({{"姓名"}, {"a"}});
    const auto mapping = CCardImporter::MatchHeaders(CFieldCatalogue(db()).Load(true), reader.GetHeader());
    const CardImportResult result = m_importer.ImportMapped(reader, mapping, 1, DuplicateRule::Copy);
    EXPECT_EQ(result.status, CardImportResult::Status::NoPhoneColumn);
    EXPECT_EQ(result.message, "[手机]列不能为空!");
}

TEST_F(CardImporterTest, VCardsAsPhonesExportThem)
{
    const std::string path = m_temp.file("contacts.vcf");
    writeFile(path,
        "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E7=8E=8B;=E5=B0=8F=E6=98=8E;;;\r\n"
        "TEL;CELL:+86 138-0000-0001\r\nTEL;HOME:010-12345678\r\nTEL;CELL:13800000002\r\n"
        "EMAIL;HOME:wang@example.cn\r\nORG:Acme\\, Inc.;Sales\r\nBDAY:19900503\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Zhang\r\n  San\r\nTEL;TYPE=CELL:13800000003\r\nBDAY:--0503\r\nEND:VCARD\r\n");
    const CardImportResult result = m_importer.ImportVCardFile(path, 1, DuplicateRule::Copy);
    EXPECT_EQ(result.Summary(), "导入成功客户数[3],错误或重复号码数[0]");
    EXPECT_EQ(result.invalid, 1) << "the fixed line";
    EXPECT_EQ(cardOf("13800000001", "name || '|' || email || '|' || company || '|' || birtyday || '|' || folder_id"),
        "王小明|wang@example.cn|Acme, Inc. Sales|1990-05-03 00:00:00|1");
    EXPECT_EQ(cardOf("13800000002", "name"), "王小明");
    EXPECT_EQ(cardOf("13800000003", "name || '|' || (birtyday IS NULL)"), "Zhang San|1");

    writeFile(path, "not a vcard");
    EXPECT_EQ(m_importer.ImportVCardFile(path, 1, DuplicateRule::Copy).status, CardImportResult::Status::NoPhoneColumn);
}

// Stops the import at its first progress report after the given row.
class StoppingObserver final : public CProgressObserver
{
public:
    explicit StoppingObserver(std::size_t after)
        : m_after(after)
    { }
    void progressed(std::size_t done, std::size_t) override
    {
        if (done >= m_after)
            stop = true;
    }
    std::atomic<bool> stop = false;

private:
    std::size_t m_after;
};

TEST_F(CardImporterTest, CancelledImportKeepsWhatWasWritten)
{
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += std::to_string(13800000000 + i) + ",n\n";
    const std::string path = m_temp.file("many.txt");
    writeFile(path, text);
    StoppingObserver observer(2500);
    CCardImporter importer(db(), m_app.GetNextCardId(), &observer, &observer.stop);
    const CardImportResult result = importer.ImportTextFile(path, 1);
    EXPECT_EQ(result.status, CardImportResult::Status::Cancelled);
    EXPECT_EQ(result.imported, 2500);
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_card"), "2500");
    EXPECT_EQ(query("SELECT MAX(id) - MIN(id) + 1 FROM tbl_card"), "2500") << "ids rise one by one";
}

} // namespace
} // namespace telvora
