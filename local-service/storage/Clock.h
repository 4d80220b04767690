#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace localservice {

struct CalendarDate
{
    int year = 0;
    int month = 0;
    int day = 0;
};

// Milliseconds since the epoch.
std::int64_t currentTimeMs();

// Local time without a zone, the way the service writes every date-time:
// "2021-03-04T05:06:07". The service runs beside its client, so local time
// is the practitioner's time.
std::string formatLocalDateTime(std::int64_t epochMs);
// The same, as headings are shown to people: "2021-03-04 05:06".
std::string formatLocalDateTimeShort(std::int64_t epochMs);

CalendarDate localDate(std::int64_t epochMs);

// "yyyy-MM-dd" with a real calendar date, else nullopt.
std::optional<CalendarDate> parseIsoDate(const std::string& text);
std::string formatIsoDate(const CalendarDate& date);

// Whole years from the birth date to the day.
int yearsBetween(const CalendarDate& birth, const CalendarDate& day);

bool operator<(const CalendarDate& a, const CalendarDate& b);

} // namespace localservice
