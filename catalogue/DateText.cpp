#include "catalogue/DateText.h"

#include <cstdio>

std::string FormatDateText(const std::optional<platform::FileTimes>& times) {
    if (!times) return kUnknownDateText;
    const std::optional<platform::CalendarTime> calendar = platform::FileTimeToCalendar(times->lastWrite);
    if (!calendar) return kUnknownDateText;

    // The fields are 16-bit in the system's calendar record; the year is
    // printed in full, the others with two digits.
    const short year = static_cast<short>(calendar->year);
    const short month = static_cast<short>(calendar->month);
    const short day = static_cast<short>(calendar->day);
    const short hour = static_cast<short>(calendar->hour);
    const short minute = static_cast<short>(calendar->minute);
    // Negative fields (no calendar the system gives) print with their signs.
    char text[48];
    std::snprintf(text, sizeof text, "%hd/%02hd/%02hd - %02hd:%02hd", year, month, day, hour, minute);
    return text;
}

std::string IsoDateText(platform::FileTime time) {
    const std::optional<platform::CalendarTime> calendar = platform::FileTimeToCalendar(time);
    if (!calendar) return {};
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", calendar->year, calendar->month, calendar->day,
        calendar->hour, calendar->minute, calendar->second);
    return text;
}
