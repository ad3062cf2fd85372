#pragma once

#include "db/DateTime.h"

#include <string>
#include <vector>

namespace telvora {

class CADODataBase;
class CSendEngine;

/// A reminder on one of the cards' custom date fields (tbl_field_info 24 to 27): who is due
/// today, and the message sent to them automatically once a day.
struct CustomDateReminder
{
    static constexpr const char* kStatusOff = "尚未启用提醒功能";
    static constexpr const char* kStatusDone = "已启用自动发送提醒,任务已完成";
    static constexpr const char* kEmptyContent = "短信提醒内容不能为空!";

    int id = 0;
    std::string newName;
    std::string fieldName;
    bool autoSend = false; // RemainType 1
    bool insertTitle = false;
    std::string content;
    DateTime sendTime; // time of day counts
    DateTime lastSent; // AlwaysSendTime
    std::vector<std::string> phones; // due today

    enum class Run {
        AlreadySent, // sent today already
        Off,
        Sent,
        Refused, // the engine refused; the next load tries again
    };

    /// The four date fields, in id order.
    static std::vector<CustomDateReminder> LoadAll(CADODataBase& database);
    /// Fills phones with the cards whose date falls on today's month and day.
    void FindDue(CADODataBase& database, const DateTime& today);
    /// Sends today's message (scheduled for sendTime while that is still ahead) unless it
    /// went out today already or is off.
    Run SendIfDue(CADODataBase& database, CSendEngine& engine, const DateTime& now);
    /// "%s:今日共有 %d 个到期"
    std::string FieldLine() const;

    /// Stores the settings of one field; the time of day as hour and minute. The refusing
    /// message (an enabled reminder without text) or empty; a failed statement gives the
    /// database's error.
    static std::string StoreSettings(CADODataBase& database, int id, bool autoSend, bool insertTitle,
        const std::string& content, int hour, int minute);
};

} // namespace telvora
