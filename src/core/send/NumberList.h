#pragma once

#include "send/SmsRules.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace telvora {

struct CarrierCounts
{
    std::size_t mobile = 0;
    std::size_t unicom = 0;
    std::size_t telecom = 0;

    void add(Carrier carrier);
    std::size_t total() const { return mobile + unicom + telecom; }
    bool operator==(const CarrierCounts&) const = default;
};

/// Numbers collected from a source, kept in the order found; duplicates stay.
struct CollectedNumbers
{
    std::vector<std::string> numbers;
    CarrierCounts counts;

    /// Trims the text and keeps it when it is a valid mobile number.
    bool addIfMobile(std::string_view text);
    /// Appends the numbers and counts of another collection.
    void append(const CollectedNumbers& other);
};

/// The recipients of a send as the engine wants them.
struct NumberList
{
    std::vector<std::string> numbers; // valid mobile numbers, ascending, distinct
    std::vector<std::string> invalid; // trimmed texts that are no mobile number, ascending, distinct
    CarrierCounts counts; // carriers of `numbers`
};

/// Trims every candidate, keeps the valid mobile numbers sorted and de-duplicated.
NumberList BuildNumberList(std::span<const std::string> candidates);

} // namespace telvora
