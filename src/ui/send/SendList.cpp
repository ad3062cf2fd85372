#include "send/SendList.h"

#include <algorithm>
#include <utility>

namespace telvora {

CSendList::AddResult CSendList::addManual(std::string_view text)
{
    const std::string number(TrimAscii(text));
    const Carrier carrier = ClassifyMobileNumber(number);
    if (carrier == Carrier::Invalid) {
        return AddResult::Invalid;
    }
    if (hasManual(number)) {
        return AddResult::Duplicate;
    }
    m_rows.push_back({static_cast<int>(m_rows.size()) + 1, std::string(kManualType), 1, number, 0});
    m_manual.push_back(number);
    m_counts.add(carrier);
    return AddResult::Added;
}

bool CSendList::hasManual(const std::string& number) const
{
    return std::find(m_manual.begin(), m_manual.end(), number) != m_manual.end();
}

int CSendList::addSource(const std::string& type, const std::string& resource, Source source, int key)
{
    if (key == 0) {
        key = ++m_lastKey;
    }
    m_counts.mobile += source.counts.mobile;
    m_counts.unicom += source.counts.unicom;
    m_counts.telecom += source.counts.telecom;
    // The row counts what its carriers count, so the counters stay the sum over the rows.
    const std::size_t count = source.counts.total();
    m_rows.push_back({static_cast<int>(m_rows.size()) + 1, type, count, resource, key});
    m_sources[key] = std::move(source);
    return key;
}

void CSendList::subtract(const CarrierCounts& counts)
{
    m_counts.mobile -= std::min(m_counts.mobile, counts.mobile);
    m_counts.unicom -= std::min(m_counts.unicom, counts.unicom);
    m_counts.telecom -= std::min(m_counts.telecom, counts.telecom);
}

void CSendList::removeRows(std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // From the last row upwards, so the positions of the rows still to go stay valid.
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        if (*it < 0 || static_cast<std::size_t>(*it) >= m_rows.size()) {
            continue;
        }
        const Row& row = m_rows[static_cast<std::size_t>(*it)];
        if (row.key == 0) {
            CarrierCounts one;
            one.add(ClassifyMobileNumber(row.resource));
            subtract(one);
            std::erase(m_manual, row.resource);
        } else if (const auto source = m_sources.find(row.key); source != m_sources.end()) {
            subtract(source->second.counts);
            m_sources.erase(source);
        }
        m_rows.erase(m_rows.begin() + *it);
    }
}

bool CSendList::removeSources(std::string_view type, std::string_view resource)
{
    std::vector<int> rows;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].key != 0 && m_rows[i].type == type && m_rows[i].resource == resource) {
            rows.push_back(static_cast<int>(i));
        }
    }
    removeRows(rows);
    return !rows.empty();
}

void CSendList::clear()
{
    m_rows.clear();
    m_manual.clear();
    m_sources.clear();
    m_counts = {};
}

std::size_t CSendList::countOf(Carrier carrier) const
{
    switch (carrier) {
    case Carrier::ChinaMobile:
        return m_counts.mobile;
    case Carrier::ChinaUnicom:
        return m_counts.unicom;
    case Carrier::ChinaTelecom:
        return m_counts.telecom;
    default:
        return 0;
    }
}

bool CSendList::clearCarrier(Carrier carrier)
{
    if (countOf(carrier) == 0) {
        return false;
    }
    std::vector<std::string> remaining;
    for (std::string& number : allNumbers()) {
        if (ClassifyMobileNumber(number) != carrier) {
            remaining.push_back(std::move(number));
        }
    }
    replaceWith("提取号码", "已清空[" + std::string(CarrierCaption(carrier)) + "]号码的号码资源", remaining);
    return true;
}

void CSendList::replaceWith(
    const std::string& type, const std::string& resource, const std::vector<std::string>& numbers)
{
    clear();
    if (numbers.empty()) {
        return;
    }
    Source source;
    for (const std::string& number : numbers) {
        const Carrier carrier = ClassifyMobileNumber(number);
        if (carrier != Carrier::Invalid) {
            source.counts.add(carrier);
            source.numbers.push_back(number);
        }
    }
    m_lastKey = 1;
    addSource(type, resource, std::move(source), 1);
}

std::vector<std::string> CSendList::allNumbers() const
{
    std::vector<std::string> numbers;
    for (const auto& [key, source] : m_sources) {
        numbers.insert(numbers.end(), source.numbers.begin(), source.numbers.end());
    }
    numbers.insert(numbers.end(), m_manual.begin(), m_manual.end());
    return numbers;
}

} // namespace telvora
