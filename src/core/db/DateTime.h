#pragma once

#include <compare>
#include <string>
#include <string_view>

namespace telvora {

// A calendar date and time as the database stores it ("YYYY-MM-DD HH:MM:SS").
// A default-constructed value is the null date.
struct DateTime
{
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool valid = false;

    static DateTime now();
    // Accepts "Y-M-D", "Y-M-D H:M" and "Y-M-D H:M:S" with or without leading zeros,
    // and "Y/M/D" forms (a four-digit year; a 'T' may separate date and time; fractions
    // of a second are dropped); anything else, including impossible days such as
    // "2026-2-29", gives the null date.
    static DateTime parse(const std::string& text);
    // The given fields when they name a real moment, else the null date.
    static DateTime fromFields(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
    // True when text is exactly "YYYY-MM-DD HH:MM:SS" with digits in place (fields not checked).
    static bool hasStoredForm(std::string_view text);
    static bool isLeapYear(int year);
    static int daysInMonth(int year, int month);

    // "YYYY-MM-DD HH:MM:SS"; empty for the null date.
    std::string toString() const;
    // strftime-style pattern over the calendar fields; "Invalid DateTime" for the null date.
    std::string format(const std::string& pattern) const;
    DateTime addDays(int days) const;
    DateTime addSeconds(long long seconds) const;
    int dayOfWeek() const; // 0 = Sunday
    int dayOfYear() const; // 1 = 1 January

    friend bool operator==(const DateTime&, const DateTime&) = default;
    friend auto operator<=>(const DateTime&, const DateTime&) = default;
};

} // namespace telvora
