#pragma once

#include "db/DateTime.h"

#include <string>

namespace telvora {

class CADODataBase;

/// The clean-up of old send records run after every login.
class CRecordCleanup final
{
public:
    /// The settings page refuses shorter periods; a missing or garbled "SaveMaxDay" must
    /// not wipe the records, so anything below this is read as this.
    static constexpr int kMinimumDays = 15;
    /// About a century: beyond it the cut-off day stops being a calendar date.
    static constexpr int kMaximumDays = 36500;

    /// The number of days to keep, read from the parameter text with a decimal
    /// conversion ("30", " 30days" give 30) and held between the two limits.
    static int KeptDays(const std::string& saveMaxDay);
    /// The day "days" whole days before now, written "%d-%d-%d".
    static std::string CutOffDay(const DateTime& now, int days);

    /// Deletes the send records and their detail rows sent on or before the cut-off day's
    /// midnight. False when a statement fails (error text in GetLastError).
    bool Run(CADODataBase& database, const std::string& saveMaxDay, const DateTime& now);

    const std::string& GetLastError() const { return m_lastError; }

private:
    std::string m_lastError;
};

} // namespace telvora
