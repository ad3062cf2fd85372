#include "tools/UnsentExtraction.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <thread>
#include <tuple>
#include <utility>

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

bool packable(const std::vector<std::string>& lines)
{
    return std::all_of(lines.begin(), lines.end(), [](const std::string& line) { return line.size() <= kPackedBytes; });
}

std::vector<PackedLine> sortedPacked(const std::vector<std::string>& lines)
{
    std::vector<PackedLine> packed(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        packed[i] = {bigEndianWord(lines[i], 0), bigEndianWord(lines[i], 8),
            static_cast<std::uint32_t>(lines[i].size()), static_cast<std::uint32_t>(i)};
    }
    std::sort(packed.begin(), packed.end(), [](const PackedLine& a, const PackedLine& b) { return a.key() < b.key(); });
    return packed;
}

std::vector<std::string_view> sortedViews(const std::vector<std::string>& lines)
{
    std::vector<std::string_view> sorted(lines.begin(), lines.end());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

// Runs one job on a second thread while the caller does the other: the two lists sort at
// the same time.
template <typename Result, typename Job>
std::pair<Result, Result> sideBySide(Job job, const std::vector<std::string>& a, const std::vector<std::string>& b)
{
    Result second;
    std::thread worker([&]() { second = job(b); });
    Result first = job(a);
    worker.join();
    return {std::move(first), std::move(second)};
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
    std::vector<std::string_view> result;
    if (packable(all) && packable(sent)) {
        const auto [a, b] = sideBySide<std::vector<PackedLine>>(sortedPacked, all, sent);
        std::vector<PackedLine> kept;
        kept.reserve(a.size());
        std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(kept),
            [](const PackedLine& x, const PackedLine& y) { return x.key() < y.key(); });
        result.reserve(kept.size());
        for (const PackedLine& line : kept) {
            result.emplace_back(all[line.index]);
        }
        return result;
    }
    const auto [a, b] = sideBySide<std::vector<std::string_view>>(sortedViews, all, sent);
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
