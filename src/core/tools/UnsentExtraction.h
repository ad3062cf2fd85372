#pragma once

#include "send/NumberFileLoader.h"

#include <string>
#include <string_view>
#include <vector>

namespace telvora {

/// The numbers of a broken-off send that never went out: all numbers to send minus the
/// numbers already sent, counted as multisets. Loading big files runs off the UI thread.
class CUnsentExtraction final : public CNumberLoaderBase
{
public:
    enum class List { All, Sent };

    /// Appends every line of the file longer than 6 characters, as it stands (no
    /// trimming), to the list; loading twice appends twice. Status Loaded or NotFound by
    /// whether the list grew; OpenFailed with "打开加载文件[%s]失败!".
    NumberFileResult LoadFile(List list, const std::string& path);
    const std::vector<std::string>& GetList(List list) const;

    /// All − Sent in ascending byte order: a line m times in All and n times in Sent comes
    /// max(m − n, 0) times.
    std::vector<std::string_view> Extract() const;

private:
    std::vector<std::string> m_all;
    std::vector<std::string> m_sent;
};

/// Multiset difference of two lists of lines, ascending in byte order.
std::vector<std::string_view> SortedDifference(
    const std::vector<std::string>& all, const std::vector<std::string>& sent);

} // namespace telvora
