// Models, folders, date texts, the sort, the two scans and the backup list.
#include <gtest/gtest.h>

#include <numeric>

#include "catalogue/BackupList.h"
#include "catalogue/DateText.h"
#include "catalogue/FilmRecorderModels.h"
#include "catalogue/SortEntries.h"
#include "catalogue/TableScans.h"
#include "platform/Process.h"
#include "testkit/Tables.h"

namespace {

CatalogueEntry Entry(const std::string& fileName, const std::string& description, const std::string& date = "") {
    return {"", fileName, description, EntryStatus::None, date};
}

TEST(Catalogue, ModelLettersDeviceNamesFoldersAndDateTexts) {
    const std::pair<const char*, const char*> prefixes[] = {// only exact names count
        {"Orvane D", "O"}, {"Tavik Desk Plus", "J"}, {"orvane d", "D"}, {"Orvane D ", "D"}, {"Tavik Desk Plus+", "D"},
        {"Orvane A HX (tqa-0500 - tqa-9999)", "D"}, {"Orvane B HX (tqb-0500 - tqb-9999)", "G"}, {"Orvane", "D"}};
    for (const auto& [model, prefix] : prefixes) EXPECT_EQ(ModelFilePrefix(model), prefix) << model;
    for (int code : {0, 1000, 1001, 1011, 1012, 1014, -1, -32768}) EXPECT_STREQ(DeviceTypeName(std::int16_t(code)), "");

    const std::string s(1, platform::kPathSeparator);
    EXPECT_EQ(InstalledFolder("C:" + s + "windows"), "C:" + s + "windows" + s + "KVData" + s + "ZTB" + s);
    EXPECT_EQ(BackupFolder("I" + s), "I" + s + "Backup" + s);
    TempFolder temp;
    EXPECT_EQ(DistributionFolder(temp.Text()), temp.Text());
    std::filesystem::create_directory(temp.FsPath() / "ZTB");
    EXPECT_EQ(DistributionFolder(temp.Text()), temp.Path("ZTB") + s);
    std::string folder = "stale";
    EXPECT_EQ(ProgramFolder(260, folder), platform::ExecutablePath(260).size());
    EXPECT_TRUE(ProgramFolder(2, folder) == 0 && folder.empty());  // the path does not fit

    const std::pair<platform::FileTime, const char*> dates[] = {// byte order is time order; fractions cut off
        {UtcFileTime(1998, 7, 4, 9, 5, 59), "1998/07/04 - 09:05"}, {0x7FFFFFFFFFFFFFFFull, "30828/09/14 - 02:48"},
        {UtcFileTime(2000, 2, 29, 23, 59, 59) + 9999999, "2000/02/29 - 23:59"}, {0, "1601/01/01 - 00:00"},
        {UtcFileTime(2010, 10, 10, 10, 10), "2010/10/10 - 10:10"}, {0x8000000000000000ull, "Unknown"}};
    for (const auto& [time, text] : dates) EXPECT_EQ(FormatDateText(platform::FileTimes{0, 0, time}), text);
    EXPECT_EQ(FormatDateText(std::nullopt), "Unknown");
}

std::uintptr_t g_deepest = 0;  // the deepest stack frame a comparison ran in
bool DeepestLess(const CatalogueEntry& a, const CatalogueEntry& b) {
    g_deepest = std::min(g_deepest, reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)));
    return DescriptionLess(a, b);
}

TEST(Catalogue, SortByUnsignedBytesAsTheClassicQuicksortOnALowStack) {
    const auto less = [](const char* a, const char* b) { return DescriptionLess(Entry("", a), Entry("", b)); };
    // Byte-wise: a proper beginning first, 8-bit letters after 'z'.
    EXPECT_TRUE(less("Print", "Print 50") && !less("Print 50", "Print") && !less("Same", "Same") && less("z", "\xE9"));

    // Entries named '0' + place: equal ones end where the classic recursive
    // quicksort (middle pivot) leaves them; outside lo..hi nothing moves.
    const auto namesAfterSort = [](int lo, int hi) {
        const std::string descriptions = "dbcadcabbdacbdacdbaccabdbadcbcadbdacbadc";
        std::vector<CatalogueEntry> entries;
        for (char d : descriptions) entries.push_back(Entry({char('0' + entries.size())}, {d}));
        SortEntries(entries, lo, hi, DescriptionLess);
        std::string names;
        for (const CatalogueEntry& entry : entries) names += entry.FileName;
        return names;
    };
    EXPECT_EQ(namesAfterSort(0, 39), "RB6N>:3UIEFHAL7T18<PWMKS?2;5DC09V4@JGQO=");
    EXPECT_EQ(namesAfterSort(5, 30), "01234E:>BN6IAHFL7<8;K?5MDCJ=@9GOPQRSTUVW");

    // The worst input: each pass's middle entry is the greatest left, so a
    // sort that recursed into the larger part would go 3,000 levels deep.
    std::vector<int> at(3000), value(3000);  // at: the entry at each place as the sort goes
    std::iota(at.begin(), at.end(), 0);
    for (int hi = 2999; hi > 0; --hi) value[at[hi / 2]] = hi, std::swap(at[hi / 2], at[hi]);
    const auto key = [](int v) { return std::string(5 - std::to_string(v).size(), '0') + std::to_string(v); };
    std::vector<CatalogueEntry> entries;
    for (int v : value) entries.push_back(Entry("", key(v)));
    const std::uintptr_t top = g_deepest = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
    SortEntries(entries, 0, 2999, DeepestLess);
    EXPECT_LT(top - g_deepest, 16384u);
}

TEST(Catalogue, ScansListTheModelsTablesByTitleAndStopAtOneThatFailsToLoad) {
    TempFolder temp;
    const std::string longTitle(48, 'T');                                // fills the field: no terminator
    const std::tuple<const char*, std::string, std::int16_t> tables[] = {// file name, title, device type
        {"d1.ZTB", "Slide film v2.1", 1005}, {"D2.ztb", "print 25", 1006}, {"D3.ztb", "Print 50", 1013},
        {"D4.ztb", "Slide 100", 1002}, {"D5.ztb", longTitle, 1002}, {"D6.zt", "Other", 1002}, {"E1.ztb", "Other", 0},
        {"G1.ztb", "Ortho", 1005}};
    for (const auto& [name, title, type] : tables) WriteTable(temp.Path(name), title, type);
    const std::vector<CatalogueEntry> entries = ScanInstalled(temp.Text(), "Orvane A");
    // Capitals first.
    EXPECT_EQ(Descriptions(entries),
        (std::vector<std::string>{"Print 50", "Slide 100", "Slide film v2.1", longTitle, "print 25"}));
    if (entries.size() == 5) {
        const CatalogueEntry& d1 = entries[2];
        EXPECT_EQ(std::tuple(d1.FileName, d1.DeviceName, d1.DateText, d1.Status),
            std::tuple("d1.ZTB", "Orvane B", "1998/07/04 - 09:05", EntryStatus::None));
        EXPECT_EQ(std::tuple(entries[0].DeviceName, entries[4].DeviceName), std::tuple("Orvane D", "Orvane A - Dark"));
    }
    EXPECT_EQ(ScanInstalled(temp.Text(), "Tavik Desk").at(0).DeviceName, "");  // E1 alone, of no known device
    EXPECT_EQ(Descriptions(ScanNew(temp.Text(), "Orvane A", {})), Descriptions(entries));  // all new, in the same order

    WriteDamagedTable(temp.Path("G2.ztb"));
    EXPECT_EQ(AbortMessage([&] { ScanInstalled(temp.Text(), "Orvane B"); }), "Illegal ZTB ID string");
    // Every matching file is loaded, also one whose installed copy is current.
    EXPECT_EQ(AbortMessage([&] { ScanNew(temp.Text(), "Orvane B", {Entry("G2.ztb", "", "Unknown")}); }),
        "Illegal ZTB ID string");
    std::vector<DamagedTable> damaged;  // or each scan reports it and goes on
    EXPECT_EQ(Descriptions(
                  ScanNew(temp.Text(), "Orvane B", ScanInstalled(temp.Text(), "Orvane B", {}, &damaged), {}, &damaged)),
        std::vector<std::string>{});
    EXPECT_EQ(damaged.size(), 2u);  // one from each scan
    for (const DamagedTable& table : damaged)
        EXPECT_EQ(std::tuple(table.FileName, table.Error), std::tuple("G2.ztb", "Illegal ZTB ID string"));
    std::filesystem::create_directory(temp.FsPath() / "E-old.ztb");  // a folder named like a table
    EXPECT_EQ(AbortMessage([&] { ScanInstalled(temp.Text(), "Tavik Desk"); }), "Error opening ZTB file");

    // New: no installed entry of the same name with A-Z folded (the first
    // counts); Updated: that entry's date text sorts before the copy's.
    WriteTable(temp.Path("H1.ztb"), "Slide", 1002, UtcFileTime(1998, 7, 4, 9, 6, 40));
    const std::string before = "1998/07/04 - 09:05", same = "1998/07/04 - 09:06", after = "1998/07/04 - 09:07";
    const std::pair<std::vector<CatalogueEntry>, const char*> cases[] = {{{Entry("H2.ztb", "", after)}, "New"},
        {{Entry("H1.ztb", "", before)}, "Updated"}, {{Entry("H1.ztb", "", same)}, ""},
        {{Entry("H1.ztb", "", after)}, ""}, {{Entry("H1.ztb", "", "Unknown")}, ""},  // every date sorts before it
        {{Entry("H2.ztb", "", after), Entry("h1.ZTB", "", before), Entry("H1.ztb", "", after)}, "Updated"},
        {{Entry("H1.ZTB", "", after), Entry("h1.ztb", "", before)}, ""}, {{Entry("H1.ztb ", "", before)}, "New"}};
    for (const auto& [installed, status] : cases) {  // the letter H: Orvane A HX up to tqa-0499
        const auto found = ScanNew(temp.Text(), "Orvane A HX (tqa-0000 - tqa-0499)", installed);
        EXPECT_EQ(found.empty() ? "" : found[0].Status == EntryStatus::New ? "New" : "Updated", std::string(status));
    }
}

// A backup entry as the list shows it: every field but LastWrite.
auto Fields(const BackupEntry& e) {  // all but LastWrite
    return std::tie(e.BackupName, e.FileName, e.Label, e.Description, e.DateText, e.SameAsInstalled, e.Error);
}

// The model's backups by file name (A-Z folded), newest first, a damaged
// one last with its message; a " (n)" from 2 up numbers a taken name and is
// no part of the label. Names of other models, other names and folders are
// left out.
TEST(Catalogue, BackupsByFileNameNewestFirst) {
    const CatalogueSetup setup;
    std::filesystem::create_directory(setup.Backup());
    const auto at = [](int minute) { return UtcFileTime(2024, 1, 1, 0, minute); };
    WriteTable(setup.Backup("D2.ztb, v2.1"), "Print", 1002, at(5));
    WriteTable(setup.Backup("D2.ztb, v2.1 (2)"), "Print", 1005, at(9));
    WriteTable(setup.Backup("d1.ZTB, v1 (1)"), "Slide 1", 1002, at(1));
    WriteTable(setup.Backup("D1.ztb, v"), "Slide", 1002, at(3));
    WriteDamagedTable(setup.Backup("D1.ztb, v0"));
    for (const char* other : {"G1.ztb, v1", "D1.zt, v1", "D1.ztb", "D1.ztb v1"}) WriteTable(setup.Backup(other), "X");
    std::filesystem::create_directory(setup.Backup("D3.ztb, v1"));
    std::filesystem::copy_file(setup.Backup("D2.ztb, v2.1"), setup.Installed("d2.ztb"));
    EXPECT_TRUE(ScanBackups(setup.Installed("none/"), setup.Installed(), "Orvane A").empty());

    // clang-format off
    const std::vector<BackupEntry> expected = {
        {.BackupName = "D1.ztb, v", .FileName = "D1.ztb", .Description = "Slide", .DateText = "2024/01/01 - 00:03"},
        {.BackupName = "d1.ZTB, v1 (1)", .FileName = "d1.ZTB", .Label = "1 (1)", .Description = "Slide 1",
            .DateText = "2024/01/01 - 00:01"},
        {.BackupName = "D1.ztb, v0", .FileName = "D1.ztb", .Label = "0", .Error = "Illegal ZTB ID string"},
        {.BackupName = "D2.ztb, v2.1 (2)", .FileName = "D2.ztb", .Label = "2.1", .Description = "Print",
            .DateText = "2024/01/01 - 00:09"},
        {.BackupName = "D2.ztb, v2.1", .FileName = "D2.ztb", .Label = "2.1", .Description = "Print",
            .DateText = "2024/01/01 - 00:05", .SameAsInstalled = true},
    };
    // clang-format on
    const std::vector<BackupEntry> found = ScanBackups(setup.Backup(), setup.Installed(), "Orvane A");
    ASSERT_EQ(found.size(), expected.size());
    for (std::size_t k = 0; k < found.size(); ++k) EXPECT_EQ(Fields(found[k]), Fields(expected[k])) << k;
}

}  // namespace
