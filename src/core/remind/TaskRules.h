#pragma once

#include "db/DateTime.h"

#include <string>
#include <vector>

namespace telvora {

/// The choices and checks of the task wizard and its SMS reminder page.
namespace TaskRules {

inline constexpr const char* kStartInPast = "任务提醒的日期必须大于当前日期!";
inline constexpr const char* kEmptyName = "任务名称不能为空!";
inline constexpr const char* kEmptyContent = "事项内容不能为空!";
inline constexpr const char* kSmsInPast = "短信提醒的日期必须大于当前日期!";
inline constexpr const char* kNoRecipients = "节日提醒对象不能为空!";
inline constexpr const char* kMemberRefused = "节日提醒发送模式暂停服务!";
inline constexpr const char* kOffline = "您尚未在线登录，不可以发送短信提醒!";

/// "工作安排", "商务活动", "节日问候", "好友生日": TaskType is the index.
const std::vector<std::string>& TaskTypeNames();
/// The pop-up lead (and snooze span) choices, and those of the SMS lead.
const std::vector<std::string>& PopupLeadChoices();
const std::vector<std::string>& SmsLeadChoices();
/// A lead choice in minutes: its leading number, times 60 for the hour entries.
int LeadMinutes(const std::string& choice);

/// The message refusing the wizard's values, or empty. Name and content count after
/// trimming; the start must lie after now for a new task only.
std::string ValidateTask(
    bool newTask, const DateTime& start, const DateTime& now, const std::string& name, const std::string& content);
/// The SMS send time the page shows after the wizard: its own date with the clock time of
/// the start less the lead (only the clock time counts when that reaches back a day).
DateTime SmsTimeFor(const DateTime& smsDate, const DateTime& start, int leadMinutes);
/// The message refusing an SMS reminder, or empty.
std::string ValidateSms(const DateTime& sendTime, const DateTime& now, const std::vector<std::string>& recipients,
    const std::string& userTypeName);
/// The numbers of a recipients text: digit runs separated by ";", ",", blanks or lines.
std::vector<std::string> RecipientNumbers(const std::string& text);
/// The numbers joined with ";" for MsgPhones.
std::string JoinNumbers(const std::vector<std::string>& numbers);

} // namespace TaskRules

} // namespace telvora
