#include "FuzzTargets.h"
#include "service/TextCodec.h"

#include <cstdlib>
#include <string>
#include <string_view>

namespace telvora::fuzz {

namespace {

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

bool mustEscape(unsigned char b)
{
    return b < 32 || b > 126
        || std::string_view(" \"#$%&+,;<=>?@[\\]^`{|}").find(static_cast<char>(b)) != std::string_view::npos;
}

} // namespace

// EscapeFormValue must leave only safe bytes and decode back to the text made valid UTF-8;
// EscapeUrl must decode back to its input; FromUtf8 must always give valid UTF-8, keep
// valid text as it is, and be stable.
int FuzzPercentEscape(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);

    std::string escaped = input;
    if (EscapeFormValue(escaped)) {
        check(escaped.size() <= kMaxEscapedSize);
        for (const char c : escaped)
            check(!mustEscape(static_cast<unsigned char>(c)) || c == '%');
        std::string sent = input;
        ToUtf8(sent);
        check(DecodeFormValue(escaped) == sent);
    } else {
        check(escaped == input);
    }
    const std::string url = EscapeUrl(input);
    for (const char c : url)
        check(static_cast<unsigned char>(c) > 32 && static_cast<unsigned char>(c) < 127 && c != '#');
    // "%" passes a URL unchanged, so only text without one decodes back exactly.
    if (input.find('%') == std::string::npos)
        check(DecodeFormValue(url) == input);

    std::string clean = input;
    FromUtf8(clean);
    check(IsValidUtf8(clean));
    check(IsValidUtf8(input) == (clean == input));
    std::string twice = clean;
    FromUtf8(twice);
    check(twice == clean);
    return 0;
}

} // namespace telvora::fuzz
