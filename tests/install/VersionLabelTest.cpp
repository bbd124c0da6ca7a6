#include <gtest/gtest.h>

#include "install/VersionLabel.h"

// The label is the text after the last lower-case 'v', or "1" without one;
// characters no file name can hold become underscores, and so do trailing
// dots and spaces, which Windows drops (the same name on both builds).
TEST(VersionLabel, BackupNamesFromTitles) {
    const std::pair<const char*, const char*> titlesAndLabels[] = {{"Slide film v2.1", "2.1"},
        {"Reversal 100", "ersal 100"}, {"Color 100 V3", "1"}, {"Slide film v", ""}, {"", "1"}, {"v1 v2", "2"},
        {"v\\/:*?\"<>|", "_________"}, {"va\x01\tb\x1F \x7F\xE9.", "a__b_ \x7F\xE9_"}, {"Slide film v2.1. .", "2.1___"},
        // The separators go, so the name stays inside the backup folder; what
        // is left of "..", after the file name, is an ordinary name.
        {"Slide v\\..\\..\\x", "_.._.._x"}, {"Slide v/../../x", "_.._.._x"}, {"Slide v..", "__"},
        {"Slide vC:2", "C_2"}};
    for (const auto& [title, label] : titlesAndLabels) {
        EXPECT_EQ(BackupFileName("DFILM01.ztb", title), "DFILM01.ztb, v" + std::string(label)) << title;
    }
}
