#pragma once

#include "db/DateTime.h"

#include <string>
#include <string_view>

namespace telvora {

struct SendRecord;

/// send_mode of a personalised send: its detail rows carry the whole text.
inline constexpr int kPersonalisedSendMode = 4;
inline constexpr const char* kCancelledStatus = "定时已取消";
inline constexpr const char* kScheduledSentStatus = "已发送";
inline constexpr const char* kScheduledPendingStatus = "已提交";

/// "普通短信", "生日短信", "提醒短信", "EXCEL短信"; the number itself for other modes.
std::string SendModeText(int sendMode);

/// What the scheduled list shows: "定时已取消" as stored, else "已发送" once the scheduled
/// time lies before now and "已提交" until then.
std::string ScheduledStatusText(const SendRecord& record, const DateTime& now);

/// Only scheduled sends that went out or were cancelled may be deleted.
bool MayRemoveScheduled(const SendRecord& record, const DateTime& now);

/// "发送成功" (1), "未发送" (0), "结果未知" (2), "发送异常" (refused, any other value).
std::string DetailStatusText(int status);

/// A detail row's name and the message it was sent. Detail content is the personalised
/// text of a personalised send and the recipient's name otherwise.
struct DetailShown
{
    std::string name;
    std::string message;
};
DetailShown ShowDetail(int sendMode, const std::string& detailContent, const std::string& recordContent);

} // namespace telvora
