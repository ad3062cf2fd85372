#include "db/DateTime.h"

#include <cctype>
#include <cstdio>
#include <ctime>
#include <vector>

namespace telvora {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
long long daysFromCivil(int y, int m, int d)
{
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(long long z, int& y, int& m, int& d)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

// Reads 1..maxDigits decimal digits at pos.
bool readNumber(const std::string& text, std::size_t& pos, std::size_t maxDigits, int& value)
{
    std::size_t digits = 0;
    value = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])) && digits < maxDigits) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
        ++digits;
    }
    return digits > 0 && (pos >= text.size() || !std::isdigit(static_cast<unsigned char>(text[pos])));
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

constexpr int kMinYear = 1;
constexpr int kMaxYear = 9999;

} // namespace

DateTime DateTime::now()
{
    const std::time_t t = std::time(nullptr);
    std::tm local {};
    localtime_r(&t, &local);
    return fromFields(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
        local.tm_sec > 59 ? 59 : local.tm_sec);
}

DateTime DateTime::fromFields(int year, int month, int day, int hour, int minute, int second)
{
    if (year < kMinYear || year > kMaxYear || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)
        || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
        return {};
    }
    return DateTime {year, month, day, hour, minute, second, true};
}

DateTime DateTime::parse(const std::string& text)
{
    std::size_t pos = 0;
    while (pos < text.size() && isBlank(text[pos])) {
        ++pos;
    }
    const std::size_t yearStart = pos;
    int year = 0;
    int month = 0;
    int day = 0;
    if (!readNumber(text, pos, 4, year) || pos - yearStart != 4 || pos >= text.size()) {
        return {};
    }
    const char separator = text[pos];
    if (separator != '-' && separator != '/') {
        return {};
    }
    ++pos;
    if (!readNumber(text, pos, 2, month) || pos >= text.size() || text[pos] != separator) {
        return {};
    }
    ++pos;
    if (!readNumber(text, pos, 2, day)) {
        return {};
    }
    int hour = 0;
    int minute = 0;
    int second = 0;
    if (pos < text.size() && (text[pos] == 'T' || isBlank(text[pos]))) {
        std::size_t timePos = pos + 1;
        while (text[pos] != 'T' && timePos < text.size() && isBlank(text[timePos])) {
            ++timePos;
        }
        if (timePos < text.size()) {
            pos = timePos;
            if (!readNumber(text, pos, 2, hour) || pos >= text.size() || text[pos] != ':') {
                return {};
            }
            ++pos;
            if (!readNumber(text, pos, 2, minute)) {
                return {};
            }
            if (pos < text.size() && text[pos] == ':') {
                ++pos;
                if (!readNumber(text, pos, 2, second)) {
                    return {};
                }
                if (pos < text.size() && text[pos] == '.') {
                    ++pos;
                    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
                        ++pos;
                    }
                }
            }
        }
    }
    while (pos < text.size() && isBlank(text[pos])) {
        ++pos;
    }
    if (pos != text.size()) {
        return {};
    }
    return fromFields(year, month, day, hour, minute, second);
}

bool DateTime::hasStoredForm(std::string_view text)
{
    static constexpr char kShape[] = "dddd-dd-dd dd:dd:dd";
    if (text.size() != sizeof(kShape) - 1) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (kShape[i] == 'd' ? !digit : text[i] != kShape[i]) {
            return false;
        }
    }
    return true;
}

bool DateTime::isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DateTime::daysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

std::string DateTime::toString() const
{
    if (!valid) {
        return {};
    }
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute, second);
    return buffer;
}

std::string DateTime::format(const std::string& pattern) const
{
    if (!valid) {
        return "Invalid DateTime";
    }
    if (pattern.empty()) {
        return {};
    }
    std::tm fields {};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    fields.tm_wday = dayOfWeek();
    fields.tm_yday = dayOfYear() - 1;
    fields.tm_isdst = -1;
    // strftime gives 0 both for an empty result and for a short buffer: grow a few times.
    for (std::size_t size = 64 + pattern.size() * 4; size <= 65536; size *= 4) {
        std::vector<char> buffer(size);
        const std::size_t length = std::strftime(buffer.data(), buffer.size(), pattern.c_str(), &fields);
        if (length > 0) {
            return std::string(buffer.data(), length);
        }
    }
    return {};
}

DateTime DateTime::addDays(int days) const
{
    if (!valid) {
        return {};
    }
    DateTime result = *this;
    civilFromDays(daysFromCivil(year, month, day) + days, result.year, result.month, result.day);
    return fromFields(result.year, result.month, result.day, hour, minute, second);
}

DateTime DateTime::addSeconds(long long seconds) const
{
    if (!valid) {
        return {};
    }
    long long total = daysFromCivil(year, month, day) * 86400LL + hour * 3600LL + minute * 60LL + second + seconds;
    long long days = total / 86400;
    long long rest = total % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    int y = 0;
    int m = 0;
    int d = 0;
    civilFromDays(days, y, m, d);
    return fromFields(
        y, m, d, static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60));
}

int DateTime::dayOfWeek() const
{
    if (!valid) {
        return 0;
    }
    const long long days = daysFromCivil(year, month, day); // 1970-01-01 was a Thursday
    return static_cast<int>(((days % 7) + 11) % 7);
}

int DateTime::dayOfYear() const
{
    if (!valid) {
        return 0;
    }
    return static_cast<int>(daysFromCivil(year, month, day) - daysFromCivil(year, 1, 1)) + 1;
}

} // namespace telvora
