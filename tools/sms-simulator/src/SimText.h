#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Small text helpers of the simulator. It shares no code with the client it stands in for except
// the escaping rules of the wire (service/TextCodec.h), which both ends must read alike.
namespace telvora::sim {

// Escapes &, <, >, " and ' and drops the control characters XML 1.0 cannot carry.
std::string xmlEscape(std::string_view text);

// Splits a form body at '&' and '=' into name -> raw value; the values are left escaped,
// because some of them (Details) carry structure that must be split before decoding.
// The first occurrence of a name wins.
std::map<std::string, std::string> parseFormRaw(std::string_view body);

// Splits at sep, trims blanks and drops empty pieces.
std::vector<std::string> splitList(std::string_view text, char sep);

std::string trim(std::string_view text);

std::string base64Encode(std::string_view bytes);
// Standard alphabet with '=' padding; whitespace is ignored. Empty on malformed input.
std::optional<std::string> base64Decode(std::string_view text);

std::string jsonEscape(std::string_view text);

// Characters as UTF-16 code units; a byte that is not valid UTF-8 counts as one.
int countUtf16Units(std::string_view utf8);

// Billed segments: up to longLen characters is one segment; a longer text carries 4 characters
// of overhead per segment, so 71 characters are 2 segments and 133 are 3 (with longLen 70).
int countSegments(std::string_view utf8, int longLen);

// 11 ASCII digits beginning with 1.
bool isMobileNumber(std::string_view number);

// Parses the decimal integer of the whole text (leading/trailing blanks allowed).
std::optional<std::int64_t> parseInt(std::string_view text);

// "{v1}{v2};{v1}{v2};..." -> one list of decoded values per recipient.
std::vector<std::vector<std::string>> parseDetails(std::string_view raw);

// Placeholder names "{name}" of a pattern, distinct, in order of first appearance.
std::vector<std::string> placeholderNames(std::string_view pattern);

// Replaces every "{name}" of the pattern by the value at the name's index in names.
std::string mergePattern(
    std::string_view pattern, const std::vector<std::string>& names, const std::vector<std::string>& values);

} // namespace telvora::sim
