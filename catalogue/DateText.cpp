#include "catalogue/DateText.h"

#include <cstdio>
#include <cstring>

namespace {

// Writes value (0 to 32767) in decimal with at least minDigits digits, zeros
// in front, at out; gives the end of what it wrote.
char* WriteDigits(char* out, int value, int minDigits) {
    char digits[8];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (count < minDigits) digits[count++] = '0';
    while (count > 0) *out++ = digits[--count];
    return out;
}

}  // namespace

std::string FormatDateText(const std::optional<platform::FileTimes>& times) {
    if (!times) return UnknownDateText;
    const std::optional<platform::CalendarTime> calendar =
        platform::FileTimeToCalendar(times->lastWrite);
    if (!calendar) return UnknownDateText;

    // The fields are 16-bit in the system's calendar record; the year is
    // printed in full, the others with two digits.
    const short year = static_cast<short>(calendar->year);
    const short month = static_cast<short>(calendar->month);
    const short day = static_cast<short>(calendar->day);
    const short hour = static_cast<short>(calendar->hour);
    const short minute = static_cast<short>(calendar->minute);
    if (year < 0 || month < 0 || day < 0 || hour < 0 || minute < 0) {
        // Not a calendar the system gives; printed with its signs.
        char text[32];
        std::snprintf(text, sizeof text, "%hd/%02hd/%02hd - %02hd:%02hd", year, month, day, hour, minute);
        return text;
    }
    // Written digit by digit: this runs once for every table a scan lists.
    char text[32];
    char* end = WriteDigits(text, year, 1);
    *end++ = '/';
    end = WriteDigits(end, month, 2);
    *end++ = '/';
    end = WriteDigits(end, day, 2);
    std::memcpy(end, " - ", 3);
    end += 3;
    end = WriteDigits(end, hour, 2);
    *end++ = ':';
    end = WriteDigits(end, minute, 2);
    return std::string(text, end);
}
