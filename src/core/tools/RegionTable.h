#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace telvora {

class CADODataBase;

/// Province and city of a number; both empty when its segment is unknown.
struct Region
{
    std::string_view province;
    std::string_view city;
};

/// The segment table of mobileArea.db held in memory: the number tools look up every
/// number of a list, often a million of them.
class CRegionTable final
{
public:
    /// Reads "SELECT province, city, segment FROM mobileSegment " from an open database,
    /// trimming the three values; a later row of a segment replaces an earlier one.
    bool Load(CADODataBase& database);
    /// Opens the file read-only and loads it. The message on failure is the one the tools
    /// show: "打开号码查询数据库失败！".
    bool LoadFile(const std::string& path);

    /// The region of a number's segment, its first seven characters.
    Region Lookup(std::string_view number) const;
    std::size_t GetSegmentCount() const { return m_bySegment.size(); }
    const std::string& GetLastError() const { return m_lastError; }

private:
    std::uint32_t intern(std::string_view name);

    struct Entry
    {
        std::uint32_t province;
        std::uint32_t city;
    };
    struct TextHash
    {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view> {}(text); }
    };
    std::vector<std::string> m_names; // index 0 is the empty name
    std::unordered_map<std::string, std::uint32_t> m_nameIds;
    std::unordered_map<std::string, Entry, TextHash, std::equal_to<>> m_bySegment;
    std::string m_lastError;
};

} // namespace telvora
