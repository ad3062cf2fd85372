#include "send/SmsRules.h"

#include <algorithm>

namespace telvora {

namespace {

struct CodePoint
{
    std::size_t length; // bytes taken, at least 1
    bool valid;
    bool supplementary; // outside the BMP: two UTF-16 units
};

// Decodes one UTF-8 sequence at text[pos]; a malformed sequence takes a single byte, so a
// stray byte never swallows the ASCII that follows it.
CodePoint decodeAt(std::string_view text, std::size_t pos)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return {1, true, false};
    }
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80; // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return {1, false, false};
    }
    if (pos + length > text.size() || byte(1) < low || byte(1) > high) {
        return {1, false, false};
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return {1, false, false};
        }
    }
    return {length, true, length == 4};
}

int effectiveLongSmsLen(const SmsRuleValues& values)
{
    // A service reply of 0 or garbage must not divide by zero; fall back to the default.
    return values.longSmsLen > 0 ? values.longSmsLen : 70;
}

int divideRoundingUp(int n, int d)
{
    return n / d + (n % d != 0 ? 1 : 0);
}

// Cuts text to at most maxUnits UTF-16 units without splitting a character.
std::string_view cutToUnits(std::string_view text, int maxUnits)
{
    int units = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const CodePoint cp = decodeAt(text, pos);
        const int width = cp.supplementary ? 2 : 1;
        if (units + width > maxUnits) {
            break;
        }
        units += width;
        pos += cp.length;
    }
    return text.substr(0, pos);
}

// The prefix table the program has always had plus the prefixes issued since, made at
// build time from libphonenumber's carrier data.
#include "send/CarrierPrefixTable.inc"

} // namespace

int CountSmsChars(std::string_view text)
{
    int units = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (static_cast<unsigned char>(text[pos]) < 0x80) {
            ++units;
            ++pos;
            continue;
        }
        const CodePoint cp = decodeAt(text, pos);
        units += cp.supplementary ? 2 : 1;
        pos += cp.length;
    }
    return units;
}

int CountSmsSegments(std::string_view text, const SmsRuleValues& values)
{
    const int segmentChars = effectiveLongSmsLen(values);
    int n = CountSmsChars(text);
    // The login makes the tail the signature: a text that already ends in it is not billed
    // for it twice.
    const bool signedByTail = values.addSmsTail && !values.signName.empty() && values.smsTail == values.signName
        && text.ends_with(values.signName);
    if (values.fetchSendStat == 1 && !signedByTail) {
        n += CountSmsChars(values.signName);
    }
    const int k = divideRoundingUp(n, segmentChars);
    if (k > 1) {
        n += 4 * k; // each part of a long message carries a header
    }
    return std::max(1, divideRoundingUp(n, segmentChars));
}

std::size_t AnsiByteLength(std::string_view text)
{
    std::size_t bytes = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const CodePoint cp = decodeAt(text, pos);
        bytes += static_cast<unsigned char>(text[pos]) < 0x80 ? 1 : 2;
        pos += cp.length;
    }
    return bytes;
}

std::string_view CutToAnsiBytes(std::string_view text, std::size_t maxBytes)
{
    std::size_t bytes = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const CodePoint cp = decodeAt(text, pos);
        const std::size_t width = static_cast<unsigned char>(text[pos]) < 0x80 ? 1 : 2;
        if (bytes + width > maxBytes) {
            break;
        }
        bytes += width;
        pos += cp.length;
    }
    return text.substr(0, pos);
}

bool IsAllDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

Carrier ClassifyMobileNumber(std::string_view number)
{
    if (number.size() != 11 || !IsAllDigits(number) || number[0] != '1') {
        return Carrier::Invalid;
    }
    // Some prefixes have four digits (1700 to 1709 belong to all three carriers).
    const int prefix = (number[1] - '0') * 100 + (number[2] - '0') * 10 + (number[3] - '0');
    return static_cast<Carrier>(kCarrierByPrefix[prefix]);
}

std::string_view CarrierCaption(Carrier carrier)
{
    switch (carrier) {
    case Carrier::ChinaMobile:
        return "移动";
    case Carrier::ChinaUnicom:
        return "联通";
    case Carrier::ChinaTelecom:
        return "电信";
    case Carrier::Invalid:
        break;
    }
    return {};
}

bool CheckNumberBlockLimit(const std::vector<std::string>& sortedNumbers, int limit)
{
    if (limit <= 0 || sortedNumbers.size() < static_cast<std::size_t>(limit)) {
        return true;
    }
    const auto blockOf = [](const std::string& number) { return std::string_view(number).substr(0, 7); };
    std::string_view block;
    int run = 0;
    for (std::size_t i = 0; i < sortedNumbers.size(); ++i) {
        const std::string_view current = blockOf(sortedNumbers[i]);
        if (i > 0 && current == block) {
            ++run;
        } else {
            block = current;
            run = 1;
        }
        // A lone number is no run of a block, so a limit of 1 still lets one through and
        // refuses the second of a block.
        if (run >= std::max(limit, 2)) {
            return false;
        }
    }
    return true;
}

bool IsSmsTailEnabled(std::string_view addSmsTailValue)
{
    std::string_view text = TrimAscii(addSmsTailValue);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    long value = 0;
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9' && value <= 1) {
        value = value * 10 + (text[digits] - '0');
        ++digits;
    }
    return digits > 0 && value == 1 && (digits == text.size() || text[digits] < '0' || text[digits] > '9');
}

std::string MessageWithTail(std::string_view content, const SmsRuleValues& values)
{
    std::string text(content);
    if (values.addSmsTail) {
        text += values.smsTail;
    }
    return text;
}

std::string SmsCountCaption(int charCount, int segments, const SmsRuleValues& values)
{
    std::string caption
        = "发送内容( " + std::to_string(charCount) + "字,短信分为 " + std::to_string(segments) + "条发送";
    if (values.addSmsTail) {
        caption += ", 短信落款为 " + values.smsTail;
    }
    caption += ";移动、联通、电信单条" + std::to_string(effectiveLongSmsLen(values)) + "字)";
    return caption;
}

SmsEditState ApplySmsEditLimit(std::string_view content, bool insertionChecked, const SmsRuleValues& values)
{
    SmsEditState state;
    state.content = std::string(content);
    std::string_view trimmed = TrimAscii(content);
    if (trimmed == kSmsPlaceholder) {
        trimmed = {};
    }
    const int tailChars = values.addSmsTail ? CountSmsChars(values.smsTail) : 0;
    std::string text = MessageWithTail(trimmed, values);
    state.charCount = CountSmsChars(text);
    state.byteLimit = kMaxSmsBytes;
    if (state.charCount > kMaxSmsChars) {
        const std::string_view kept = cutToUnits(trimmed, std::max(0, kMaxSmsChars - tailChars));
        state.cut = true;
        state.content = std::string(kept);
        state.byteLimit = AnsiByteLength(kept);
        text = MessageWithTail(kept, values);
        // Normally 320; one less when a surrogate pair sat on the edge, more only when the
        // tail alone is longer than the limit. The figure shows what will be counted.
        state.charCount = CountSmsChars(text);
    }
    state.segments = CountSmsSegments(text, values);
    if (insertionChecked) {
        state.charCount += 4; // room for the inserted name; the billing is the service's business
    }
    state.caption = SmsCountCaption(state.charCount, state.segments, values);
    return state;
}

int SendInsertionMode(std::string_view userType, bool insertName, bool insertTitle)
{
    if (userType == "会员用户") {
        return 0;
    }
    return insertName ? 1 : insertTitle ? 2 : 0;
}

bool LacksRequiredSignature(std::string_view text, const SmsRuleValues& values)
{
    return values.fetchSendStat == 1 && (!text.ends_with("】") || text.find("【") == std::string_view::npos);
}

SendCheckResult CheckSendRequest(const SendCheckInput& input, const SmsRuleValues& values)
{
    SendCheckResult result;
    const auto refuse = [&result](std::string text) {
        result.outcome = SendCheckResult::Outcome::Refuse;
        result.text = std::move(text);
        return result;
    };
    if (!input.loggedIn) {
        return refuse("尚未在线登录，不能进行发送操作!");
    }
    if (input.scheduled && !input.scheduleInFuture) {
        return refuse("定时发送的日期必须大于当前日期!");
    }
    const std::string_view trimmed = TrimAscii(input.content);
    if (trimmed.empty() || trimmed == kSmsPlaceholder) {
        return refuse("短信内容不能为空或空格!");
    }
    // "&" separates the fields of the service request.
    result.content.reserve(trimmed.size());
    for (char c : trimmed) {
        if (c == '&') {
            result.content += "＆";
        } else {
            result.content += c;
        }
    }
    if (input.numberCount == 0) {
        return refuse("手机发送列表为空，请添加需要接收短信的手机号码!");
    }
    const std::string text = MessageWithTail(result.content, values);
    if (LacksRequiredSignature(text, values)) {
        return refuse(std::string(kSignatureRefusal));
    }
    result.segments = CountSmsSegments(text, values);
    result.neededStock = static_cast<std::uint64_t>(input.carrierNumbers) * static_cast<std::uint64_t>(result.segments);
    if (result.segments > kMaxSmsSegments) {
        return refuse("发送内容超过320个字，请精减您的短信内容!");
    }
    if (result.segments > 1 && !input.multiSegmentConfirmed) {
        result.outcome = SendCheckResult::Outcome::Confirm;
        result.text
            = "短信内容超长，移动联通电信号码将按" + std::to_string(result.segments) + "条收费，您确认要发送吗？";
        return result;
    }
    if (values.smsStock < result.neededStock) {
        return refuse("本次发送所需短信条数[" + std::to_string(result.neededStock) + "]，您的短信余量不足!");
    }
    result.outcome = SendCheckResult::Outcome::Go;
    result.text.clear();
    return result;
}

} // namespace telvora
