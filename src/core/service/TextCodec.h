#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace telvora {

/// Longest form value that EscapeFormValue produces; the service's form reader stops there.
inline constexpr std::size_t kMaxEscapedSize = 499'999;

/// Makes text valid UTF-8 for the wire. Internal text is UTF-8 already, so valid text is
/// left alone; any invalid sequence becomes "?".
void ToUtf8(std::string& text);

/// Makes a reply safe to use as internal text: every invalid UTF-8 sequence (stray trail
/// bytes, truncated or overlong sequences, surrogates, values above U+10FFFF) becomes "?".
void FromUtf8(std::string& text);

/// True when text is well-formed UTF-8.
bool IsValidUtf8(const std::string& text);

/// Characters of text as UTF-16 code units, counted on the text ToUtf8 would make of it.
std::size_t Utf16Length(std::string_view text);

/// Makes text one value of a service form: ToUtf8, then each byte that is unsafe in a form
/// value becomes "%" and two lower-case hex digits: blank, " # $ % & + , ; < = > ? @ [ \ ] ^
/// ` { | }, bytes below 32 and above 126; all other printable ASCII passes. "%" is escaped
/// too, or the service would read "100%AB" as an escape. When the result would be longer
/// than kMaxEscapedSize bytes, returns false and leaves text unchanged: the caller refuses
/// the request rather than send a cut message.
bool EscapeFormValue(std::string& text);

/// The service's reading of a form value: each "%" and two hex digits (either case) is that
/// byte. A malformed escape stays as written, and "+" stays "+" (EscapeFormValue escapes it).
std::string DecodeFormValue(std::string_view text);

/// Makes a URL's path and query travel as they are: blanks, control bytes, bytes above 126
/// and "#" (which would cut the query) become "%" and two lower-case hex digits; everything
/// else, the form's own "&", "=" and escapes included, passes unchanged.
std::string EscapeUrl(std::string_view url);

} // namespace telvora
