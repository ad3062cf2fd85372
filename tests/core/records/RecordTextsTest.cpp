#include "records/RecordTexts.h"

#include "records/SendHistory.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

struct ShownCase
{
    const char* name;
    int mode;
    std::string detail;
    std::string expectedName;
    std::string expectedMessage;
};

class ShowDetailTest : public testing::TestWithParam<ShownCase>
{
};

TEST_P(ShowDetailTest, DecidesByTheSendMode)
{
    const ShownCase& c = GetParam();
    const DetailShown shown = ShowDetail(c.mode, c.detail, "会议改到周五");
    EXPECT_EQ(shown.name, c.expectedName);
    EXPECT_EQ(shown.message, c.expectedMessage);
}

INSTANTIATE_TEST_SUITE_P(Rows, ShowDetailTest,
    testing::Values(ShownCase {"no_name", 1, "", "", "会议改到周五"},
        ShownCase {"two_character_name", 1, "张三", "张三", "张三：会议改到周五"},
        // Six bytes in the old code page, once taken for a personalised text.
        ShownCase {"three_character_name", 2, "欧阳娜", "欧阳娜", "欧阳娜：会议改到周五"},
        ShownCase {"long_name_of_a_reminder", 3, "Dr. Alexander", "Dr. Alexander", "Dr. Alexander：会议改到周五"},
        ShownCase {"personalised_short_text", 4, "您好", "", "您好"},
        ShownCase {"personalised_without_text", 4, "", "", "会议改到周五"}),
    [](const testing::TestParamInfo<ShownCase>& info) { return info.param.name; });

TEST(RecordTextsTest, ScheduledStatusFollowsTheClockUnlessCancelled)
{
    const DateTime now = DateTime::fromFields(2026, 12, 6, 12, 0, 0);
    SendRecord record;
    record.scheduled = true;
    record.status = "已发送";
    record.sendTime = now;
    EXPECT_EQ(ScheduledStatusText(record, now), "已提交") << "equal counts as not before";
    EXPECT_FALSE(MayRemoveScheduled(record, now));
    record.sendTime = now.addSeconds(-1);
    EXPECT_EQ(ScheduledStatusText(record, now), "已发送");
    EXPECT_TRUE(MayRemoveScheduled(record, now));
    record.sendTime = now.addDays(1);
    record.status = "定时已取消";
    EXPECT_EQ(ScheduledStatusText(record, now), "定时已取消");
    EXPECT_TRUE(MayRemoveScheduled(record, now));
}

} // namespace
} // namespace telvora
