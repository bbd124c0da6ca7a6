#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/TableScans.h"
#include "tests/catalogue/TableFiles.h"

namespace {

std::vector<std::string> FileNames(const std::vector<CatalogueEntry>& entries) {
    std::vector<std::string> names;
    for (const CatalogueEntry& entry : entries) names.push_back(entry.FileName);
    return names;
}

std::vector<std::string> Descriptions(const std::vector<CatalogueEntry>& entries) {
    std::vector<std::string> texts;
    for (const CatalogueEntry& entry : entries) texts.push_back(entry.Description);
    return texts;
}

CatalogueEntry Installed(const std::string& fileName, const std::string& dateText) {
    CatalogueEntry entry;
    entry.FileName = fileName;
    entry.DateText = dateText;
    return entry;
}

const platform::FileTime kAt0905 = UtcFileTime(1998, 7, 4, 9, 5);

}  // namespace

TEST(ScanInstalled, NothingFoundGivesNoEntries) {
    TempFolder temp;
    EXPECT_TRUE(ScanInstalled(temp.Text(), "Orvane A").empty());
    EXPECT_TRUE(ScanInstalled(temp.Path("missing") + platform::kPathSeparator, "Orvane A").empty());
    WriteTable(temp.Path("E100.ztb"), "Slide");
    WriteTable(temp.Path("D100.zt"), "Slide");
    EXPECT_TRUE(ScanInstalled(temp.Text(), "Orvane A").empty());
}

TEST(ScanInstalled, ModelLetterMatchesWithoutRegardToCase) {
    TempFolder temp;
    WriteTable(temp.Path("d100.ZTB"), "Print");
    WriteTable(temp.Path("D200.ztb"), "Slide");
    WriteTable(temp.Path("E100.ztb"), "Other");
    for (const char* model : {"Orvane A", "Orvane A HX (tqa-0500 - tqa-9999)", "no such model"}) {
        EXPECT_EQ(FileNames(ScanInstalled(temp.Text(), model)),
                  (std::vector<std::string>{"d100.ZTB", "D200.ztb"}))
            << model;
    }
    EXPECT_EQ(FileNames(ScanInstalled(temp.Text(), "Tavik Desk")),
              (std::vector<std::string>{"E100.ztb"}));
    EXPECT_TRUE(ScanInstalled(temp.Text(), "Orvane B").empty());
}

TEST(ScanInstalled, EntryFieldsFromHeaderAndFile) {
    TempFolder temp;
    WriteTable(temp.Path("D1.ztb"), "Slide film v2.1", 1005, UtcFileTime(2001, 9, 8, 7, 6, 5));
    WriteTable(temp.Path("D2.ztb"), "Unnamed device", 0);
    const std::string longTitle(48, 'T');  // fills the field; no terminator
    WriteTable(temp.Path("D3.ztb"), longTitle, 1013);

    const std::vector<CatalogueEntry> entries = ScanInstalled(temp.Text(), "Orvane A");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].FileName, "D1.ztb");
    EXPECT_EQ(entries[0].DeviceName, "Orvane B");  // another recorder's table is listed all the same
    EXPECT_EQ(entries[0].Description, "Slide film v2.1");
    EXPECT_EQ(entries[0].DateText, "2001/09/08 - 07:06");
    EXPECT_EQ(entries[0].Status, EntryStatus::None);
    EXPECT_EQ(entries[1].Description, longTitle);
    EXPECT_EQ(entries[1].DeviceName, "Orvane D");
    EXPECT_EQ(entries[2].DeviceName, "");
}

TEST(ScanInstalled, SortedByteWiseWithEqualTitlesAdjacent) {
    TempFolder temp;
    WriteTable(temp.Path("D1.ztb"), "Slide 100");
    WriteTable(temp.Path("D2.ztb"), "print 25");
    WriteTable(temp.Path("D3.ztb"), "Print 50");
    WriteTable(temp.Path("D4.ztb"), "Slide 100");
    EXPECT_EQ(Descriptions(ScanInstalled(temp.Text(), "Orvane A")),
              (std::vector<std::string>{"Print 50", "Slide 100", "Slide 100", "print 25"}));
}

TEST(ScanInstalled, ATableThatFailsToLoadEndsTheScan) {
    TempFolder temp;
    WriteTable(temp.Path("D1.ztb"), "Good");
    WriteDamagedTable(temp.Path("D2.ztb"));
    EXPECT_EQ(AbortMessage([&] { ScanInstalled(temp.Text(), "Orvane A"); }), "Illegal ZTB ID string");
    // The other model's letter does not meet it.
    EXPECT_EQ(AbortMessage([&] { ScanInstalled(temp.Text(), "Orvane B"); }), "no abort");
}

TEST(ScanInstalled, AFolderNamedLikeATableIsMetLikeAFile) {
    TempFolder temp;
    WriteTable(temp.Path("D1.ztb"), "Good");
    std::filesystem::create_directory(temp.FsPath() / "D-old.ztb");
    EXPECT_EQ(AbortMessage([&] { ScanInstalled(temp.Text(), "Orvane A"); }), "Error opening ZTB file");
}

TEST(ScanInstalled, ManyTablesAndLongNamesAreKeptWhole) {
    TempFolder temp;
    const int count = 350;
    const std::string longPart = "-a-file-name-well-beyond-thirty-nine-characters";
    for (int k = 0; k < count; ++k) {
        char number[8];
        std::snprintf(number, sizeof number, "%03d", k);
        WriteTable(temp.Path("D" + std::string(number) + longPart + ".ztb"),
                   "Film " + std::string(number));
    }
    const std::vector<CatalogueEntry> entries = ScanInstalled(temp.Text(), "Orvane A");
    ASSERT_EQ(entries.size(), static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        char number[8];
        std::snprintf(number, sizeof number, "%03d", k);
        const CatalogueEntry& entry = entries[static_cast<std::size_t>(k)];
        EXPECT_EQ(entry.Description, "Film " + std::string(number));
        EXPECT_EQ(entry.FileName, "D" + std::string(number) + longPart + ".ztb");
    }
}

TEST(ScanNew, NewUpdatedOrNotListedByDateText) {
    TempFolder installedFolder;
    TempFolder distribution;
    WriteTable(installedFolder.Path("D1.ztb"), "Installed 1", 1002, kAt0905);
    WriteTable(installedFolder.Path("D2.ztb"), "Installed 2", 1002, kAt0905);
    WriteTable(installedFolder.Path("D3.ztb"), "Installed 3", 1002, kAt0905);
    WriteTable(distribution.Path("D1.ztb"), "One minute later", 1002, UtcFileTime(1998, 7, 4, 9, 6));
    WriteTable(distribution.Path("D2.ztb"), "Same minute", 1002, UtcFileTime(1998, 7, 4, 9, 5, 40));
    WriteTable(distribution.Path("D3.ztb"), "Older", 1002, UtcFileTime(1997, 1, 1, 0, 0));
    WriteTable(distribution.Path("D4.ztb"), "Not installed", 1005, UtcFileTime(1990, 1, 1, 0, 0));

    const std::vector<CatalogueEntry> installed = ScanInstalled(installedFolder.Text(), "Orvane A");
    const std::vector<CatalogueEntry> entries = ScanNew(distribution.Text(), "Orvane A", installed);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].Description, "Not installed");
    EXPECT_EQ(entries[0].Status, EntryStatus::New);
    EXPECT_EQ(entries[0].DeviceName, "Orvane B");
    EXPECT_EQ(entries[0].DateText, "1990/01/01 - 00:00");
    EXPECT_EQ(entries[1].Description, "One minute later");
    EXPECT_EQ(entries[1].Status, EntryStatus::Updated);
    EXPECT_EQ(entries[1].DateText, "1998/07/04 - 09:06");
}

TEST(ScanNew, InstalledNamesMatchWithoutRegardToCase) {
    TempFolder installedFolder;
    TempFolder distribution;
    WriteTable(installedFolder.Path("e100.ztb"), "Slide", 1003, kAt0905);
    WriteTable(distribution.Path("E100.ZTB"), "Slide", 1003, kAt0905);
    WriteTable(distribution.Path("E200.ZTB"), "Print", 1003, kAt0905);
    const std::vector<CatalogueEntry> installed = ScanInstalled(installedFolder.Text(), "Tavik Desk");
    EXPECT_EQ(FileNames(ScanNew(distribution.Text(), "Tavik Desk", installed)),
              (std::vector<std::string>{"E200.ZTB"}));
}

TEST(ScanNew, ComparesWithTheFirstInstalledEntryOfThatName) {
    TempFolder distribution;
    WriteTable(distribution.Path("D1.ztb"), "Slide", 1002, UtcFileTime(1998, 7, 4, 9, 6));
    const std::string at0905 = "1998/07/04 - 09:05";
    const std::string at0907 = "1998/07/04 - 09:07";
    // Only the first matching entry counts, whatever follows it.
    EXPECT_EQ(ScanNew(distribution.Text(), "Orvane A",
                      {Installed("D2.ztb", at0907), Installed("d1.ZTB", at0905), Installed("D1.ztb", at0907)})
                  .at(0)
                  .Status,
              EntryStatus::Updated);
    EXPECT_TRUE(ScanNew(distribution.Text(), "Orvane A",
                        {Installed("D1.ZTB", at0907), Installed("d1.ztb", at0905)})
                    .empty());
    // Only A-Z fold; other characters must be identical.
    EXPECT_EQ(ScanNew(distribution.Text(), "Orvane A", {Installed("D1.ztb ", at0907)}).at(0).Status,
              EntryStatus::New);
}

TEST(ScanNew, UnknownInstalledDateIsNeverOlder) {
    TempFolder distribution;
    WriteTable(distribution.Path("D1.ztb"), "Slide", 1002, UtcFileTime(2030, 1, 1, 0, 0));
    EXPECT_TRUE(ScanNew(distribution.Text(), "Orvane A", {Installed("D1.ztb", "Unknown")}).empty());
}

TEST(ScanNew, ADistributionTableThatFailsToLoadEndsTheScan) {
    TempFolder distribution;
    WriteTable(distribution.Path("G1.ztb"), "Good", 1005);
    WriteDamagedTable(distribution.Path("G2.ztb"));
    // Also when an installed copy is current: every matching file is loaded.
    EXPECT_EQ(AbortMessage([&] {
                  ScanNew(distribution.Text(), "Orvane B", {Installed("G2.ztb", "Unknown")});
              }),
              "Illegal ZTB ID string");
}
