#include "TaskRules.h"

#include "session/TextUtil.h"

#include <cctype>

namespace telvora::TaskRules {

const std::vector<std::string>& TaskTypeNames()
{
    static const std::vector<std::string> names {"工作安排", "商务活动", "节日问候", "好友生日"};
    return names;
}

const std::vector<std::string>& PopupLeadChoices()
{
    static const std::vector<std::string> choices {
        "5 分钟", "15分钟", "30分钟", "1 小时", "2 小时", "4 小时", "8 小时", "24小时"};
    return choices;
}

const std::vector<std::string>& SmsLeadChoices()
{
    static const std::vector<std::string> choices {"30分钟", "1 小时", "2 小时", "4 小时", "8 小时", "24小时"};
    return choices;
}

int LeadMinutes(const std::string& choice)
{
    int value = 0;
    for (std::size_t i = 0; i < choice.size() && i < 2 && std::isdigit(static_cast<unsigned char>(choice[i])); ++i) {
        value = value * 10 + (choice[i] - '0');
    }
    return choice.find("小时") != std::string::npos ? value * 60 : value;
}

std::string ValidateTask(
    bool newTask, const DateTime& start, const DateTime& now, const std::string& name, const std::string& content)
{
    if (newTask && !(start > now)) {
        return kStartInPast;
    }
    if (TrimAscii(name).empty()) {
        return kEmptyName;
    }
    if (TrimAscii(content).empty()) {
        return kEmptyContent;
    }
    return {};
}

DateTime SmsTimeFor(const DateTime& smsDate, const DateTime& start, int leadMinutes)
{
    const DateTime clock = start.addSeconds(-60LL * leadMinutes);
    return DateTime::fromFields(smsDate.year, smsDate.month, smsDate.day, clock.hour, clock.minute, clock.second);
}

std::string ValidateSms(const DateTime& sendTime, const DateTime& now, const std::vector<std::string>& recipients,
    const std::string& userTypeName)
{
    if (!(sendTime > now)) {
        return kSmsInPast;
    }
    if (recipients.empty()) {
        return kNoRecipients;
    }
    if (userTypeName == "会员用户") {
        return kMemberRefused;
    }
    return {};
}

std::vector<std::string> RecipientNumbers(const std::string& text)
{
    std::vector<std::string> numbers;
    std::string current;
    auto flush = [&]() {
        if (!current.empty()) {
            numbers.push_back(current);
            current.clear();
        }
    };
    for (char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c))) {
            current += c;
        } else {
            flush();
        }
    }
    flush();
    return numbers;
}

std::string JoinNumbers(const std::vector<std::string>& numbers)
{
    std::string joined;
    for (const std::string& number : numbers) {
        joined += (joined.empty() ? "" : ";") + number;
    }
    return joined;
}

} // namespace telvora::TaskRules
