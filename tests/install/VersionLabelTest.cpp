#include <gtest/gtest.h>

#include "install/VersionLabel.h"

// The label is the text after the last lower-case 'v', or "1" without one;
// characters no file name can hold become underscores, and so do trailing
// dots and spaces, which Windows drops (the same name on both builds).
TEST(VersionLabel, BackupNamesFromTitles) {
    const char* cases[][2] = {{"Slide film v2.1", "DFILM01.ztb, v2.1"}, {"Reversal 100", "DFILM01.ztb, versal 100"},
        {"Color 100 V3", "DFILM01.ztb, v1"}, {"Slide film v", "DFILM01.ztb, v"}, {"", "DFILM01.ztb, v1"},
        {"v1 v2", "DFILM01.ztb, v2"}, {"v\\/:*?\"<>|", "DFILM01.ztb, v_________"},
        {"va\x01\tb\x1F \x7F\xE9.", "DFILM01.ztb, va__b_ \x7F\xE9_"}, {"Slide film v2.1. .", "DFILM01.ztb, v2.1___"},
        // The separators go, so the name stays inside the backup folder; what
        // is left of "..", after the file name, is an ordinary name.
        {"Slide v\\..\\..\\x", "DFILM01.ztb, v_.._.._x"}, {"Slide v/../../x", "DFILM01.ztb, v_.._.._x"},
        {"Slide v..", "DFILM01.ztb, v__"}, {"Slide vC:2", "DFILM01.ztb, vC_2"}};
    for (const auto& [title, backupName] : cases) {
        EXPECT_EQ(BackupFileName("DFILM01.ztb", title), backupName) << title;
    }
}
