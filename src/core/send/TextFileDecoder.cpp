#include "send/TextFileDecoder.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace telvora {

namespace {

// The bytes of a piece after what the last piece left incomplete; joined holds them when
// something was pending, and pending is used up.
std::string_view withPending(std::string& pending, std::string_view bytes, std::string& joined)
{
    if (pending.empty()) {
        return bytes;
    }
    joined = std::move(pending);
    pending.clear();
    joined.append(bytes);
    return joined;
}

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

enum class Utf8Check { Valid, Incomplete, Invalid };

// Checks the UTF-8 sequence at p (avail > 0 bytes) and sets length to its size.
Utf8Check checkUtf8(const unsigned char* p, std::size_t avail, std::size_t& length)
{
    const unsigned char lead = p[0];
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80) {
        length = 1;
        return Utf8Check::Valid;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        length = 1;
        return Utf8Check::Invalid;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (i >= avail) {
            return Utf8Check::Incomplete;
        }
        if (p[i] < (i == 1 ? low : 0x80) || p[i] > (i == 1 ? high : 0xBF)) {
            length = 1;
            return Utf8Check::Invalid;
        }
    }
    return Utf8Check::Valid;
}

// Walks data as UTF-8. Returns where an incomplete sequence at the end begins (data.size()
// when there is none); onInvalid(pos) is called for every byte that starts no valid sequence.
template <typename OnInvalid> std::size_t walkUtf8(std::string_view data, OnInvalid onInvalid)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    std::size_t pos = 0;
    while (pos < data.size()) {
        if (bytes[pos] < 0x80) {
            ++pos;
            continue;
        }
        std::size_t length = 1;
        switch (checkUtf8(bytes + pos, data.size() - pos, length)) {
        case Utf8Check::Valid:
            break;
        case Utf8Check::Incomplete:
            return pos;
        case Utf8Check::Invalid:
            onInvalid(pos);
            break;
        }
        pos += length;
    }
    return data.size();
}

std::size_t markLength(std::string_view head)
{
    for (const std::string_view mark : {kUtf8Mark, kUtf16LeMark, kUtf16BeMark}) {
        if (head.starts_with(mark)) {
            return mark.size();
        }
    }
    return 0;
}

} // namespace

void CTextEncodingDetector::feed(std::string_view bytes)
{
    m_total += bytes.size();
    if (m_head.size() < kSniffBytes) {
        m_head.append(bytes.substr(0, kSniffBytes - m_head.size()));
    }
    if (!m_validUtf8 || bytes.empty()) {
        return;
    }
    std::string joined;
    const std::string_view data = withPending(m_pending, bytes, joined);
    const std::size_t incomplete = walkUtf8(data, [this](std::size_t) { m_validUtf8 = false; });
    m_pending.assign(data.substr(incomplete));
}

TextEncoding CTextEncodingDetector::result() const
{
    const std::size_t mark = markLength(m_head);
    if (m_total == mark) {
        return TextEncoding::Empty;
    }
    if (std::string_view(m_head).starts_with(kUtf8Mark)) {
        return TextEncoding::Utf8;
    }
    if (std::string_view(m_head).starts_with(kUtf16LeMark)) {
        return TextEncoding::Utf16Le;
    }
    if (std::string_view(m_head).starts_with(kUtf16BeMark)) {
        return TextEncoding::Utf16Be;
    }
    if (m_head.find('\0') != std::string::npos) {
        return TextEncoding::Binary;
    }
    // A character cut off by the end of the file does not make the rest GBK.
    return m_validUtf8 ? TextEncoding::Utf8 : TextEncoding::Gbk;
}

CTextFileDecoder::CTextFileDecoder(TextEncoding encoding)
    : m_encoding(encoding)
{
    const char* from = nullptr;
    switch (encoding) {
    case TextEncoding::Gbk:
        from = "GBK";
        break;
    case TextEncoding::Utf16Le:
        from = "UTF-16LE";
        m_unitSize = 2;
        break;
    case TextEncoding::Utf16Be:
        from = "UTF-16BE";
        m_unitSize = 2;
        break;
    default:
        return;
    }
    m_iconv = iconv_open("UTF-8", from);
    m_iconvOpen = m_iconv != reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1));
}

CTextFileDecoder::~CTextFileDecoder()
{
    if (m_iconvOpen) {
        iconv_close(m_iconv);
    }
}

void CTextFileDecoder::feed(std::string_view bytes, std::string& out)
{
    if (m_encoding == TextEncoding::Empty || m_encoding == TextEncoding::Binary) {
        return;
    }
    if (m_atStart) {
        // Hold the first bytes back until a byte-order mark can be told from text.
        m_pending.append(bytes);
        const std::size_t needed = m_encoding == TextEncoding::Utf8 ? kUtf8Mark.size() : m_unitSize;
        if (m_pending.size() < needed) {
            return;
        }
        m_atStart = false;
        std::string head = std::move(m_pending);
        m_pending.clear();
        std::string_view data = head;
        if (m_encoding == TextEncoding::Utf8 ? data.starts_with(kUtf8Mark)
                                             : data.starts_with(kUtf16LeMark) || data.starts_with(kUtf16BeMark)) {
            data.remove_prefix(m_encoding == TextEncoding::Utf8 ? kUtf8Mark.size() : kUtf16LeMark.size());
        }
        feed(data, out);
        return;
    }
    if (m_encoding == TextEncoding::Utf8) {
        feedUtf8(bytes, out);
    } else {
        feedIconv(bytes, out);
    }
}

void CTextFileDecoder::finish(std::string& out)
{
    if (m_atStart) {
        m_atStart = false;
        const std::string head = std::move(m_pending);
        m_pending.clear();
        feed(head, out);
    }
    if (!m_pending.empty()) {
        out += kReplacement;
        m_pending.clear();
    }
}

void CTextFileDecoder::feedUtf8(std::string_view bytes, std::string& out)
{
    std::string joined;
    const std::string_view data = withPending(m_pending, bytes, joined);
    std::size_t runStart = 0;
    const std::size_t incomplete = walkUtf8(data, [&](std::size_t pos) {
        out.append(data.substr(runStart, pos - runStart));
        out += kReplacement;
        runStart = pos + 1;
    });
    out.append(data.substr(runStart, incomplete - runStart));
    m_pending.assign(data.substr(incomplete));
}

void CTextFileDecoder::feedIconv(std::string_view bytes, std::string& out)
{
    std::string joined;
    const std::string_view data = withPending(m_pending, bytes, joined);
    m_pending.clear();
    if (!m_iconvOpen) {
        // Without a converter keep what every encoding here shares: ASCII (not for UTF-16).
        for (const char c : data) {
            if (static_cast<unsigned char>(c) < 0x80 && m_unitSize == 1) {
                out += c;
            } else {
                out += kReplacement;
            }
        }
        return;
    }

    std::size_t used = out.size();
    // Three output bytes per input byte cover every case, replacements included.
    out.resize(used + data.size() * 3 + 8);
    char* in = const_cast<char*>(data.data());
    std::size_t inLeft = data.size();
    while (inLeft > 0) {
        char* outPtr = out.data() + used;
        std::size_t outLeft = out.size() - used;
        const std::size_t converted = iconv(m_iconv, &in, &inLeft, &outPtr, &outLeft);
        used = static_cast<std::size_t>(outPtr - out.data());
        if (converted != static_cast<std::size_t>(-1)) {
            break;
        }
        const int error = errno;
        if (error == EINVAL) {
            m_pending.assign(in, inLeft);
            break;
        }
        if (error == E2BIG || out.size() - used < kReplacement.size()) {
            out.resize(out.size() * 2 + kReplacement.size());
            if (error == E2BIG) {
                continue;
            }
        }
        // EILSEQ: a byte (or UTF-16 unit) that is not text in this encoding.
        const std::size_t skip = inLeft < m_unitSize ? inLeft : m_unitSize;
        in += skip;
        inLeft -= skip;
        std::memcpy(out.data() + used, kReplacement.data(), kReplacement.size());
        used += kReplacement.size();
    }
    out.resize(used);
}

std::string CTextFileDecoder::decode(std::string_view bytes, TextEncoding* detected)
{
    CTextEncodingDetector detector;
    detector.feed(bytes);
    const TextEncoding encoding = detector.result();
    if (detected) {
        *detected = encoding;
    }
    std::string out;
    CTextFileDecoder decoder(encoding);
    decoder.feed(bytes, out);
    decoder.finish(out);
    return out;
}

} // namespace telvora
