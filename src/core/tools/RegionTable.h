#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace telvora {

class CADODataBase;
class CDataDirectory;

/// Province and city of a number; both empty when its segment is unknown.
struct Region
{
    std::string_view province;
    std::string_view city;
};

/// The segment table of mobileArea.db held in memory: the number tools look up every
/// number of a list, often a million of them. Segments are seven digits.
class CRegionTable final
{
public:
    /// Names are numbered: 0 is the empty name of an unknown segment.
    struct RegionIds
    {
        std::uint32_t province = 0;
        std::uint32_t city = 0;
    };

    /// Reads "SELECT province, city, segment FROM mobileSegment " from an open database,
    /// trimming the three values; a later row of a segment replaces an earlier one.
    bool Load(CADODataBase& database);
    /// Opens the file read-only and loads it. The message on failure is the one the tools
    /// show: "打开号码查询数据库失败！".
    bool LoadFile(const std::string& path);

    /// The region of a number's segment, its first seven characters.
    Region Lookup(std::string_view number) const;
    RegionIds LookupIds(std::string_view number) const;
    const std::string& Name(std::uint32_t id) const { return m_names[id]; }
    std::size_t GetNameCount() const { return m_names.size(); }
    std::size_t GetSegmentCount() const { return m_segments.size(); }
    const std::string& GetLastError() const { return m_lastError; }

private:
    std::vector<std::string> m_names;
    std::vector<std::uint32_t> m_segments; // ascending
    std::vector<RegionIds> m_regions; // of each segment
    std::string m_lastError;
};

/// Makes sure the data directory holds mobileArea.db (copied from the program's own) and
/// gives its path; false when there is none.
bool PrepareRegionDatabase(CDataDirectory& directory, std::string& path);

/// The region lookup dialog's query: province and city of the number's first seven
/// characters. False when no row names them.
bool QuerySegmentRegion(CADODataBase& database, std::string_view number, std::string& province, std::string& city);

} // namespace telvora
