#include <gtest/gtest.h>

#include <set>
#include <string>

#include "catalogue/FilmRecorderModels.h"

TEST(ModelFilePrefix, EveryModelInBoxOrder) {
    const char* expected[12][2] = {
        {"Tavik Desk", "E"}, {"Tavik Desk Plus", "J"}, {"Tavik Z", "F"}, {"Tavik Z-2", "K"},
        {"Orvane A", "D"},
        {"Orvane A HX (tqa-0000 - tqa-0499)", "H"}, {"Orvane A HX (tqa-0500 - tqa-9999)", "D"},
        {"Orvane B", "G"},
        {"Orvane B HX (tqb-0000 - tqb-0499)", "I"}, {"Orvane B HX (tqb-0500 - tqb-9999)", "G"},
        {"Orvane C", "L"}, {"Orvane D", "O"}};
    for (int row = 0; row < 12; ++row) {
        EXPECT_STREQ(FilmRecorderModels[row].ModelText, expected[row][0]);
        EXPECT_EQ(ModelFilePrefix(expected[row][0]), expected[row][1]) << expected[row][0];
    }
    EXPECT_STREQ(DefaultModel, "Orvane A");
}

TEST(ModelFilePrefix, TextsThatNameNoModelGetTheDefaultLetter) {
    EXPECT_EQ(ModelFilePrefix("orvane d"), "D");
    EXPECT_EQ(ModelFilePrefix("Orvane D "), "D");
    EXPECT_EQ(ModelFilePrefix(""), "D");
    EXPECT_EQ(ModelFilePrefix("Orvane"), "D");
    EXPECT_EQ(ModelFilePrefix("Tavik Desk Plus Extra"), "D");
}

TEST(DeviceTypeName, NamedCodes) {
    EXPECT_STREQ(DeviceTypeName(1002), "Orvane A");
    EXPECT_STREQ(DeviceTypeName(1006), "Orvane A - Dark");
    EXPECT_STREQ(DeviceTypeName(1013), "Orvane D");
}

TEST(DeviceTypeName, OtherCodesGetTheEmptyName) {
    for (int code : {0, 1000, 1001, 1011, 1012, 1014, 1015, 1016, 1017, 1018, 1019, 1020, -1,
                     -32768, 32767}) {
        EXPECT_STREQ(DeviceTypeName(static_cast<std::int16_t>(code)), "") << code;
    }
}
