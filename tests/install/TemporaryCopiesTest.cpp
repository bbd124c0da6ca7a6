// Temporary copies left in the installed folder by a process that is gone
// are removed by the next install or remove; everything else stays.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "catalogue/TableScans.h"
#include "install/TableOperations.h"
#include "install/TemporaryCopies.h"
#include "platform/Process.h"
#include "testkit/Tables.h"

#ifndef _WIN32
#include <unistd.h>
#endif

TEST(TemporaryCopies, OnlyNamesWrittenAsTheCopiesAreNamedGiveAMaker) {
    EXPECT_EQ(TemporaryCopyProcessId(TemporaryCopyName(1234, 7)), 1234u);
    EXPECT_EQ(TemporaryCopyProcessId(TemporaryCopyName(0xFFFFFFFFu, 2147483647)), 0xFFFFFFFFu);
    for (const char* name : {".~ztbinstall-7.tmp", ".~ztbinstall--7.tmp", ".~ztbinstall-12-.tmp",
             ".~ztbinstall-012-7.tmp", ".~ztbinstall-12-07.tmp", ".~ztbinstall-0-7.tmp", ".~ztbinstall-12-0.tmp",
             ".~ztbinstall-4294967296-7.tmp", ".~ztbinstall-12-2147483648.tmp", ".~ztbinstall-99999999999-7.tmp",
             ".~ztbinstall-+12-7.tmp", ".~ztbinstall-1 2-7.tmp", ".~ztbinstall-12-7-1.tmp", ".~ztbinstall-12-7.tmp.ztb",
             ".~ZTBINSTALL-12-7.TMP", "x.~ztbinstall-12-7.tmp", ".~ztbinstall-.tmp", "D1.ztb"}) {
        EXPECT_FALSE(TemporaryCopyProcessId(name).has_value()) << name;
    }
}

// Copies of a gone process go; this process's own, a running process's
// (the parent, on POSIX), names no copy maker writes and folders stay. A
// copy held open elsewhere cannot be deleted on Windows: the operation goes
// on, and a later one removes it.
TEST(TemporaryCopies, InstallAndRemoveSweepCopiesOfGoneProcesses) {
    CatalogueSetup setup;
    ASSERT_FALSE(platform::ProcessIsRunning(kNeverAProcess));
    WriteTable(setup.Distribution("D1.ztb"), "Slide v1");
    std::set<std::string> kept = {TemporaryCopyName(platform::CurrentProcessId(), 1), ".~ztbinstall-7.tmp",
        ".~ztbinstall-04000000001-1.tmp", "notes.tmp"};
#ifndef _WIN32
    kept.insert(TemporaryCopyName(static_cast<std::uint32_t>(getppid()), 1));
#endif
    for (const std::string& name : kept) WriteTable(setup.Installed(name), "Left " + name);
    const std::string held = TemporaryCopyName(kNeverAProcess, 1);
    const std::string gone = TemporaryCopyName(kNeverAProcess, 12);
    WriteTable(setup.Installed(held), "Held");
    WriteTable(setup.Installed(gone), "Gone");
    std::filesystem::create_directory(setup.Installed(TemporaryCopyName(kNeverAProcess, 2)));

    std::set<std::string> expected = kept;
    expected.insert({"D1.ztb", TemporaryCopyName(kNeverAProcess, 2)});
    {
        std::ifstream holding(setup.Installed(held), std::ios::binary);
        ASSERT_TRUE(holding.is_open());
        const OperationReport report =
            InstallTables(setup.Folders(), ScanNew(setup.Distribution(), "Orvane A", {}), {0});
        EXPECT_EQ(report.message, "1 ZTB(s) have been installed.");
        EXPECT_EQ(report.FailureText(), "");
#ifdef _WIN32
        expected.insert(held);  // until the next sweep
#endif
        EXPECT_EQ(NamesIn(setup.Installed()), expected);
    }
    for (const std::string& name : kept) EXPECT_EQ(ReadBytes(setup.Installed(name)), TableBytes("Left " + name));

    EXPECT_EQ(RemoveTables(setup.Folders(), ScanInstalled(setup.Installed(), "Orvane A"), {0}).message,
        "1 ZTB(s) have been removed.");
    expected.erase("D1.ztb");
    expected.erase(held);
    expected.insert("Backup");
    EXPECT_EQ(NamesIn(setup.Installed()), expected);
}
