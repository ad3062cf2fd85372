#pragma once

#include "HolidayStore.h"

#include <optional>
#include <string>

namespace telvora {

class CADODataBase;
struct DateTime;

/// What the today page counts: numbers accepted today, replies received today, today's
/// birthdays and today's holiday.
struct TodaySummary
{
    int sent = 0;
    int received = 0;
    int birthdays = 0;
    std::optional<Holiday> holiday;

    static TodaySummary Load(CADODataBase& database, const DateTime& today);

    std::string SentLine() const;
    std::string ReceivedLine() const;
    std::string BirthdayLine(bool autoSend) const;
    std::string HolidayLine() const;
};

} // namespace telvora
