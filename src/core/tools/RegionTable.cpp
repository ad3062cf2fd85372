#include "tools/RegionTable.h"

#include "app/AppConstants.h"
#include "app/DataDirectory.h"
#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/PreparedStatement.h"
#include "db/SqlText.h"
#include "session/TextUtil.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

namespace telvora {

namespace {

constexpr const char* kOpenFailed = "打开号码查询数据库失败！";

// The seven digits of a segment as a number, or false for anything else.
bool segmentValue(std::string_view text, std::uint32_t& value)
{
    if (text.size() < 7) {
        return false;
    }
    value = 0;
    for (std::size_t i = 0; i < 7; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        value = value * 10 + static_cast<std::uint32_t>(text[i] - '0');
    }
    return true;
}

} // namespace

bool CRegionTable::Load(CADODataBase& database)
{
    m_names.assign(1, std::string());
    m_segments.clear();
    m_regions.clear();
    std::unordered_map<std::string, std::uint32_t> nameIds;
    const auto intern = [&](std::string_view name) -> std::uint32_t {
        if (name.empty()) {
            return 0;
        }
        const auto [found, added] = nameIds.try_emplace(std::string(name), static_cast<std::uint32_t>(m_names.size()));
        if (added) {
            m_names.emplace_back(name);
        }
        return found->second;
    };

    CPreparedStatement query(&database);
    if (!query.Prepare("SELECT province, city, segment FROM mobileSegment ")) {
        m_lastError = query.GetLastError();
        return false;
    }
    std::vector<std::uint32_t> segments;
    std::vector<RegionIds> regions;
    while (query.Step()) {
        const std::string segment = query.GetText(2);
        const std::string_view trimmed = TrimAscii(segment);
        std::uint32_t value = 0;
        // Only a seven-character segment can equal the first seven characters of a number.
        if (trimmed.size() != 7 || !segmentValue(trimmed, value)) {
            continue;
        }
        segments.push_back(value);
        regions.push_back({intern(TrimAscii(query.GetText(0))), intern(TrimAscii(query.GetText(1)))});
    }
    if (query.HasFailed()) {
        m_lastError = query.GetLastError();
        return false;
    }
    // In segment order; of several rows of one segment the last read wins.
    std::vector<std::uint32_t> order(segments.size());
    std::iota(order.begin(), order.end(), 0U);
    std::stable_sort(
        order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return segments[a] < segments[b]; });
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i + 1 < order.size() && segments[order[i + 1]] == segments[order[i]]) {
            continue;
        }
        m_segments.push_back(segments[order[i]]);
        m_regions.push_back(regions[order[i]]);
    }
    m_lastError.clear();
    return true;
}

bool CRegionTable::LoadFile(const std::string& path)
{
    CADODataBase database;
    if (!database.OpenReadOnly(path) || !Load(database)) {
        m_lastError = kOpenFailed;
        return false;
    }
    return true;
}

CRegionTable::RegionIds CRegionTable::LookupIds(std::string_view number) const
{
    std::uint32_t value = 0;
    if (!segmentValue(number, value)) {
        return {};
    }
    const auto found = std::lower_bound(m_segments.begin(), m_segments.end(), value);
    if (found == m_segments.end() || *found != value) {
        return {};
    }
    return m_regions[static_cast<std::size_t>(found - m_segments.begin())];
}

Region CRegionTable::Lookup(std::string_view number) const
{
    const RegionIds ids = LookupIds(number);
    return {m_names[ids.province], m_names[ids.city]};
}

bool PrepareRegionDatabase(CDataDirectory& directory, std::string& path)
{
    if (!directory.EnsureShippedCopy(kRegionDatabase)) {
        return false;
    }
    path = directory.FilePath(kRegionDatabase);
    return true;
}

bool QuerySegmentRegion(CADODataBase& database, std::string_view number, std::string& province, std::string& city)
{
    CADORecordset rs(&database);
    if (!rs.Open("SELECT province, city FROM mobileSegment WHERE segment=" + SqlQuote(number.substr(0, 7)))
        || rs.IsEOF()) {
        return false;
    }
    rs.GetFieldValue(0, province);
    rs.GetFieldValue(1, city);
    return true;
}

} // namespace telvora
