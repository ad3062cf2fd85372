#pragma once

#include <cstdint>
#include <string>

namespace telvora {

struct DateTime;

// The date record on both sides of the conversion, laid out like the platform date record
// the reminder data was first kept with; only year, month and day carry meaning here.
struct SystemTime
{
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t dayOfWeek = 0;
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;
};

/// The record of a calendar day, for SolarToLunar.
SystemTime SystemTimeOf(const DateTime& day);

/// Solar to lunar conversion over the lunar years of the table (1921 to 2100) and the
/// Chinese text of a lunar date. Holds no state.
class CLunarCalendar
{
public:
    virtual ~CLunarCalendar() = default;

    /// Converts solar year, month and day. On success lunar holds the lunar year, month
    /// (1 to 12) and day (1 to 30), its other fields zero, and leap is 1 when the day lies in
    /// the leap month (whose number is that of the month it follows), else 0. A missing
    /// record, an impossible solar date or one outside the table gives false and no output.
    bool SolarToLunar(const SystemTime* solar, SystemTime* lunar, int* leap) const;

    /// The text of a lunar date as SolarToLunar gives it, for example 鼠(庚子)年闰四月初一.
    std::string FormatLunarDate(const SystemTime& lunar, int leap) const;
};

} // namespace telvora
