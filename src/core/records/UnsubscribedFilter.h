#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace telvora {

class CADODataBase;
class CParameterStore;

/// Customers who asked not to be messaged again: their cards carry the status "退订". While
/// the parameter "SkipUnsubscribed" is not "0" every send leaves their numbers out.
class CUnsubscribedFilter final
{
public:
    static constexpr const char* kStatus = "退订";

    CUnsubscribedFilter(CADODataBase& database, const CParameterStore& parameters);

    bool IsActive() const { return m_active; }
    /// Removes the numbers whose card is "退订" (its card) and returns how many
    /// entries were removed; nothing when the filter is off. The order of the rest is kept.
    std::size_t Apply(std::vector<std::string>& numbers);

    /// What the user is told before a send that left numbers out.
    static std::string ExcludedMessage(std::size_t count);
    /// True for a reply whose whole text, trimmed and without regard to case, asks to stop.
    static bool IsOptOutReply(std::string_view text);
    /// Marks the card of the phone "退订". False when the statement failed.
    static bool MarkUnsubscribed(CADODataBase& database, const std::string& phone);

private:
    CADODataBase& m_database;
    bool m_active;
};

} // namespace telvora
