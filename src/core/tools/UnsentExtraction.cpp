#include "tools/UnsentExtraction.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <tuple>

namespace telvora {

namespace {

// Lines of up to 16 bytes (numbers, always in practice) sort as two big-endian words and a
// length, which orders them exactly as bytes do and sorts far faster than strings.
struct PackedLine
{
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    std::uint32_t length = 0;
    std::uint32_t index = 0;

    auto key() const { return std::tie(high, low, length); }
};

constexpr std::size_t kPackedBytes = 16;

std::uint64_t bigEndianWord(std::string_view text, std::size_t from)
{
    std::uint64_t word = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        const std::size_t at = from + i;
        word = (word << 8) | (at < text.size() ? static_cast<unsigned char>(text[at]) : 0U);
    }
    return word;
}

std::vector<std::string_view> sortedLines(const std::vector<std::string>& lines)
{
    std::vector<std::string_view> sorted;
    sorted.reserve(lines.size());
    const bool packable
        = std::all_of(lines.begin(), lines.end(), [](const std::string& line) { return line.size() <= kPackedBytes; });
    if (!packable) {
        sorted.assign(lines.begin(), lines.end());
        std::sort(sorted.begin(), sorted.end());
        return sorted;
    }
    std::vector<PackedLine> packed(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        packed[i] = {bigEndianWord(lines[i], 0), bigEndianWord(lines[i], 8),
            static_cast<std::uint32_t>(lines[i].size()), static_cast<std::uint32_t>(i)};
    }
    std::sort(packed.begin(), packed.end(), [](const PackedLine& a, const PackedLine& b) { return a.key() < b.key(); });
    for (const PackedLine& line : packed) {
        sorted.emplace_back(lines[line.index]);
    }
    return sorted;
}

// Characters of UTF-8 text: every byte that does not continue a sequence.
std::size_t characterCount(std::string_view text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

} // namespace

std::vector<std::string_view> SortedDifference(
    const std::vector<std::string>& all, const std::vector<std::string>& sent)
{
    const std::vector<std::string_view> a = sortedLines(all);
    const std::vector<std::string_view> b = sortedLines(sent);
    std::vector<std::string_view> result;
    result.reserve(a.size());
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(result));
    return result;
}

NumberFileResult CUnsentExtraction::LoadFile(List list, const std::string& path)
{
    std::vector<std::string>& target = list == List::All ? m_all : m_sent;
    const std::size_t before = target.size();
    NumberFileResult result;
    const auto onLine = [&target](std::string_view line) {
        if (characterCount(line) > 6) {
            target.emplace_back(line);
        }
    };
    switch (readTextLines(path, onLine, result.encoding, result.lines)) {
    case TextReadStatus::OpenFailed:
        target.resize(before);
        result.status = NumberFileResult::Status::OpenFailed;
        result.message = "打开加载文件[" + path + "]失败!";
        return result;
    case TextReadStatus::Cancelled:
        target.resize(before);
        result.status = NumberFileResult::Status::Cancelled;
        return result;
    case TextReadStatus::NoText:
    case TextReadStatus::Read:
        break;
    }
    result.status = target.size() > before ? NumberFileResult::Status::Loaded : NumberFileResult::Status::NotFound;
    return result;
}

const std::vector<std::string>& CUnsentExtraction::GetList(List list) const
{
    return list == List::All ? m_all : m_sent;
}

std::vector<std::string_view> CUnsentExtraction::Extract() const
{
    return SortedDifference(m_all, m_sent);
}

} // namespace telvora
