#include "storage/Clock.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <tuple>

namespace localservice {

namespace {

std::tm localTime(std::int64_t epochMs)
{
    const std::time_t seconds = static_cast<std::time_t>(epochMs / 1000);
    std::tm parts{};
    localtime_r(&seconds, &parts);
    return parts;
}

// Both formats are literals here, which lets the compiler check them.
std::string formatTime(std::int64_t epochMs, bool withSeconds)
{
    const std::tm parts = localTime(epochMs);
    char text[32];
    const size_t length = withSeconds ? std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &parts)
                                      : std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &parts);
    return std::string(text, length);
}

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

} // namespace

std::int64_t currentTimeMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::string formatLocalDateTime(std::int64_t epochMs)
{
    return formatTime(epochMs, true);
}

std::string formatLocalDateTimeShort(std::int64_t epochMs)
{
    return formatTime(epochMs, false);
}

CalendarDate localDate(std::int64_t epochMs)
{
    const std::tm parts = localTime(epochMs);
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday};
}

std::optional<CalendarDate> parseIsoDate(const std::string& text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
    }
    CalendarDate date{std::stoi(text.substr(0, 4)), std::stoi(text.substr(5, 2)), std::stoi(text.substr(8, 2))};
    if (date.year < 1 || date.month < 1 || date.month > 12 || date.day < 1 ||
        date.day > daysInMonth(date.year, date.month))
        return std::nullopt;
    return date;
}

std::string formatIsoDate(const CalendarDate& date)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

int yearsBetween(const CalendarDate& birth, const CalendarDate& day)
{
    int years = day.year - birth.year;
    if (std::tie(day.month, day.day) < std::tie(birth.month, birth.day))
        --years;
    return years < 0 ? 0 : years;
}

bool operator<(const CalendarDate& a, const CalendarDate& b)
{
    return std::tie(a.year, a.month, a.day) < std::tie(b.year, b.month, b.day);
}

} // namespace localservice
