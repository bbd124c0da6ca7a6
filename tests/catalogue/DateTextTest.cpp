#include <gtest/gtest.h>

#include <optional>

#include "catalogue/DateText.h"
#include "testkit/Tables.h"

namespace {

std::string Format(platform::FileTime lastWrite) {
    platform::FileTimes times;
    times.lastWrite = lastWrite;
    return FormatDateText(times);
}

}  // namespace

// Zero-padded fields keep the byte order of date texts chronological.
TEST(DateText, YearInFullOtherFieldsWithTwoDigitsSecondsDroppedOrUnknown) {
    EXPECT_EQ(Format(UtcFileTime(1998, 7, 4, 9, 5, 59)), "1998/07/04 - 09:05");
    EXPECT_EQ(Format(UtcFileTime(2024, 12, 31, 23, 59)), "2024/12/31 - 23:59");
    EXPECT_EQ(Format(0), "1601/01/01 - 00:00");
    EXPECT_EQ(Format(UtcFileTime(2000, 10, 10, 10, 10)), "2000/10/10 - 10:10");
    // The last time with a calendar form: a five-digit year.
    EXPECT_EQ(Format(0x7FFFFFFFFFFFFFFFull), "30828/09/14 - 02:48");
    // No times, or a time without a calendar form.
    EXPECT_EQ(FormatDateText(std::nullopt), "Unknown");
    EXPECT_EQ(Format(0x8000000000000000ull), "Unknown");
}
