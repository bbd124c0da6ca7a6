#include <gtest/gtest.h>

#include "install/VersionLabel.h"

TEST(VersionLabel, TextAfterTheLastLowerCaseV) {
    EXPECT_EQ(ExtractVersionLabel("Slide film v2.1"), "2.1");
    EXPECT_EQ(ExtractVersionLabel("Reversal 100"), "ersal 100");
    EXPECT_EQ(ExtractVersionLabel("Color 100 V3"), "1");
    EXPECT_EQ(ExtractVersionLabel("Slide film v"), "");
    EXPECT_EQ(ExtractVersionLabel(""), "1");
    EXPECT_EQ(ExtractVersionLabel("v1 v2"), "2");
}

TEST(VersionLabel, BackupNamesOfTheExampleRows) {
    EXPECT_EQ(BackupFileName("DFILM01.ztb", "Slide film v2.1"), "DFILM01.ztb, v2.1");
    EXPECT_EQ(BackupFileName("DFILM01.ztb", "Reversal 100"), "DFILM01.ztb, versal 100");
    EXPECT_EQ(BackupFileName("DFILM01.ztb", "Color 100 V3"), "DFILM01.ztb, v1");
    EXPECT_EQ(BackupFileName("DFILM01.ztb", "Slide film v"), "DFILM01.ztb, v");
}

TEST(VersionLabel, CharactersNoFileNameCanHoldBecomeUnderscores) {
    EXPECT_EQ(FileNameSafeLabel("\\/:*?\"<>|"), "_________");
    EXPECT_EQ(FileNameSafeLabel(std::string("a\x01\tb\x1F") + " \x7F\xE9."), "a__b_ \x7F\xE9.");
    // The separators go, so the name stays inside the backup folder; what
    // is left of "..", after the file name, is an ordinary name.
    EXPECT_EQ(BackupFileName("D1.ztb", "Slide v\\..\\..\\x"), "D1.ztb, v_.._.._x");
    EXPECT_EQ(BackupFileName("D1.ztb", "Slide v/../../x"), "D1.ztb, v_.._.._x");
    EXPECT_EQ(BackupFileName("D1.ztb", "Slide v.."), "D1.ztb, v..");
    EXPECT_EQ(BackupFileName("D1.ztb", "Slide vC:2"), "D1.ztb, vC_2");
}
