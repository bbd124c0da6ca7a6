#include "catalogue/DateText.h"

#include <cstdio>

std::string FormatDateText(const std::optional<platform::FileTimes>& times) {
    if (!times) return UnknownDateText;
    const std::optional<platform::CalendarTime> calendar =
        platform::FileTimeToCalendar(times->lastWrite);
    if (!calendar) return UnknownDateText;

    // The fields are 16-bit in the system's calendar record; the year is
    // printed in full, the others with two digits.
    char text[32];
    std::snprintf(text, sizeof text, "%hd/%02hd/%02hd - %02hd:%02hd",
                  static_cast<short>(calendar->year), static_cast<short>(calendar->month),
                  static_cast<short>(calendar->day), static_cast<short>(calendar->hour),
                  static_cast<short>(calendar->minute));
    return text;
}
