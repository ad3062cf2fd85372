#include "records/RecordTexts.h"

#include "records/SendHistory.h"
#include "records/SendLedger.h"

namespace telvora {

std::string SendModeText(int sendMode)
{
    switch (sendMode) {
    case 1:
        return "普通短信";
    case 2:
        return "生日短信";
    case 3:
        return "提醒短信";
    case kPersonalisedSendMode:
        return "EXCEL短信";
    default:
        return std::to_string(sendMode);
    }
}

std::string ScheduledStatusText(const SendRecord& record, const DateTime& now)
{
    if (record.status == kCancelledStatus)
        return kCancelledStatus;
    return record.sendTime < now ? kScheduledSentStatus : kScheduledPendingStatus;
}

bool MayRemoveScheduled(const SendRecord& record, const DateTime& now)
{
    return ScheduledStatusText(record, now) != kScheduledPendingStatus;
}

std::string DetailStatusText(int status)
{
    switch (status) {
    case kDetailAccepted:
        return "发送成功";
    case kDetailNotPosted:
        return "未发送";
    case kDetailUnknown:
        return "结果未知";
    default:
        return "发送异常";
    }
}

DetailShown ShowDetail(int sendMode, const std::string& detailContent, const std::string& recordContent)
{
    if (sendMode == kPersonalisedSendMode)
        return {.name = {}, .message = detailContent.empty() ? recordContent : detailContent};
    if (detailContent.empty())
        return {.name = {}, .message = recordContent};
    return {.name = detailContent, .message = detailContent + "：" + recordContent};
}

} // namespace telvora
