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
    // The one reader of date texts. Accepts a date as "Y-M-D", "Y/M/D", "Y.M.D" or
    // "Y年M月D日" (a four-digit year, leading zeros optional) or "M/D/Y", each optionally
    // followed by a time "H:M" or "H:M:S" (fractions of a second dropped) with "AM"/"PM"
    // after it or "上午"/"下午" before or after it; a 'T' may separate date and time, and a
    // zone ("Z", "+08:00", "+0800", "-05") after the time turns it into local time. A time
    // alone falls on 1899-12-30. Anything else, impossible days such as "2026-2-29"
    // included, gives the null date.
    static DateTime parse(std::string_view text);
    // A serial day count from origin (the fraction is the time of day), as spreadsheets and
    // the Jet engine count dates; the null date when out of range.
    static DateTime fromSerial(double serial, const DateTime& origin);
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
