#pragma once

#include "session/TextUtil.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace telvora {

// Carrier codes as the service and the stored records know them.
enum class Carrier : int { Invalid = -1, ChinaMobile = 1, ChinaUnicom = 2, ChinaTelecom = 3 };

// The session values and parameters the message rules read. Callers copy them from the
// session and the parameter store, so the rules stay pure and can run on any thread.
struct SmsRuleValues
{
    int longSmsLen = 70; // "LongSmsLen": characters of one segment
    int segmentUpperLimit = 50; // "SegmentUpperLimit": numbers of one block per send
    int fetchSendStat = 0; // "FetchSendStat": 1 counts "SignName" and demands a signature
    std::string signName; // "SignName"
    std::uint32_t smsStock = 0; // "SmsStock": remaining segments of the account
    bool addSmsTail = false; // parameter "AddSMSTail" == 1 (see IsSmsTailEnabled)
    std::string smsTail; // parameter "SMSTail"
};

inline constexpr int kMaxSmsChars = 320;
inline constexpr int kMaxSmsBytes = 640;
inline constexpr int kMaxSmsSegments = 5;
inline constexpr std::string_view kSmsPlaceholder = "请在此处输入短信内容，最长320字....";

/// Characters of a UTF-8 text as the service counts them: UTF-16 code units.
/// A byte that is not part of a valid sequence counts as one unit.
int CountSmsChars(std::string_view text);

/// Billed segments of a text, at least 1. With fetchSendStat 1 the signature is counted too,
/// unless the text ends in the tail and the tail is the signature (counted once).
int CountSmsSegments(std::string_view text, const SmsRuleValues& values);

/// Length in the Chinese ANSI code page: ASCII counts 1 byte, any other character 2.
std::size_t AnsiByteLength(std::string_view text);

/// The longest prefix of text that fits in maxBytes ANSI bytes, never splitting a character.
std::string_view CutToAnsiBytes(std::string_view text, std::size_t maxBytes);

/// True when the text is empty or every byte is an ASCII digit.
bool IsAllDigits(std::string_view text);

/// Carrier of an 11-digit mobile number, Carrier::Invalid for anything else. No trimming.
Carrier ClassifyMobileNumber(std::string_view number);

/// "移动", "联通", "电信", or empty for an invalid number.
std::string_view CarrierCaption(Carrier carrier);

/// False when the sorted list holds `limit` or more numbers of one block (first seven
/// characters), and at least two. A list shorter than the limit, or a limit of 0 or less,
/// always passes.
bool CheckNumberBlockLimit(const std::vector<std::string>& sortedNumbers, int limit);

/// "AddSMSTail" as the parameter store holds it: enabled when its leading decimal number is 1.
bool IsSmsTailEnabled(std::string_view addSmsTailValue);

/// The content as counted and sent: content followed by the tail when it is enabled.
std::string MessageWithTail(std::string_view content, const SmsRuleValues& values);

/// The refusal of a text without the signature an account that counts it ("FetchSendStat" 1) needs.
inline constexpr std::string_view kSignatureRefusal
    = "为了保证您的短信即时送达，请您在系统设置中设置添加签名，或在短信内容最未手动添加签名，签名格式如： 【***】!";

/// True when the account needs a signature and the text (tail included) does not end with
/// "】" or has no "【".
bool LacksRequiredSignature(std::string_view text, const SmsRuleValues& values);

/// What the send view shows while the message is edited.
struct SmsEditState
{
    bool cut = false; // the content was too long and has been cut
    std::string content; // the cut content to store back (only meaningful when cut)
    std::size_t byteLimit = 0; // ANSI byte limit for the edit control
    int charCount = 0; // the figure shown
    int segments = 1; // billed segments of content plus tail
    std::string caption; // caption of the content group box
};

/// The length limit applied on every change of the message. insertionChecked is true when
/// "插入姓名" or "插入称呼" is checked (it adds 4 to the figure shown).
SmsEditState ApplySmsEditLimit(std::string_view content, bool insertionChecked, const SmsRuleValues& values);

/// The caption of the content group box for a count, segments and the rule values.
std::string SmsCountCaption(int charCount, int segments, const SmsRuleValues& values);

/// Everything the send command checks before handing the message to the engine.
struct SendCheckInput
{
    bool loggedIn = false;
    bool scheduled = false; // "定时发送" checked
    bool scheduleInFuture = true; // the chosen moment is later than now
    std::string content; // the message as typed
    std::size_t numberCount = 0; // all numbers of the send list
    std::size_t carrierNumbers = 0; // China Mobile + China Unicom + China Telecom counts
    bool multiSegmentConfirmed = false; // the user already answered OK to the segment question
};

struct SendCheckResult
{
    enum class Outcome { Go, Refuse, Confirm };

    Outcome outcome = Outcome::Refuse;
    std::string text; // refusal text (caption "提示") or question (caption "询问")
    std::string content; // trimmed content with "&" made full-width, without the tail
    int segments = 0; // billed segments of content plus tail, once computed
    std::uint64_t neededStock = 0;
};

/// Insertion mode of a send: 1 inserts the card name, 2 the title, 0 nothing. Member
/// accounts ("会员用户") may not personalise.
int SendInsertionMode(std::string_view userType, bool insertName, bool insertTitle);

/// The send command's checks in order. On Confirm, ask the question; on OK call again with
/// multiSegmentConfirmed set, which goes on with the remaining checks.
SendCheckResult CheckSendRequest(const SendCheckInput& input, const SmsRuleValues& values);

} // namespace telvora
