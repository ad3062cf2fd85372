#include "tools/RegionTable.h"

#include "ToolsFixture.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

TEST(RegionTable, ShippedDataNamesRegionsWithoutSuffixes)
{
    CRegionTable table;
    ASSERT_TRUE(table.LoadFile(test::builtFile("mobileArea.db"))) << table.GetLastError();
    EXPECT_GT(table.GetSegmentCount(), 300000u);
    struct Row
    {
        const char* number;
        const char* province;
        const char* city;
    };
    // 1380013 is a seven-digit entry; 1349 and 1851 come from shorter prefixes of the data.
    const Row rows[] = {{"13800138000", "北京", "北京"}, {"13410012345", "广东", "深圳"},
        {"13491234567", "北京", "北京"}, {"18519999999", "北京", "北京"}, {"13304710000", "内蒙古", "呼和浩特"},
        {"13000960000", "新疆", "乌鲁木齐"}, {"19912345678", "", ""}, {"12345", "", ""}};
    for (const Row& row : rows) {
        const Region region = table.Lookup(row.number);
        EXPECT_EQ(region.province, row.province) << row.number;
        EXPECT_EQ(region.city, row.city) << row.number;
    }
}

TEST(RegionTable, TrimsValuesAndLaterRowsWin)
{
    test::TempDir temp;
    const std::string path = test::makeSegmentDatabase(temp,
        "INSERT INTO mobileSegment VALUES (' 广东 ', '深圳 ', ' 1380000 ');"
        "INSERT INTO mobileSegment VALUES ('广东', '广州', '1380001');"
        "INSERT INTO mobileSegment VALUES ('湖南', '长沙', '1380001');");
    CRegionTable table;
    ASSERT_TRUE(table.LoadFile(path));
    EXPECT_EQ(table.Lookup("13800001234").province, "广东");
    EXPECT_EQ(table.Lookup("13800001234").city, "深圳");
    EXPECT_EQ(table.Lookup("13800011234").city, "长沙");
}

TEST(RegionTable, MissingOrForeignFileIsReported)
{
    test::TempDir temp;
    test::writeText(temp.file("junk.db"), "not a database");
    for (const std::string& path : {temp.file("absent.db"), temp.file("junk.db")}) {
        CRegionTable table;
        EXPECT_FALSE(table.LoadFile(path));
        EXPECT_EQ(table.GetLastError(), "打开号码查询数据库失败！");
    }
}

} // namespace
} // namespace telvora
