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

int hexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1; // upper case is never produced
}

bool mustEscape(unsigned char b)
{
    return b < 32 || b > 126
        || std::string_view(" \"#$&+,;<=>?@[\\]^`{|}").find(static_cast<char>(b)) != std::string_view::npos;
}

} // namespace

// PercentEscape must be reversible and leave only safe bytes; FromUtf8 must always give
// valid UTF-8, keep valid text as it is, and be stable.
int FuzzPercentEscape(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);

    std::string escaped = input;
    if (PercentEscape(escaped)) {
        check(escaped.size() <= kMaxEscapedSize);
        std::string decoded;
        std::size_t source = 0;
        for (std::size_t i = 0; i < escaped.size(); ++i) {
            const auto b = static_cast<unsigned char>(escaped[i]);
            check(!mustEscape(b));
            const bool isEscape = source < input.size() && mustEscape(static_cast<unsigned char>(input[source]));
            if (isEscape) {
                check(b == '%' && i + 2 < escaped.size());
                const int high = hexValue(escaped[i + 1]);
                const int low = hexValue(escaped[i + 2]);
                check(high >= 0 && low >= 0);
                decoded.push_back(static_cast<char>(high * 16 + low));
                i += 2;
            } else {
                decoded.push_back(escaped[i]);
            }
            ++source;
        }
        check(decoded == input);
    } else {
        check(escaped == input);
    }

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
