#pragma once

#include "send/NumberList.h"

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace telvora {

// The send list behind the send view: one row per number source. A "手工添加" row holds one
// typed number; every other row stands for a source entry (numbers and carrier counts) kept
// under a source key. The carrier counters always equal the sums over all rows.
class CSendList final
{
public:
    struct Row
    {
        int serial = 0; // "序号": the row count + 1 when the row was added
        std::string type; // "类型"
        std::size_t count = 0; // "号码个数"
        std::string resource; // "号码资源"
        int key = 0; // source key, 0 for a typed number
    };
    struct Source
    {
        CarrierCounts counts;
        std::vector<std::string> numbers;
    };
    enum class AddResult { Added, Invalid, Duplicate };

    static constexpr std::string_view kManualType = "手工添加";
    static constexpr std::string_view kFolderType = "目录加载";

    // Trims the text; a valid number not yet typed becomes a "手工添加" row.
    AddResult addManual(std::string_view text);
    bool hasManual(const std::string& number) const;
    // A source row; key 0 takes the next source key. Returns the key used.
    int addSource(const std::string& type, const std::string& resource, Source source, int key = 0);

    // Removes rows by position (any order, duplicates ignored).
    void removeRows(std::vector<int> rows);
    // Removes every source row of that type and resource (a folder's rows); false when none.
    bool removeSources(std::string_view type, std::string_view resource);
    void clear();
    // Empties the list and adds back the numbers of the other carriers as one row with key 1
    // ("提取号码"). False when that carrier has no number in the list.
    bool clearCarrier(Carrier carrier);
    // Same as clearCarrier's remainder: empties the list and, when numbers are given, adds
    // them as one row with key 1 (the split by region uses this).
    void replaceWith(const std::string& type, const std::string& resource, const std::vector<std::string>& numbers);

    // Every source's numbers in key order, then the typed numbers.
    std::vector<std::string> allNumbers() const;
    const std::vector<Row>& rows() const { return m_rows; }
    const CarrierCounts& counts() const { return m_counts; }
    // The counter of one carrier; 0 for Carrier::Invalid.
    std::size_t countOf(Carrier carrier) const;
    const std::vector<std::string>& manualNumbers() const { return m_manual; }
    const std::map<int, Source>& sources() const { return m_sources; }
    bool empty() const { return m_rows.empty(); }

private:
    void subtract(const CarrierCounts& counts);

    std::vector<Row> m_rows;
    std::vector<std::string> m_manual;
    std::map<int, Source> m_sources;
    CarrierCounts m_counts;
    int m_lastKey = 1; // the first source row gets key 2
};

} // namespace telvora
