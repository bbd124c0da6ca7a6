// Temporary copies left in the installed folder by a process that is gone
// are removed by the next install or remove; everything else stays.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "catalogue/TableScans.h"
#include "install/TableOperations.h"
#include "install/TemporaryCopies.h"
#include "testkit/Tables.h"
#include "testkit/Files.h"

namespace {

// The maker of a copy whose process is gone.
constexpr std::uint32_t kGone = kNeverAProcess;

class TemporaryCopiesTest : public ::testing::Test {
protected:
    std::vector<CatalogueEntry> Installed() const {
        return ScanInstalled(setup_.Folders().Installed(), "Orvane A");
    }
    std::vector<CatalogueEntry> New() const {
        return ScanNew(setup_.Distribution(), "Orvane A", Installed());
    }
    // A copy as a killed install leaves it: a whole table, or a part.
    void LeaveCopy(const std::string& name) { WriteTable(setup_.Installed(name), "Left " + name); }

    CatalogueSetup setup_;
};

}  // namespace

TEST_F(TemporaryCopiesTest, OnlyNamesWrittenAsTheCopiesAreNamedGiveAMaker) {
    EXPECT_EQ(TemporaryCopyName(1234, 7), ".~ztbinstall-1234-7.tmp");
    EXPECT_EQ(TemporaryCopyMaker(".~ztbinstall-1234-7.tmp"), 1234u);
    EXPECT_EQ(TemporaryCopyMaker(TemporaryCopyName(0xFFFFFFFFu, 2147483647)), 0xFFFFFFFFu);
    for (const char* name : {".~ztbinstall-7.tmp", ".~ztbinstall--7.tmp", ".~ztbinstall-12-.tmp",
                             ".~ztbinstall-012-7.tmp", ".~ztbinstall-12-07.tmp", ".~ztbinstall-0-7.tmp",
                             ".~ztbinstall-12-0.tmp", ".~ztbinstall-4294967296-7.tmp",
                             ".~ztbinstall-12-2147483648.tmp", ".~ztbinstall-99999999999-7.tmp",
                             ".~ztbinstall-+12-7.tmp", ".~ztbinstall-1 2-7.tmp", ".~ztbinstall-12-7-1.tmp",
                             ".~ztbinstall-12-7.tmp.ztb", ".~ZTBINSTALL-12-7.TMP", "x.~ztbinstall-12-7.tmp",
                             ".~ztbinstall-.tmp", "D1.ztb"}) {
        EXPECT_FALSE(TemporaryCopyMaker(name).has_value()) << name;
    }
}

TEST_F(TemporaryCopiesTest, AnInstallRemovesCopiesOfGoneProcessesAndKeepsEverythingElse) {
    ASSERT_FALSE(platform::ProcessIsRunning(kGone));
    const std::uint32_t self = platform::CurrentProcessId();
    WriteTable(setup_.Distribution("D1.ztb"), "Slide v1");
    LeaveCopy(TemporaryCopyName(kGone, 1));
    LeaveCopy(TemporaryCopyName(kGone, 12));
    // This process's own copy, and names no copy maker writes.
    const std::vector<std::string> kept = {TemporaryCopyName(self, 1), ".~ztbinstall-7.tmp",
                                           ".~ztbinstall-04000000001-1.tmp", "notes.tmp"};
    for (const std::string& name : kept) LeaveCopy(name);
    std::filesystem::create_directory(setup_.Installed(TemporaryCopyName(kGone, 2)));
    std::vector<std::vector<unsigned char>> keptBytes;
    for (const std::string& name : kept) keptBytes.push_back(ReadBytes(setup_.Installed(name)));

    // The install's own copy takes the next free number and leaves no trace.
    EXPECT_EQ(InstallTables(setup_.Folders(), New(), {0}).message, "1 ZTB(s) have been installed.");
    std::set<std::string> expected(kept.begin(), kept.end());
    expected.insert({"D1.ztb", TemporaryCopyName(kGone, 2)});
    EXPECT_EQ(NamesIn(setup_.Installed()), expected);
    for (std::size_t k = 0; k < kept.size(); ++k) {
        EXPECT_EQ(ReadBytes(setup_.Installed(kept[k])), keptBytes[k]) << kept[k];
    }
    EXPECT_EQ(ReadBytes(setup_.Installed("D1.ztb")), ReadBytes(setup_.Distribution("D1.ztb")));
}

TEST_F(TemporaryCopiesTest, ARemoveRemovesThemTooButARefusalTouchesNothing) {
    WriteTable(setup_.Installed("D1.ztb"), "Slide v1");
    LeaveCopy(TemporaryCopyName(kGone, 1));

    EXPECT_TRUE(InstallTables(setup_.Folders(), {}, {0}).refused);
    EXPECT_TRUE(RemoveTables(setup_.Folders(), {}, {0}).refused);
    EXPECT_EQ(NamesIn(setup_.Installed()), (std::set<std::string>{TemporaryCopyName(kGone, 1), "D1.ztb"}));

    EXPECT_EQ(RemoveTables(setup_.Folders(), Installed(), {0}).message, "1 ZTB(s) have been removed.");
    EXPECT_EQ(NamesIn(setup_.Installed()), (std::set<std::string>{"Backup"}));
    EXPECT_EQ(NamesIn(setup_.Backup()), (std::set<std::string>{"D1.ztb, v1"}));
}

// Windows does not delete a file that another handle holds open without
// delete sharing; the operation goes on, and a later one removes the copy.
TEST_F(TemporaryCopiesTest, ACopyThatCannotBeRemovedYetDoesNotFailTheOperation) {
    WriteTable(setup_.Distribution("D1.ztb"), "Slide v1");
    const std::string stale = TemporaryCopyName(kGone, 1);
    LeaveCopy(stale);
    {
        std::ifstream held(setup_.Installed(stale), std::ios::binary);
        ASSERT_TRUE(held.is_open());
        const OperationReport report = InstallTables(setup_.Folders(), New(), {0});
        EXPECT_EQ(report.message, "1 ZTB(s) have been installed.");
        EXPECT_EQ(report.FailureText(), "");
#ifdef _WIN32
        EXPECT_EQ(NamesIn(setup_.Installed()), (std::set<std::string>{stale, "D1.ztb"}));
#else
        EXPECT_EQ(NamesIn(setup_.Installed()), (std::set<std::string>{"D1.ztb"}));
#endif
    }
    EXPECT_EQ(RemoveTables(setup_.Folders(), Installed(), {0}).message, "1 ZTB(s) have been removed.");
    EXPECT_EQ(NamesIn(setup_.Installed()), (std::set<std::string>{"Backup"}));
}
