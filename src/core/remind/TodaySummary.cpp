#include "TodaySummary.h"

#include "BirthdayMatcher.h"
#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/DateTime.h"

namespace telvora {

namespace {

int count(CADODataBase& database, const std::string& sql)
{
    CADORecordset rows(&database);
    int value = 0;
    if (rows.Open(sql) && !rows.IsEOF()) {
        rows.GetFieldValue(0, value);
    }
    return value;
}

std::string dayCondition(const std::string& column, const DateTime& day)
{
    return "YEAR(" + column + ") =" + std::to_string(day.year) + "  AND MONTH(" + column
        + ") =" + std::to_string(day.month) + " AND DAY(" + column + ") =" + std::to_string(day.day);
}

} // namespace

TodaySummary TodaySummary::Load(CADODataBase& database, const DateTime& today)
{
    TodaySummary summary;
    summary.sent = count(database,
        "SELECT COUNT(split_count) FROM tbl_sendsms_detail WHERE status=1 and " + dayCondition("send_time", today));
    summary.received
        = count(database, "SELECT COUNT(*) FROM tbl_sms_recive WHERE " + dayCondition("recive_time", today));
    summary.holiday = CHolidayStore(database).Today(today);
    summary.birthdays = CBirthdayMatcher(database).CountOn(today);
    return summary;
}

std::string TodaySummary::SentLine() const
{
    return "今日已发短信 " + std::to_string(sent) + " 条,查看详细请点击...";
}

std::string TodaySummary::ReceivedLine() const
{
    return "今日回复短信 " + std::to_string(received) + " 条,查看详细请点击...";
}

std::string TodaySummary::BirthdayLine(bool autoSend) const
{
    return "今日有[" + std::to_string(birthdays) + "]位客户过生日," + (autoSend ? "已启用" : "没启用")
        + "生日祝福自动发送";
}

std::string TodaySummary::HolidayLine() const
{
    return holiday ? "今天是[" + holiday->name + "]点击发送节日祝福短信！" : "今天没有节日提醒";
}

} // namespace telvora
