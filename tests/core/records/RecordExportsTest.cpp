#include "records/RecordExports.h"

#include "contacts/CardExporter.h"
#include "core/app/AppTestSupport.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace telvora {
namespace {

constexpr const char* kMark = "\xEF\xBB\xBF";

class RecordExportsTest : public test::WorkDatabaseTest
{
protected:
    void record(int id, int mode, bool scheduled, const std::string& content)
    {
        ASSERT_TRUE(db().Execute("INSERT INTO tbl_sendsms (id, send_mode, content, success_count, fail_count, "
                                 "send_time, is_idle) VALUES ("
            + std::to_string(id) + ", " + std::to_string(mode) + ", '" + content + "', 3, 1, '2026-12-0"
            + std::to_string(id) + " 08:0" + std::to_string(id) + ":00', " + (scheduled ? "TRUE" : "FALSE") + ")"));
    }
    void detail(int id, int group, int status, const std::string& content)
    {
        ASSERT_TRUE(db().Execute("INSERT INTO tbl_sendsms_detail (id, group_id, phones, status, split_count, "
                                 "send_time, content) VALUES ("
            + std::to_string(id) + ", " + std::to_string(group) + ", '138000000" + std::to_string(id) + "', "
            + std::to_string(status) + ", 2, '2026-12-01 09:15:42', '" + content + "')"));
    }
    std::string exported(const SheetQuery& query)
    {
        const std::string path = m_temp.file("out.csv");
        CCardExporter exporter(db());
        EXPECT_EQ(exporter.ExportQuery(query, path), CCardExporter::Result::Done) << exporter.GetLastError();
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST_F(RecordExportsTest, SendListTakesEveryRecordOfItsKindOldestFirst)
{
    record(3, 4, false, "个性化");
    record(1, 1, false, "it''s, \"ok\"");
    record(2, 2, false, "生日快乐");
    record(4, 1, true, "定时");
    const std::string header = std::string(kMark) + "发送模式,短信内容,成功条数,失败条数,发送日期\r\n";
    // Mode 2 is a birthday greeting in the list but "定时发送" in the sheet, as it always was.
    EXPECT_EQ(exported(SendListExport(false)),
        header
            + "普通发送,\"it's, \"\"ok\"\"\",3,1,2026-12-01 08:01\r\n"
              "定时发送,生日快乐,3,1,2026-12-02 08:02\r\n"
              ",个性化,3,1,2026-12-03 08:03\r\n");
    EXPECT_EQ(exported(SendListExport(true)), header + "普通发送,定时,3,1,2026-12-04 08:04\r\n");
    EXPECT_EQ(SendListExport(true).title, "短信发送记录");
}

TEST_F(RecordExportsTest, EmptyListWritesTheCaptionsOnly)
{
    EXPECT_EQ(exported(SendListExport(true)), std::string(kMark) + "发送模式,短信内容,成功条数,失败条数,发送日期\r\n");
    EXPECT_EQ(exported(DetailExport(9, 1)), std::string(kMark) + "发送状态,手机号码,短信分段,发送日期,短信内容\r\n");
}

struct DetailCase
{
    const char* name;
    int sendMode;
    const char* lastColumn; // of the first row
};

class DetailExportTest : public RecordExportsTest, public ::testing::WithParamInterface<DetailCase>
{
};

TEST_P(DetailExportTest, ContentFollowsTheSendModeAndStatusesKeepTheirMeaning)
{
    record(1, GetParam().sendMode, false, "周末见");
    // A three-character name is as long as a short personalised text: only the mode tells.
    detail(11, 1, 1, "王小二");
    detail(12, 1, -1, "O''Neil");
    detail(13, 1, 0, "");
    detail(14, 1, 2, "");
    detail(15, 2, 1, "another record");
    const std::string text = exported(DetailExport(1, GetParam().sendMode));
    const std::string firstRow = std::string("提交成功,13800000011,2,2026-12-01 09:15:42,") + GetParam().lastColumn;
    EXPECT_NE(text.find(firstRow + "\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n提交异常,13800000012,"), std::string::npos);
    EXPECT_NE(text.find("\r\n未发送,13800000013,"), std::string::npos);
    EXPECT_NE(text.find("\r\n结果未知,13800000014,"), std::string::npos);
    EXPECT_EQ(text.find("13800000015"), std::string::npos) << "rows of another record";
    EXPECT_LT(text.find("13800000011"), text.find("13800000014"));
}

INSTANTIATE_TEST_SUITE_P(Modes, DetailExportTest,
    ::testing::Values(DetailCase {"ordinary", 1, "周末见"}, DetailCase {"reminder", 3, "周末见"},
        DetailCase {"personalised", 4, "王小二"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecordExportsTest, PersonalisedTextKeepsApostrophes)
{
    record(1, 4, false, "模板");
    detail(11, 1, 1, "Dear O''Neil, it''s ready");
    EXPECT_NE(exported(DetailExport(1, 4)).find(",\"Dear O'Neil, it's ready\"\r\n"), std::string::npos);
}

} // namespace
} // namespace telvora
