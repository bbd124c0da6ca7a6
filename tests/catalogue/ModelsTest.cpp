#include <gtest/gtest.h>

#include <string>

#include "catalogue/FilmRecorderModels.h"

TEST(ModelFilePrefix, SharedLettersAndTextsThatNameNoModel) {
    const char* cases[][2] = {
        {"Orvane D", "O"}, {"Tavik Desk Plus", "J"},
        // The upper HX ranges share their base model's letter.
        {"Orvane A HX (tqa-0500 - tqa-9999)", "D"}, {"Orvane B HX (tqb-0500 - tqb-9999)", "G"},
        // Only an exact, whole, case-sensitive match names a model.
        {"orvane d", "D"}, {"Orvane D ", "D"}, {"", "D"}, {"Orvane", "D"},
        {"Tavik Desk Plus Extra", "D"}};
    for (const auto& [modelText, prefix] : cases) {
        EXPECT_EQ(ModelFilePrefix(modelText), prefix) << modelText;
    }
}

TEST(DeviceTypeName, NamedCodesAndTheEmptyNameForAllOthers) {
    EXPECT_STREQ(DeviceTypeName(1002), "Orvane A");
    EXPECT_STREQ(DeviceTypeName(1006), "Orvane A - Dark");
    EXPECT_STREQ(DeviceTypeName(1013), "Orvane D");
    for (int code : {0, 1000, 1001, 1011, 1012, 1014, 1020, -1, -32768, 32767}) {
        EXPECT_STREQ(DeviceTypeName(static_cast<std::int16_t>(code)), "") << code;
    }
}
