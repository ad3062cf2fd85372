#pragma once

#include <cstddef>
#include <string>

namespace telvora {

/// Longest text that PercentEscape produces; the service's form reader stops there.
inline constexpr std::size_t kMaxEscapedSize = 499'999;

/// Makes text valid UTF-8 for the wire. Internal text is UTF-8 already, so valid text is
/// left alone; any invalid sequence becomes "?".
void ToUtf8(std::string& text);

/// Makes a reply safe to use as internal text: every invalid UTF-8 sequence (stray trail
/// bytes, truncated or overlong sequences, surrogates, values above U+10FFFF) becomes "?".
void FromUtf8(std::string& text);

/// True when text is well-formed UTF-8.
bool IsValidUtf8(const std::string& text);

/// Replaces each byte that is unsafe in a form value by "%" and two lower-case hex digits:
/// blank, " # $ & + , ; < = > ? @ [ \ ] ^ ` { | }, bytes below 32 and above 126. "%" and
/// all other printable ASCII pass unchanged. When the result would be longer than
/// kMaxEscapedSize bytes, returns false and leaves text unchanged: the caller refuses the
/// request rather than send a cut message.
bool PercentEscape(std::string& text);

} // namespace telvora
