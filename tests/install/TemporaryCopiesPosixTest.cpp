// Temporary copies named with the ids of real children: kept while the
// child runs, removed once it has ended.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "catalogue/TableScans.h"
#include "install/TableOperations.h"
#include "install/TemporaryCopies.h"
#include "testkit/Tables.h"

TEST(TemporaryCopiesPosixTest, ARunningInstancesCopyStaysUntilItHasEnded) {
    CatalogueSetup setup;
    for (const char* name : {"D1.ztb", "D2.ztb"}) WriteTable(setup.Distribution(name), std::string("Film ") + name);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        pause();
        _exit(0);
    }
    const std::string copy = TemporaryCopyName(static_cast<std::uint32_t>(child), 1);
    WriteTable(setup.Installed(copy), "In progress");
    const std::vector<unsigned char> bytes = ReadBytes(setup.Installed(copy));

    auto installFirstNew = [&] {
        const auto entries = ScanNew(setup.Distribution(), "Orvane A",
                                     ScanInstalled(setup.Installed(), "Orvane A"));
        return InstallTables(setup.Folders(), entries, {0}).message;
    };
    EXPECT_EQ(installFirstNew(), "1 ZTB(s) have been installed.");
    EXPECT_EQ(NamesIn(setup.Installed()), (std::set<std::string>{copy, "D1.ztb"}));
    EXPECT_EQ(ReadBytes(setup.Installed(copy)), bytes);

    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(installFirstNew(), "1 ZTB(s) have been installed.");
    EXPECT_EQ(NamesIn(setup.Installed()), (std::set<std::string>{"D1.ztb", "D2.ztb"}));
}
