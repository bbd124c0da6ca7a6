#include <gtest/gtest.h>

#include <optional>

#include "catalogue/DateText.h"
#include "tests/catalogue/TableFiles.h"

namespace {

std::string Format(platform::FileTime lastWrite) {
    platform::FileTimes times;
    times.lastWrite = lastWrite;
    return FormatDateText(times);
}

}  // namespace

TEST(DateText, YearInFullOtherFieldsWithTwoDigitsSecondsDropped) {
    EXPECT_EQ(Format(UtcFileTime(1998, 7, 4, 9, 5, 59)), "1998/07/04 - 09:05");
    EXPECT_EQ(Format(UtcFileTime(2024, 12, 31, 23, 59)), "2024/12/31 - 23:59");
    EXPECT_EQ(Format(0), "1601/01/01 - 00:00");
}

TEST(DateText, UnknownWithoutTimesOrCalendarForm) {
    EXPECT_EQ(FormatDateText(std::nullopt), "Unknown");
    EXPECT_EQ(Format(0x8000000000000000ull), "Unknown");
}

TEST(DateText, ByteOrderIsChronologicalAndUnknownIsLast) {
    const std::string early = Format(UtcFileTime(1998, 7, 4, 9, 5));
    const std::string later = Format(UtcFileTime(1998, 7, 4, 9, 6));
    const std::string nextYear = Format(UtcFileTime(1999, 1, 1, 0, 0));
    EXPECT_LT(early, later);
    EXPECT_LT(later, nextYear);
    EXPECT_LT(nextYear, std::string(UnknownDateText));
}

TEST(DateText, OfAFileAndOfNoFile) {
    TempFolder temp;
    WriteTable(temp.Path("D1.ztb"), "Slide", 1002, UtcFileTime(2003, 2, 1, 17, 45, 30));
    EXPECT_EQ(DateText(temp.Path("D1.ztb")), "2003/02/01 - 17:45");
    EXPECT_EQ(DateText(temp.Path("missing.ztb")), "Unknown");
    // A folder cannot be opened for its times.
    EXPECT_EQ(DateText(temp.Text()), "Unknown");
}
