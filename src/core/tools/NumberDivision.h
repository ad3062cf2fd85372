#pragma once

#include "send/NumberFileLoader.h"
#include "send/NumberList.h"
#include "tools/RegionTable.h"

#include <string>
#include <string_view>
#include <vector>

namespace telvora {

/// The modes of the division dialog, numbered as it numbers them.
enum class DivisionMode {
    ByProvince = 1, // "按省份分离号码"
    ByCity = 2, // "按城市分离号码"
    ByCarrier = 3, // "按移动、联通、电信分离号码"
    Extract = 4, // "检索指定省份/城市号码:"
    Remove = 5, // "删除指定省份/城市号码:"
};

struct DividedFile
{
    std::string path;
    std::size_t count = 0;
};

struct DivisionOutcome
{
    bool ok = false;
    std::string message; // "分离手机号码列表完成!" or "创建导出文件失败!"
    std::vector<DividedFile> files; // those written, also when a later one failed
};

/// Splits a list of mobile numbers by province, city or carrier into text files, or keeps
/// the numbers of (or without) a named region. Reading a big file runs off the UI thread:
/// progress goes to the callback and the stop flag is honoured.
class CNumberDivision final : public CNumberLoaderBase
{
public:
    explicit CNumberDivision(const CRegionTable& regions);

    /// Replaces the list with the numbers of a text file: each line trimmed, a line that
    /// does not start with "0" cut to its last 11 characters (a country code falls away),
    /// and kept when it is a valid mobile number.
    NumberFileResult LoadFile(const std::string& path);
    /// Replaces the list with the send list's numbers; invalid ones are dropped.
    void SetNumbers(const std::vector<std::string>& numbers);
    const CollectedNumbers& GetNumbers() const { return m_numbers; }

    /// The refusal the start button shows, or empty when the run may go ahead. The name is
    /// the trimmed field of mode 4 or 5.
    std::string CheckStart(DivisionMode mode, std::string_view name) const;

    /// Appends the mode's files next to base (the chosen path without ".txt").
    DivisionOutcome WriteFiles(DivisionMode mode, std::string_view name, const std::string& base) const;
    /// For the send list (modes 4 and 5): the numbers taken, classified again.
    CollectedNumbers Filter(DivisionMode mode, std::string_view name) const;

    /// Mode 4: the region is known and the name is, or contains, its city or province.
    static bool Selects(const Region& region, std::string_view name);
    /// Mode 5: neither the province nor the city is the name (unknown segments stay).
    static bool Retains(const Region& region, std::string_view name);

private:
    bool taken(DivisionMode mode, std::string_view name, std::string_view number) const;

    const CRegionTable& m_regions;
    CollectedNumbers m_numbers;
    std::vector<Carrier> m_carriers; // of each number, for the split by carrier
};

} // namespace telvora
