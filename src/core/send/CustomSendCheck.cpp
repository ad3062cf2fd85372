#include "send/CustomSendCheck.h"

#include "records/SendLedger.h"
#include "send/CustomSheet.h"
#include "session/TextUtil.h"

#include <algorithm>

namespace telvora {

namespace {

bool isMobile(std::string_view number)
{
    return ClassifyMobileNumber(number) != Carrier::Invalid;
}

// The text cut into count pieces of about equal length, never inside a character.
std::vector<std::string> splitIntoParts(const std::string& text, int count)
{
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0U) != 0x80U) {
            starts.push_back(i);
        }
    }
    const std::size_t characters = starts.size();
    const std::size_t pieces = static_cast<std::size_t>(std::max(count, 1));
    const std::size_t size = (characters + pieces - 1) / pieces;
    std::vector<std::string> parts;
    for (std::size_t first = 0; first < characters; first += size) {
        const std::size_t begin = starts[first];
        const std::size_t end = first + size < characters ? starts[first + size] : text.size();
        parts.push_back(text.substr(begin, end - begin));
    }
    return parts;
}

} // namespace

std::string CustomPattern(const std::string& templateText, const SmsRuleValues& rules)
{
    std::string pattern;
    for (const char c : TrimAscii(templateText)) {
        if (c != '\r' && c != '\n') {
            pattern += c;
        }
    }
    return MessageWithTail(pattern, rules);
}

CustomSendCheck CheckCustomSend(const CCustomSheet& sheet, const CustomSendInput& input, const SmsRuleValues& rules)
{
    CustomSendCheck check;
    const auto refuse = [&check](std::string text) {
        check.go = false;
        check.refusal = std::move(text);
        check.send = {};
        return check;
    };
    if (!input.loggedIn) {
        return refuse("尚未在线登录，不能进行发送操作!");
    }
    if (sheet.GetPhoneColumn() < 0) {
        return refuse("手机号码列不能为空!");
    }
    if (TrimAscii(input.templateText).empty()) {
        return refuse("短信内容不能为空或空格!");
    }
    const std::string pattern = CustomPattern(input.templateText, rules);
    if (LacksRequiredSignature(pattern, rules)) {
        return refuse(std::string(kSignatureRefusal));
    }
    if (sheet.GetRows().empty()) {
        return refuse("短信接收列表不能为空!");
    }
    if (input.userType == "会员用户") {
        return refuse("EXCEL发送模式暂停服务!");
    }
    if (input.scheduled) {
        if (!input.sendTime.valid || !(input.sendTime > input.now)) {
            return refuse("定时发送的日期必须大于当前日期!");
        }
        check.sendTime = input.sendTime.toString();
    }

    check.send.pattern = pattern;
    const std::vector<std::string> placeholders = TemplatePlaceholders(pattern);
    check.send.placeholders = static_cast<int>(placeholders.size());
    auto& recipients = check.send.recipients;
    for (std::size_t row = 0; row < sheet.GetRows().size(); ++row) {
        const std::string_view number = sheet.PhoneOf(row);
        if (sheet.GetRows()[row].ticked && isMobile(number)) {
            recipients.push_back(
                {std::string(number), sheet.PersonalisedText(pattern, row), sheet.RequestDetails(placeholders, row)});
        }
    }
    std::stable_sort(recipients.begin(), recipients.end(),
        [](const PersonalisedRecipient& a, const PersonalisedRecipient& b) { return a.number < b.number; });
    // Nothing ticked with a valid number: there is nobody to send to.
    if (recipients.empty()) {
        return refuse("短信接收列表不能为空!");
    }
    const std::string& first = recipients.front().text;
    if (std::all_of(recipients.begin(), recipients.end(),
            [&first](const PersonalisedRecipient& recipient) { return recipient.text == first; })) {
        return refuse("您所发送的短信适合用普通发送模式，请选择普通发送的[加载文件]功能发送!");
    }
    if (recipients.size() > kMaxCustomRecipients) {
        return refuse("自定义短信一次不能发送超过5000个号码，请分多次发送!");
    }
    std::vector<std::string> numbers;
    numbers.reserve(recipients.size());
    for (const auto& recipient : recipients) {
        numbers.push_back(recipient.number);
        check.neededStock += static_cast<std::uint64_t>(CountSmsSegments(recipient.text, rules));
    }
    if (!CheckNumberBlockLimit(numbers, rules.segmentUpperLimit)) {
        return refuse("您选择的号码包含号段,本次发送非法!");
    }
    if (check.neededStock > rules.smsStock) {
        return refuse("本次发送所需短信条数[" + std::to_string(check.neededStock) + "]，您的短信余量不足!");
    }
    check.go = true;
    return check;
}

CustomPreview BuildCustomPreview(const CCustomSheet& sheet, const std::string& templateText, const SmsRuleValues& rules)
{
    CustomPreview preview;
    if (sheet.GetPhoneColumn() < 0) {
        preview.refusal = "手机号码列不能为空!";
        return preview;
    }
    if (sheet.GetRows().empty()) {
        preview.refusal = "请先加载EXCEL文件，没有可预览的EXCEL发送数据!";
        return preview;
    }
    const std::string pattern = CustomPattern(templateText, rules);
    for (std::size_t row = 0; row < sheet.GetRows().size(); ++row) {
        const std::string_view number = sheet.PhoneOf(row);
        if (!isMobile(number)) {
            continue;
        }
        CustomPreviewRow& shown = preview.rows.emplace_back();
        shown.number = number;
        shown.text = sheet.PersonalisedText(pattern, row);
        shown.segments = CountSmsSegments(shown.text, rules);
        if (shown.segments > 1) {
            const std::vector<std::string> parts = splitIntoParts(shown.text, shown.segments);
            for (std::size_t i = 0; i < parts.size(); ++i) {
                shown.parts.push_back(std::to_string(i + 1) + "/" + std::to_string(shown.segments) + ">" + parts[i]);
            }
        }
        preview.totalSegments += shown.segments;
        preview.longestText = std::max(preview.longestText, CountSmsChars(shown.text));
        ++preview.textsBySegments[shown.segments];
    }
    if (preview.rows.empty()) {
        preview.refusal = "手机号码格式不正确，请选择一个正确的手机号码列!";
    }
    return preview;
}

CustomSendOutcome CustomSendOutcomeOf(const DetailCounts& counts)
{
    CustomSendOutcome outcome;
    if (counts.accepted == 0) {
        outcome.status = "短信发送失败,请检查内容是否包含非法关键字！";
        outcome.message = outcome.status;
        return outcome;
    }
    outcome.accepted = true;
    outcome.status = "自定义短信提交成功";
    outcome.message = counts.refused == 0
        ? "短信已成功提交到服务器，详情请查询短信发送记录!"
        : "短信部分成功提交到服务器，提交失败 [" + std::to_string(counts.refused) + "] 个号码，详情请查询短信发送记录!";
    return outcome;
}

} // namespace telvora
