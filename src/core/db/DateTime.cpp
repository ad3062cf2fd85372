#include "db/DateTime.h"

#include <cctype>
#include <cmath>
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

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

constexpr std::string_view kYear = "年";
constexpr std::string_view kMonth = "月";
constexpr std::string_view kDay = "日";
constexpr std::string_view kForenoon = "上午";
constexpr std::string_view kAfternoon = "下午";

// The time of day part of a text, with the zone offset when one was given.
struct ClockTime
{
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool zoned = false;
    int zoneOffsetSeconds = 0;
};

// Reads the parts of a date text from left to right; a part that does not match leaves
// the position where it was.
class DateScanner
{
public:
    explicit DateScanner(std::string_view text)
        : m_text(text)
    { }

    bool atEnd() const { return m_pos >= m_text.size(); }
    std::size_t position() const { return m_pos; }
    void seek(std::size_t pos) { m_pos = pos; }

    bool skipBlanks()
    {
        const std::size_t start = m_pos;
        while (!atEnd() && isBlank(m_text[m_pos])) {
            ++m_pos;
        }
        return m_pos != start;
    }

    // word at the position, ASCII letters in either case.
    bool literal(std::string_view word)
    {
        if (m_text.size() - m_pos < word.size()) {
            return false;
        }
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (std::tolower(static_cast<unsigned char>(m_text[m_pos + i]))
                != std::tolower(static_cast<unsigned char>(word[i]))) {
                return false;
            }
        }
        m_pos += word.size();
        return true;
    }

    bool previousWas(std::string_view word) const
    {
        return m_pos >= word.size() && m_text.substr(m_pos - word.size(), word.size()) == word;
    }

    // 1..maxDigits digits not followed by another digit; the count read, 0 when none fit.
    std::size_t number(std::size_t maxDigits, int& value)
    {
        const std::size_t start = m_pos;
        value = 0;
        while (!atEnd() && isDigit(m_text[m_pos]) && m_pos - start < maxDigits) {
            value = value * 10 + (m_text[m_pos] - '0');
            ++m_pos;
        }
        if (m_pos == start || (!atEnd() && isDigit(m_text[m_pos]))) {
            m_pos = start;
            return 0;
        }
        return m_pos - start;
    }

    // Y-M-D, Y/M/D, Y.M.D, Y年M月D日 (a four-digit year) or M/D/Y; the null date otherwise.
    DateTime date()
    {
        const std::size_t start = m_pos;
        int first = 0;
        int month = 0;
        int day = 0;
        int year = 0;
        bool read = false;
        const std::size_t digits = number(4, first);
        if (digits == 4) {
            year = first;
            if (literal(kYear)) {
                read = number(2, month) && literal(kMonth) && number(2, day) && literal(kDay);
            } else if (!atEnd() && (m_text[m_pos] == '-' || m_text[m_pos] == '/' || m_text[m_pos] == '.')) {
                const std::string_view separator = m_text.substr(m_pos, 1);
                ++m_pos;
                read = number(2, month) && literal(separator) && number(2, day);
            }
        } else if (digits > 0 && digits <= 2) {
            month = first;
            read = literal("/") && number(2, day) && literal("/") && number(4, year) == 4;
        }
        const DateTime date = read ? DateTime::fromFields(year, month, day) : DateTime {};
        if (!date.valid) {
            m_pos = start;
        }
        return date;
    }

    // H:M[:S[.fraction]] with 上午/下午 before or AM/PM (or 上午/下午) after it, or else an
    // ISO zone ("Z", "+08:00", "+0800", "-05") right after it. Field ranges are checked
    // by the caller.
    bool time(ClockTime& clock)
    {
        int half = halfOfDay();
        if (half != 0) {
            skipBlanks();
        }
        if (!number(2, clock.hour) || !literal(":") || !number(2, clock.minute)) {
            return false;
        }
        if (literal(":")) {
            if (!number(2, clock.second)) {
                return false;
            }
            if (literal(".")) {
                int ignored = 0;
                while (number(9, ignored)) { }
            }
        }
        if (half == 0) {
            const std::size_t afterTime = m_pos;
            skipBlanks();
            half = halfOfDay();
            if (half == 0) {
                m_pos = afterTime;
                return zone(clock);
            }
        }
        if (clock.hour < 1 || clock.hour > 12) {
            return false;
        }
        clock.hour = clock.hour % 12 + (half == 2 ? 12 : 0);
        return true;
    }

private:
    // 1 for the morning, 2 for the afternoon, 0 when no such word is here.
    int halfOfDay()
    {
        if (literal("AM") || literal(kForenoon)) {
            return 1;
        }
        if (literal("PM") || literal(kAfternoon)) {
            return 2;
        }
        return 0;
    }

    bool zone(ClockTime& clock)
    {
        if (literal("Z")) {
            clock.zoned = true;
            return true;
        }
        const bool east = literal("+");
        if (!east && !literal("-")) {
            return true; // no zone: local time
        }
        int figures = 0;
        int hours = 0;
        int minutes = 0;
        const std::size_t digits = number(4, figures);
        if (digits == 4) { // "+0800"
            hours = figures / 100;
            minutes = figures % 100;
        } else if (digits == 2) {
            hours = figures;
            if (literal(":") && number(2, minutes) != 2) {
                return false;
            }
        } else {
            return false;
        }
        if (hours > 14 || minutes > 59) {
            return false;
        }
        clock.zoned = true;
        clock.zoneOffsetSeconds = (east ? 1 : -1) * (hours * 3600 + minutes * 60);
        return true;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

DateTime localFromEpoch(std::time_t seconds)
{
    std::tm local {};
    if (!localtime_r(&seconds, &local)) {
        return {};
    }
    return DateTime::fromFields(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
        local.tm_sec > 59 ? 59 : local.tm_sec);
}

DateTime fromUtcInLocalTime(const DateTime& utc)
{
    if (!utc.valid) {
        return {};
    }
    const long long seconds
        = daysFromCivil(utc.year, utc.month, utc.day) * 86400LL + utc.hour * 3600LL + utc.minute * 60LL + utc.second;
    return localFromEpoch(static_cast<std::time_t>(seconds));
}

constexpr int kMinYear = 1;
constexpr int kMaxYear = 9999;

} // namespace

DateTime DateTime::now()
{
    return localFromEpoch(std::time(nullptr));
}

DateTime DateTime::fromFields(int year, int month, int day, int hour, int minute, int second)
{
    if (year < kMinYear || year > kMaxYear || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)
        || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
        return {};
    }
    return DateTime {year, month, day, hour, minute, second, true};
}

DateTime DateTime::parse(std::string_view text)
{
    DateScanner scanner(text);
    scanner.skipBlanks();
    DateTime date = scanner.date();
    bool withTime = false;
    if (date.valid) {
        // A date in figures needs a 'T' or a blank before its time; after "日" both may go.
        const bool chinese = scanner.previousWas(kDay);
        const std::size_t afterDate = scanner.position();
        const bool separated = scanner.literal("T") || scanner.skipBlanks() || chinese;
        withTime = separated && !scanner.atEnd();
        if (!withTime) {
            scanner.seek(afterDate);
        }
    } else {
        scanner.seek(0);
        scanner.skipBlanks();
        date = fromFields(1899, 12, 30); // a time alone falls on day 0 of the serial calendar
        withTime = true;
    }
    ClockTime clock;
    if (withTime && !scanner.time(clock)) {
        return {};
    }
    scanner.skipBlanks();
    if (!scanner.atEnd()) {
        return {};
    }
    const DateTime moment = fromFields(date.year, date.month, date.day, clock.hour, clock.minute, clock.second);
    return clock.zoned ? fromUtcInLocalTime(moment.addSeconds(-clock.zoneOffsetSeconds)) : moment;
}

DateTime DateTime::fromSerial(double serial, const DateTime& origin)
{
    if (!origin.valid || !std::isfinite(serial) || std::fabs(serial) > 3.7e6) {
        return {};
    }
    // The whole part counts days, the fraction is the time of that day, also before the
    // origin (-1.25 is the day before at 06:00), as the serial calendars define it.
    const double days = std::trunc(serial);
    const auto seconds = static_cast<long long>(std::llround(std::fabs(serial - days) * 86400.0));
    return origin.addDays(static_cast<int>(days)).addSeconds(seconds);
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
