#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/TableScans.h"
#include "testkit/Tables.h"

namespace {

CatalogueEntry Installed(const std::string& fileName, const std::string& dateText) {
    CatalogueEntry entry;
    entry.FileName = fileName;
    entry.DateText = dateText;
    return entry;
}

}  // namespace

TEST(ScanInstalled, FilesOfTheModelsLetterWithoutRegardToCase) {
    TempFolder temp;
    EXPECT_TRUE(ScanInstalled(temp.Path("missing") + platform::kPathSeparator, "Orvane A").empty());
    WriteTable(temp.Path("d100.ZTB"), "Print");
    WriteTable(temp.Path("D200.ztb"), "Slide");
    WriteTable(temp.Path("D300.zt"), "Other");
    WriteTable(temp.Path("E100.ztb"), "Other");
    EXPECT_EQ(FileNames(ScanInstalled(temp.Text(), "Orvane A")),
              (std::vector<std::string>{"d100.ZTB", "D200.ztb"}));
    EXPECT_EQ(FileNames(ScanInstalled(temp.Text(), "Tavik Desk")),
              (std::vector<std::string>{"E100.ztb"}));
}

TEST(ScanInstalled, EntriesFromHeaderAndFileSortedByteWise) {
    TempFolder temp;
    WriteTable(temp.Path("D1.ztb"), "Slide film v2.1", 1005, UtcFileTime(2001, 9, 8, 7, 6, 5));
    WriteTable(temp.Path("D2.ztb"), "print 25", 0);
    WriteTable(temp.Path("D3.ztb"), "Print 50", 1013);
    WriteTable(temp.Path("D4.ztb"), "Slide 100");
    WriteTable(temp.Path("D5.ztb"), "Slide 100");
    const std::string longTitle(48, 'T');  // fills the field; no terminator
    WriteTable(temp.Path("D6.ztb"), longTitle);

    const std::vector<CatalogueEntry> entries = ScanInstalled(temp.Text(), "Orvane A");
    // Capitals before small letters; equal titles adjacent.
    ASSERT_EQ(Descriptions(entries), (std::vector<std::string>{"Print 50", "Slide 100", "Slide 100",
                                                               "Slide film v2.1", longTitle, "print 25"}));
    EXPECT_EQ(entries[3].FileName, "D1.ztb");
    EXPECT_EQ(entries[3].DeviceName, "Orvane B");  // another recorder's table is listed all the same
    EXPECT_EQ(entries[3].DateText, "2001/09/08 - 07:06");
    EXPECT_EQ(entries[3].Status, EntryStatus::None);
    EXPECT_EQ(entries[0].DeviceName, "Orvane D");
    EXPECT_EQ(entries[5].DeviceName, "");
}

TEST(ScanInstalled, ATableThatFailsToLoadEndsTheScan) {
    TempFolder temp;
    WriteTable(temp.Path("D1.ztb"), "Good");
    WriteDamagedTable(temp.Path("D2.ztb"));
    EXPECT_EQ(AbortMessage([&] { ScanInstalled(temp.Text(), "Orvane A"); }), "Illegal ZTB ID string");
    // The other model's letter does not meet it.
    EXPECT_EQ(AbortMessage([&] { ScanInstalled(temp.Text(), "Orvane B"); }), "no abort");
    // A folder named like a table is handed to the loader like a file.
    std::filesystem::create_directory(temp.FsPath() / "G-old.ztb");
    EXPECT_EQ(AbortMessage([&] { ScanInstalled(temp.Text(), "Orvane B"); }), "Error opening ZTB file");
}

TEST(ScanNew, NewAndUpdatedTablesOfTheDistributionFolder) {
    TempFolder installedFolder;
    TempFolder distribution;
    WriteTable(installedFolder.Path("D1.ztb"), "Installed 1", 1002, UtcFileTime(1998, 7, 4, 9, 5));
    WriteTable(installedFolder.Path("D2.ztb"), "Installed 2", 1002, UtcFileTime(1998, 7, 4, 9, 5));
    WriteTable(distribution.Path("D1.ztb"), "One minute later", 1002, UtcFileTime(1998, 7, 4, 9, 6));
    WriteTable(distribution.Path("D2.ztb"), "Same minute", 1002, UtcFileTime(1998, 7, 4, 9, 5, 40));
    WriteTable(distribution.Path("D3.ztb"), "Not installed", 1005, UtcFileTime(1990, 1, 1, 0, 0));

    const std::vector<CatalogueEntry> installed = ScanInstalled(installedFolder.Text(), "Orvane A");
    const std::vector<CatalogueEntry> entries = ScanNew(distribution.Text(), "Orvane A", installed);
    ASSERT_EQ(Descriptions(entries), (std::vector<std::string>{"Not installed", "One minute later"}));
    EXPECT_EQ(entries[0].Status, EntryStatus::New);
    EXPECT_EQ(entries[0].DeviceName, "Orvane B");
    EXPECT_EQ(entries[0].DateText, "1990/01/01 - 00:00");
    EXPECT_EQ(entries[1].Status, EntryStatus::Updated);
    EXPECT_EQ(entries[1].DateText, "1998/07/04 - 09:06");
}

// The distribution copy's date text against that of the first installed
// entry whose name is the same with A-Z folded.
TEST(ScanNew, StatusFromTheFirstInstalledEntryOfTheSameName) {
    TempFolder distribution;
    WriteTable(distribution.Path("D1.ztb"), "Slide", 1002, UtcFileTime(1998, 7, 4, 9, 6));
    const std::string before = "1998/07/04 - 09:05";
    const std::string same = "1998/07/04 - 09:06";
    const std::string after = "1998/07/04 - 09:07";
    struct Case {
        std::vector<CatalogueEntry> installed;
        std::optional<EntryStatus> status;  // none: not listed
    };
    const Case cases[] = {
        {{Installed("D2.ztb", after)}, EntryStatus::New},
        {{Installed("D1.ztb", before)}, EntryStatus::Updated},
        {{Installed("D1.ztb", same)}, std::nullopt},
        {{Installed("D1.ztb", after)}, std::nullopt},
        {{Installed("D1.ztb", "Unknown")}, std::nullopt},  // every date sorts before it
        {{Installed("D2.ztb", after), Installed("d1.ZTB", before), Installed("D1.ztb", after)},
         EntryStatus::Updated},
        {{Installed("D1.ZTB", after), Installed("d1.ztb", before)}, std::nullopt},
        {{Installed("D1.ztb ", before)}, EntryStatus::New},  // only A-Z fold
    };
    for (std::size_t k = 0; k < std::size(cases); ++k) {
        const std::vector<CatalogueEntry> entries =
            ScanNew(distribution.Text(), "Orvane A", cases[k].installed);
        EXPECT_EQ(entries.empty() ? std::nullopt : std::optional(entries[0].Status), cases[k].status)
            << "case " << k;
    }
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
