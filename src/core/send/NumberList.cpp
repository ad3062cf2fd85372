#include "send/NumberList.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace telvora {

void CarrierCounts::add(Carrier carrier)
{
    switch (carrier) {
    case Carrier::ChinaMobile:
        ++mobile;
        break;
    case Carrier::ChinaUnicom:
        ++unicom;
        break;
    case Carrier::ChinaTelecom:
        ++telecom;
        break;
    case Carrier::Invalid:
        break;
    }
}

bool CollectedNumbers::addIfMobile(std::string_view text)
{
    const std::string_view number = TrimAscii(text);
    const Carrier carrier = ClassifyMobileNumber(number);
    if (carrier == Carrier::Invalid) {
        return false;
    }
    numbers.emplace_back(number);
    counts.add(carrier);
    return true;
}

void CollectedNumbers::append(const CollectedNumbers& other)
{
    numbers.insert(numbers.end(), other.numbers.begin(), other.numbers.end());
    counts.mobile += other.counts.mobile;
    counts.unicom += other.counts.unicom;
    counts.telecom += other.counts.telecom;
}

NumberList BuildNumberList(std::span<const std::string> candidates)
{
    // Valid numbers are eleven digits of the same length, so sorting their values sorts the
    // texts by byte order, and integers sort far faster than strings on big lists.
    std::vector<std::uint64_t> values;
    values.reserve(candidates.size());
    NumberList list;
    for (const std::string& candidate : candidates) {
        const std::string_view number = TrimAscii(candidate);
        if (ClassifyMobileNumber(number) == Carrier::Invalid) {
            list.invalid.emplace_back(number);
            continue;
        }
        std::uint64_t value = 0;
        std::from_chars(number.data(), number.data() + number.size(), value);
        values.push_back(value);
    }
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    std::sort(list.invalid.begin(), list.invalid.end());
    list.invalid.erase(std::unique(list.invalid.begin(), list.invalid.end()), list.invalid.end());

    list.numbers.reserve(values.size());
    char digits[11];
    for (const std::uint64_t value : values) {
        std::to_chars(digits, digits + sizeof digits, value);
        list.numbers.emplace_back(digits, sizeof digits);
        list.counts.add(ClassifyMobileNumber(list.numbers.back()));
    }
    return list;
}

} // namespace telvora
