#pragma once

#include <cstdint>
#include <iconv.h>
#include <string>
#include <string_view>

namespace telvora {

enum class TextEncoding { Empty, Binary, Utf8, Gbk, Utf16Le, Utf16Be };

/// Decides how a text file the user picked is encoded, from its bytes fed piece by piece:
/// a byte-order mark wins; otherwise valid UTF-8 is UTF-8 and anything else is taken as GBK.
/// A NUL byte near the start marks a binary file; a file of nothing but a mark is empty.
class CTextEncodingDetector final
{
public:
    void feed(std::string_view bytes);
    TextEncoding result() const;

private:
    static constexpr std::size_t kSniffBytes = 8000;

    std::string m_head; // the first bytes, for the mark and the NUL test
    std::string m_pending; // an incomplete UTF-8 sequence at the end of the last piece
    std::uint64_t m_total = 0;
    bool m_validUtf8 = true;
};

/// Converts the bytes of a text file to UTF-8, piece by piece. Never fails: bytes that do
/// not belong to the encoding become U+FFFD, a leading byte-order mark is dropped.
class CTextFileDecoder final
{
public:
    explicit CTextFileDecoder(TextEncoding encoding);
    ~CTextFileDecoder();
    CTextFileDecoder(const CTextFileDecoder&) = delete;
    CTextFileDecoder& operator=(const CTextFileDecoder&) = delete;

    /// Appends the UTF-8 of bytes to out; a sequence cut at the end waits for the next piece.
    void feed(std::string_view bytes, std::string& out);
    /// Flushes what is left of an incomplete sequence (as U+FFFD).
    void finish(std::string& out);

    /// Detects and converts a whole file held in memory. Binary and empty files give "".
    static std::string decode(std::string_view bytes, TextEncoding* detected = nullptr);

private:
    void feedUtf8(std::string_view bytes, std::string& out);
    void feedIconv(std::string_view bytes, std::string& out);

    TextEncoding m_encoding;
    iconv_t m_iconv {};
    bool m_iconvOpen = false;
    std::size_t m_unitSize = 1; // bytes skipped over a sequence iconv refuses
    std::string m_pending;
    bool m_atStart = true; // the byte-order mark has not been looked for yet
};

} // namespace telvora
