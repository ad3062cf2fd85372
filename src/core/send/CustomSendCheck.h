#pragma once

#include "db/DateTime.h"
#include "send/PersonalisedSend.h"
#include "send/SmsRules.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace telvora {

class CCustomSheet;
struct DetailCounts;

inline constexpr std::size_t kMaxCustomRecipients = 5000;

/// The pattern a template makes: trimmed, line breaks removed (the service would drop them
/// from what it delivers), the tail appended when it is enabled.
std::string CustomPattern(const std::string& templateText, const SmsRuleValues& rules);

/// What "发送" of the personalised send reads besides the sheet.
struct CustomSendInput
{
    bool loggedIn = false;
    std::string templateText; ///< as typed
    std::string userType; ///< the account's user-type name
    bool scheduled = false; ///< "定时发送" ticked
    DateTime sendTime; ///< of the pickers, when scheduled
    DateTime now;
};

struct CustomSendCheck
{
    bool go = false;
    std::string refusal; ///< the message (caption "提示") when not go
    PersonalisedSend send; ///< when go
    std::uint64_t neededStock = 0; ///< segments of every text, once computed
    std::string sendTime; ///< for SetSendTime; empty for a send made at once
};

/// The checks of "发送" in their order; on go, the send for the engine. Only ticked rows with
/// a valid mobile number are sent, ordered by number (rows of one number each go out).
CustomSendCheck CheckCustomSend(const CCustomSheet& sheet, const CustomSendInput& input, const SmsRuleValues& rules);

/// One message of the preview.
struct CustomPreviewRow
{
    std::string number;
    std::string text; ///< with the tail
    int segments = 1;
    std::vector<std::string> parts; ///< "%d/%d>%s" per segment, only for more than one
};

/// What "短信预览" shows: every row with a valid number, ticked or not.
struct CustomPreview
{
    std::string refusal; ///< the message (caption "提示") instead of the preview
    std::vector<CustomPreviewRow> rows;
    long totalSegments = 0;
    int longestText = 0; ///< in characters
    std::map<int, int> textsBySegments; ///< segment count to number of texts
};

CustomPreview BuildCustomPreview(
    const CCustomSheet& sheet, const std::string& templateText, const SmsRuleValues& rules);

/// How a finished personalised send is reported.
struct CustomSendOutcome
{
    bool accepted = false; ///< some number was taken: the view starts afresh
    std::string status; ///< for the status bar
    std::string message;
};

/// From the detail rows of the send's record; numbers of unknown outcome are neither
/// accepted nor refused (the engine's note names them).
CustomSendOutcome CustomSendOutcomeOf(const DetailCounts& counts);

} // namespace telvora
