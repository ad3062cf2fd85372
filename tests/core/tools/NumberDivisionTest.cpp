#include "tools/NumberDivision.h"

#include "ToolsFixture.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

class NumberDivisionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::string path = test::makeSegmentDatabase(m_temp,
            "INSERT INTO mobileSegment VALUES ('广东', '深圳', '1380000');"
            "INSERT INTO mobileSegment VALUES ('广东', '广州', '1390000');"
            "INSERT INTO mobileSegment VALUES ('湖南', '长沙', '1890000');"
            "INSERT INTO mobileSegment VALUES ('北京', '北京', '1300000');");
        ASSERT_TRUE(m_regions.LoadFile(path));
    }

    std::string load(const std::string& text)
    {
        test::writeText(m_temp.file("in.txt"), text);
        return m_temp.file("in.txt");
    }

    test::TempDir m_temp;
    CRegionTable m_regions;
};

TEST_F(NumberDivisionTest, LoadingKeepsValidNumbersAndDropsACountryCode)
{
    CNumberDivision division(m_regions);
    const NumberFileResult result = division.LoadFile(
        load("8613800001111\n  13900001111 \n01012345678\n1391234567a\n19912345678\r\n\n8618900001111\n"));
    EXPECT_EQ(result.status, NumberFileResult::Status::Loaded);
    EXPECT_EQ(division.GetNumbers().numbers,
        (std::vector<std::string> {"13800001111", "13900001111", "19912345678", "18900001111"}));
    EXPECT_EQ(division.GetNumbers().counts, (CarrierCounts {2, 0, 2}));

    // A second file replaces the first.
    EXPECT_EQ(division.LoadFile(load("01012345678\n")).status, NumberFileResult::Status::NotFound);
    EXPECT_TRUE(division.GetNumbers().numbers.empty());
    const NumberFileResult missing = division.LoadFile(m_temp.file("absent.txt"));
    EXPECT_EQ(missing.status, NumberFileResult::Status::OpenFailed);
    EXPECT_EQ(missing.message, "打开加载文件[" + m_temp.file("absent.txt") + "]失败!");
}

TEST_F(NumberDivisionTest, ByProvinceTwiceDoublesEveryFile)
{
    CNumberDivision division(m_regions);
    division.LoadFile(load("13800001111\n13900002222\n18900003333\n19912345678\n13800004444\n"));
    const std::string base = m_temp.file("所属区域");
    for (int run = 0; run < 2; ++run) {
        const DivisionOutcome outcome = division.WriteFiles(DivisionMode::ByProvince, {}, base);
        ASSERT_TRUE(outcome.ok);
        EXPECT_EQ(outcome.message, "分离手机号码列表完成!");
        ASSERT_EQ(outcome.files.size(), 3u);
        EXPECT_EQ(outcome.files[0].path, base + "未知省份号码(1).txt");
    }
    EXPECT_EQ(test::readText(base + "广东(3).txt"),
        "13800001111\n13900002222\n13800004444\n13800001111\n13900002222\n13800004444\n");
    EXPECT_EQ(test::readText(base + "湖南(1).txt"), "18900003333\n18900003333\n");
    EXPECT_EQ(test::readText(base + "未知省份号码(1).txt"), "19912345678\n19912345678\n");
}

TEST_F(NumberDivisionTest, ByCityAndByCarrierFiles)
{
    CNumberDivision division(m_regions);
    division.LoadFile(load("13800001111\n13900002222\n13000003333\n19912345678\n"));
    const std::string base = m_temp.file("out");
    ASSERT_TRUE(division.WriteFiles(DivisionMode::ByCity, {}, base).ok);
    EXPECT_EQ(test::readText(base + "深圳(1).txt"), "13800001111\n");
    EXPECT_EQ(test::readText(base + "广州(1).txt"), "13900002222\n");
    EXPECT_EQ(test::readText(base + "未知城市号码(1).txt"), "19912345678\n");

    const DivisionOutcome carriers = division.WriteFiles(DivisionMode::ByCarrier, {}, base);
    ASSERT_EQ(carriers.files.size(), 3u);
    EXPECT_EQ(test::readText(base + "-移动.txt"), "13800001111\n13900002222\n");
    EXPECT_EQ(test::readText(base + "-联通.txt"), "13000003333\n");
    EXPECT_EQ(test::readText(base + "-电信.txt"), "19912345678\n");
}

TEST(NumberDivisionRules, WhichRegionsANameSelectsOrKeeps)
{
    struct Row
    {
        const char* name;
        Region region;
        bool selects;
        bool retains;
    };
    const Row rows[] = {
        {"广东", {"广东", "深圳"}, true, false},
        {"广东省", {"广东", "深圳"}, true, true}, // contains the province; not equal to it
        {"深圳", {"广东", "深圳"}, true, false},
        {"广东深圳", {"广东", "深圳"}, true, true},
        {"广", {"广东", "深圳"}, false, true},
        {"湖南", {"广东", "深圳"}, false, true},
        {"广东", {"", ""}, false, true}, // unknown segment
        {"广东", {"广东", ""}, false, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CNumberDivision::Selects(row.region, row.name), row.selects) << row.name;
        EXPECT_EQ(CNumberDivision::Retains(row.region, row.name), row.retains) << row.name;
    }
}

TEST_F(NumberDivisionTest, ExtractAndRemoveWriteOneFileAndFilterTheSendList)
{
    CNumberDivision division(m_regions);
    division.SetNumbers({"13800001111", "13900002222", "18900003333", "19912345678", "bad"});
    const std::string base = m_temp.file("r");
    const DivisionOutcome extracted = division.WriteFiles(DivisionMode::Extract, "广东省", base);
    ASSERT_EQ(extracted.files.size(), 1u);
    EXPECT_EQ(extracted.files[0].path, base + "(2).txt");
    EXPECT_EQ(test::readText(base + "(2).txt"), "13800001111\n13900002222\n");

    const CollectedNumbers kept = division.Filter(DivisionMode::Remove, "广东");
    EXPECT_EQ(kept.numbers, (std::vector<std::string> {"18900003333", "19912345678"}));
    EXPECT_EQ(kept.counts, (CarrierCounts {0, 0, 2}));
    EXPECT_EQ(division.Filter(DivisionMode::Extract, "长沙").numbers, (std::vector<std::string> {"18900003333"}));
}

TEST_F(NumberDivisionTest, StartChecksAndUnwritableBase)
{
    CNumberDivision division(m_regions);
    EXPECT_EQ(division.CheckStart(DivisionMode::ByProvince, {}), "请先选择一个需要分离号码的文件！");
    division.SetNumbers({"13800001111"});
    EXPECT_EQ(division.CheckStart(DivisionMode::ByProvince, {}), "");
    EXPECT_EQ(division.CheckStart(DivisionMode::Extract, {}), "请输入需要提取的省/市名称！");
    EXPECT_EQ(division.CheckStart(DivisionMode::Remove, {}), "请输入需要去除的的省/市名称！");

    const DivisionOutcome outcome
        = division.WriteFiles(DivisionMode::ByCarrier, {}, m_temp.file("no-such-directory/out"));
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.message, "创建导出文件失败!");
    EXPECT_TRUE(outcome.files.empty());
}

} // namespace
} // namespace telvora
