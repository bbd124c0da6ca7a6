// Install and remove against faulty folders and files. After each fault
// every table is still in the installed or the backup folder, nothing is
// half written, nothing outside those folders changed, and no temporary
// file stays behind (FolderSnapshot.h).
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "install/TemporaryCopies.h"
#include "tests/faults/FaultScenario.h"

namespace {

using namespace faults;
namespace fs = std::filesystem;

// Restores write permission so the temporary folder can be removed.
struct WritableAgain {
    fs::path folder;
    ~WritableAgain() {
        std::error_code error;
        fs::permissions(folder, fs::perms(0755), error);
    }
};

TEST(InstalledFolderFaults, MissingFolderFailsEveryRowAndMakesNothing) {
    Scenario s;
    s.Distribute("DNEW1.ztb", "New one v1");
    s.Distribute("DNEW2.ztb", "New two v1");
    fs::remove(s.InstalledFolder());
    const auto entries = s.NewEntries();
    ASSERT_EQ(entries.size(), 2u);

    const Snapshot before = s.Take();
    const OperationReport installed = InstallTables(s.folders, entries, AllRows(entries.size()));
    EXPECT_EQ(installed.message, "0 ZTB(s) have been installed.");
    EXPECT_EQ(Summary(installed), "0 nn");
    EXPECT_NE(installed.FailureText().find("DNEW1.ztb"), std::string::npos);
    EXPECT_FALSE(fs::exists(s.InstalledFolder()));
    EXPECT_TRUE(RulesKept(s, before, s.Rules(entries)));

    // Nothing is installed, so nothing is left to remove.
    const OperationReport removed = RemoveTables(s.folders, entries, AllRows(entries.size()));
    EXPECT_EQ(Summary(removed), "2 yy");
    EXPECT_FALSE(fs::exists(s.InstalledFolder()));
    EXPECT_TRUE(RulesKept(s, before, s.Rules({})));
}

TEST(InstalledFolderFaults, ReadOnlyFolderKeepsEveryTable) {
    Scenario s;
    s.Install("DOLD1.ztb", "Old one v1");
    s.Distribute("DOLD1.ztb", "Old one v2");
    s.Distribute("DNEW1.ztb", "New one v1");
    s.Install("DKEEP.ztb", "Kept v1");
    const auto entries = s.NewEntries();
    const auto installed = s.InstalledEntries();
    ASSERT_EQ(entries.size(), 2u);
    ASSERT_EQ(installed.size(), 2u);
    s.OpenToOthers();
    fs::permissions(s.InstalledFolder(), fs::perms(0555));
    const WritableAgain restore{s.InstalledFolder()};

    ChildOptions demoted;
    demoted.dropPrivileges = true;
    const Snapshot before = s.Take();
    ChildOutcome outcome =
        RunInChild([&] { return Summary(InstallTables(s.folders, entries, AllRows(entries.size()))); }, demoted);
    ASSERT_TRUE(outcome.exited);
    EXPECT_EQ(outcome.output, "0 nn");
    EXPECT_TRUE(RulesKept(s, before, s.Rules(entries)));

    outcome = RunInChild([&] { return Summary(RemoveTables(s.folders, installed, AllRows(installed.size()))); },
                         demoted);
    ASSERT_TRUE(outcome.exited);
    EXPECT_EQ(outcome.output, "0 nn");
    EXPECT_TRUE(RulesKept(s, before, s.Rules({})));
    EXPECT_FALSE(fs::exists(s.BackupFolder()));
}

TEST(InstalledFolderFaults, ReadOnlyBackupFolderKeepsReplacedTablesInstalled) {
    Scenario s;
    s.Install("DOLD1.ztb", "Old one v1");
    s.Distribute("DOLD1.ztb", "Old one v2");
    s.Distribute("DNEW1.ztb", "New one v1");
    fs::create_directory(s.BackupFolder());
    const auto entries = s.NewEntries();
    ASSERT_EQ(entries.size(), 2u);
    s.OpenToOthers();
    fs::permissions(s.InstalledFolder(), fs::perms(0777));
    fs::permissions(s.BackupFolder(), fs::perms(0555));
    const WritableAgain restore{s.BackupFolder()};

    ChildOptions demoted;
    demoted.dropPrivileges = true;
    Snapshot before = s.Take();
    ChildOutcome outcome =
        RunInChild([&] { return Summary(InstallTables(s.folders, entries, AllRows(entries.size()))); }, demoted);
    ASSERT_TRUE(outcome.exited);
    // Rows from the highest down: "Old one v2" cannot move its old copy aside.
    EXPECT_EQ(outcome.output, "1 ny");
    EXPECT_EQ(ReadBytes(s.Installed("DOLD1.ztb")), TableBytes("Old one v1"));
    EXPECT_TRUE(RulesKept(s, before, s.Rules(entries)));

    const auto installed = s.InstalledEntries();
    before = s.Take();
    outcome = RunInChild([&] { return Summary(RemoveTables(s.folders, installed, AllRows(installed.size()))); },
                         demoted);
    ASSERT_TRUE(outcome.exited);
    EXPECT_EQ(outcome.output, "0 nn");
    EXPECT_TRUE(RulesKept(s, before, s.Rules({})));
}

// A temporary copy left by a process that has ended, in a sticky folder
// where the demoted child may not remove another user's files: the install
// goes on without removing it, and a later run that may removes it.
TEST(InstalledFolderFaults, StaleTemporaryCopyThatCannotBeRemovedDoesNotFailTheInstall) {
    if (geteuid() != 0) GTEST_SKIP() << "only root can leave a file the demoted child may not remove";
    Scenario s;
    s.Distribute("DNEW1.ztb", "New one v1");
    const auto entries = s.NewEntries();
    ASSERT_EQ(entries.size(), 1u);
    const ChildOutcome ended = RunInChild([] { return std::to_string(getpid()); });
    ASSERT_TRUE(ended.exited);
    const std::string stale = TemporaryCopyName(static_cast<std::uint32_t>(std::stoul(ended.output)), 1);
    Scenario::WriteTable(s.Installed(stale), "Half done", kLater);
    s.OpenToOthers();
    fs::permissions(s.InstalledFolder(), fs::perms(01777));
    const WritableAgain restore{s.InstalledFolder()};

    ChildOptions demoted;
    demoted.dropPrivileges = true;
    const Snapshot before = s.Take();
    const ChildOutcome outcome =
        RunInChild([&] { return Summary(InstallTables(s.folders, entries, AllRows(entries.size()))); }, demoted);
    ASSERT_TRUE(outcome.exited);
    EXPECT_EQ(outcome.output, "1 y");
    EXPECT_EQ(ReadBytes(s.Installed(stale)), TableBytes("Half done"));
    EXPECT_TRUE(RulesKept(s, before, s.Rules(entries)));

    const auto installed = s.InstalledEntries();
    EXPECT_EQ(Summary(RemoveTables(s.folders, installed, AllRows(installed.size()))), "1 y");
    EXPECT_FALSE(fs::exists(s.Installed(stale)));
    EXPECT_TRUE(RulesKept(s, before, s.Rules({})));
}

TEST(BackupFolderFaults, BackupNameHeldByAFile) {
    Scenario s;
    s.Install("DOLD1.ztb", "Old one v1");
    s.Distribute("DOLD1.ztb", "Old one v2");
    s.Distribute("DNEW1.ztb", "New one v1");
    const Bytes notAFolder = {'n', 'o', 't', ' ', 'a', ' ', 'f', 'o', 'l', 'd', 'e', 'r'};
    platform::WriteWholeFile(s.Installed("Backup"), notAFolder);
    const auto entries = s.NewEntries();
    ASSERT_EQ(entries.size(), 2u);

    Snapshot before = s.Take();
    const OperationReport installed = InstallTables(s.folders, entries, AllRows(entries.size()));
    EXPECT_EQ(Summary(installed), "1 ny");
    EXPECT_NE(installed.FailureText().find("DOLD1.ztb"), std::string::npos);
    EXPECT_EQ(ReadBytes(s.Installed("DOLD1.ztb")), TableBytes("Old one v1"));
    EXPECT_TRUE(RulesKept(s, before, s.Rules(entries)));

    const auto nowInstalled = s.InstalledEntries();
    before = s.Take();
    EXPECT_EQ(Summary(RemoveTables(s.folders, nowInstalled, AllRows(nowInstalled.size()))), "0 nn");
    EXPECT_EQ(ReadBytes(s.Installed("Backup")), notAFolder);
    EXPECT_TRUE(RulesKept(s, before, s.Rules({})));
}

TEST(BackupFolderFaults, BackupNameTakenBySameBytesDropsTheDuplicate) {
    Scenario s;
    s.Install("DOLD1.ztb", "Slide film v2.1");
    s.Distribute("DOLD1.ztb", "Slide film v2.2");
    s.Install("DREM.ztb", "Print v3");
    fs::create_directory(s.BackupFolder());
    fs::copy_file(s.Installed("DOLD1.ztb"), s.BackupFolder() / "DOLD1.ztb, v2.1");
    fs::copy_file(s.Installed("DREM.ztb"), s.BackupFolder() / "DREM.ztb, v3");
    const auto entries = s.NewEntries();
    ASSERT_EQ(entries.size(), 1u);

    Snapshot before = s.Take();
    EXPECT_EQ(Summary(InstallTables(s.folders, entries, {0})), "1 y");
    EXPECT_EQ(ReadBytes(s.Installed("DOLD1.ztb")), TableBytes("Slide film v2.2"));
    EXPECT_EQ(NamesIn(s.BackupFolder()), (std::set<std::string>{"DOLD1.ztb, v2.1", "DREM.ztb, v3"}));
    EXPECT_TRUE(RulesKept(s, before, s.Rules(entries)));

    const auto installed = s.InstalledEntries();
    ASSERT_EQ(installed.size(), 2u);
    ASSERT_EQ(installed[0].FileName, "DREM.ztb");
    before = s.Take();
    EXPECT_EQ(Summary(RemoveTables(s.folders, installed, {0})), "1 y");
    EXPECT_FALSE(fs::exists(s.Installed("DREM.ztb")));
    EXPECT_EQ(NamesIn(s.BackupFolder()), (std::set<std::string>{"DOLD1.ztb, v2.1", "DREM.ztb, v3"}));
    EXPECT_TRUE(RulesKept(s, before, s.Rules({})));
}

TEST(BackupFolderFaults, BackupNameTakenByOtherBytesGetsTheNextNumber) {
    Scenario s;
    s.Install("DOLD1.ztb", "Slide film v2.1");
    s.Distribute("DOLD1.ztb", "Slide film v2.2");
    s.Install("DREM.ztb", "Print v3");
    fs::create_directory(s.BackupFolder());
    platform::WriteWholeFile(s.BackedUp("DOLD1.ztb, v2.1"), TableBytes("Earlier slide film v2.1"));
    platform::WriteWholeFile(s.BackedUp("DOLD1.ztb, v2.1 (2)"), TableBytes("Another slide film v2.1"));
    platform::WriteWholeFile(s.BackedUp("DREM.ztb, v3"), TableBytes("Earlier print v3"));
    const auto entries = s.NewEntries();
    ASSERT_EQ(entries.size(), 1u);

    Snapshot before = s.Take();
    EXPECT_EQ(Summary(InstallTables(s.folders, entries, {0})), "1 y");
    EXPECT_EQ(ReadBytes(s.BackedUp("DOLD1.ztb, v2.1 (3)")), TableBytes("Slide film v2.1"));
    EXPECT_TRUE(RulesKept(s, before, s.Rules(entries)));

    const auto installed = s.InstalledEntries();
    ASSERT_EQ(installed[0].FileName, "DREM.ztb");
    before = s.Take();
    EXPECT_EQ(Summary(RemoveTables(s.folders, installed, {0})), "1 y");
    EXPECT_EQ(ReadBytes(s.BackedUp("DREM.ztb, v3 (2)")), TableBytes("Print v3"));
    EXPECT_TRUE(RulesKept(s, before, s.Rules({})));
    EXPECT_EQ(NamesIn(s.BackupFolder()).size(), 5u);
}

TEST(BackupFolderFaults, LabelsWithSeparatorsStayInTheBackupFolder) {
    Scenario s;
    s.Install("DLABEL1.ztb", "Slide v\\..\\..\\x");
    s.Install("DLABEL2.ztb", "Slide v/../../y");
    s.Install("DLABEL3.ztb", "Slide v..");
    s.Install("DLABEL4.ztb", "Slide vC:x");
    s.Install("DLABEL5.ztb", "Slide v*?\"<>|");
    const auto installed = s.InstalledEntries();
    ASSERT_EQ(installed.size(), 5u);

    const Snapshot before = s.Take();
    EXPECT_EQ(Summary(RemoveTables(s.folders, installed, AllRows(installed.size()))), "5 yyyyy");
    EXPECT_EQ(NamesIn(s.BackupFolder()),
              (std::set<std::string>{"DLABEL1.ztb, v_.._.._x", "DLABEL2.ztb, v_.._.._y", "DLABEL3.ztb, v..",
                                     "DLABEL4.ztb, vC_x", "DLABEL5.ztb, v______"}));
    for (const auto& item : fs::directory_iterator(s.BackupFolder())) EXPECT_TRUE(item.is_regular_file());
    EXPECT_EQ(NamesIn(s.InstalledFolder()), (std::set<std::string>{"Backup"}));
    EXPECT_TRUE(RulesKept(s, before, s.Rules({})));
}

TEST(ChangesAfterTheScan, VanishedDistributionCopiesFailTheirRowsOnly) {
    Scenario s;
    s.Install("DOLD1.ztb", "Old one v1");
    s.Distribute("DOLD1.ztb", "Old one v2");
    s.Distribute("DNEW1.ztb", "New one v1");
    s.Distribute("DNEW2.ztb", "New two v1");
    const auto entries = s.NewEntries();
    ASSERT_EQ(entries.size(), 3u);
    fs::remove(s.Distributed("DOLD1.ztb"));
    fs::remove(s.Distributed("DNEW2.ztb"));

    const Snapshot before = s.Take();
    const OperationReport report = InstallTables(s.folders, entries, AllRows(entries.size()));
    EXPECT_EQ(Summary(report), "1 nny");
    EXPECT_EQ(ReadBytes(s.Installed("DOLD1.ztb")), TableBytes("Old one v1"));
    EXPECT_FALSE(fs::exists(s.BackupFolder()));
    EXPECT_TRUE(RulesKept(s, before, s.Rules(entries)));
}

TEST(ChangesAfterTheScan, VanishedInstalledCopyCountsAsRemoved) {
    Scenario s;
    s.Install("DONE.ztb", "One v1");
    s.Install("DTWO.ztb", "Two v1");
    const auto installed = s.InstalledEntries();
    fs::remove(s.Installed("DONE.ztb"));

    const Snapshot before = s.Take();
    EXPECT_EQ(Summary(RemoveTables(s.folders, installed, AllRows(installed.size()))), "2 yy");
    EXPECT_EQ(NamesIn(s.BackupFolder()), (std::set<std::string>{"DTWO.ztb, v1"}));
    EXPECT_TRUE(RulesKept(s, before, s.Rules({})));
}

TEST(ChangesAfterTheScan, DamagedInstalledCopyEndsTheInstallWithItsMessage) {
    Scenario s;
    for (const char* name : {"DA.ztb", "DB.ztb", "DC.ztb"}) {
        const std::string letter(1, name[1]);
        s.Install(name, letter + " v1");
        s.Distribute(name, letter + " v2");
    }
    const auto entries = s.NewEntries();
    ASSERT_EQ(entries.size(), 3u);
    platform::WriteWholeFile(s.Installed("DB.ztb"), Bytes(100, 0x42));

    const Snapshot before = s.Take();
    std::string message;
    try {
        InstallTables(s.folders, entries, AllRows(entries.size()));
    } catch (const ErrorAbort& abort) {
        message = abort.what();
    }
    EXPECT_EQ(message, "Can't read ZTB file");
    // Row 2 was done before the damaged row 1; row 0 was never reached.
    EXPECT_EQ(ReadBytes(s.Installed("DC.ztb")), TableBytes("C v2"));
    EXPECT_EQ(ReadBytes(s.Installed("DB.ztb")), Bytes(100, 0x42));
    EXPECT_EQ(ReadBytes(s.Installed("DA.ztb")), TableBytes("A v1"));
    EXPECT_TRUE(RulesKept(s, before, s.Rules(entries)));
}

TEST(ChangesAfterTheScan, DamagedInstalledCopyEndsTheRemoveWithItsMessage) {
    Scenario s;
    for (const char* name : {"DA.ztb", "DB.ztb", "DC.ztb"}) s.Install(name, std::string(1, name[1]) + " v1");
    const auto installed = s.InstalledEntries();
    platform::WriteWholeFile(s.Installed("DB.ztb"), Bytes(100, 0x42));

    const Snapshot before = s.Take();
    std::string message;
    try {
        RemoveTables(s.folders, installed, AllRows(installed.size()));
    } catch (const ErrorAbort& abort) {
        message = abort.what();
    }
    EXPECT_EQ(message, "Can't read ZTB file");
    EXPECT_FALSE(fs::exists(s.Installed("DC.ztb")));
    EXPECT_TRUE(fs::exists(s.Installed("DB.ztb")));
    EXPECT_TRUE(fs::exists(s.Installed("DA.ztb")));
    EXPECT_TRUE(RulesKept(s, before, s.Rules({})));
}

// A copy damaged after the scan must not replace a good installed table:
// once installed it would end every later scan of its model with the error
// abort, and could not be removed through the catalogue.
TEST(ChangesAfterTheScan, DamagedDistributionCopyFailsItsRowAndKeepsTheInstalledTable) {
    Scenario s;
    s.Install("DOLD1.ztb", "Old one v1");
    s.Distribute("DOLD1.ztb", "Old one v2");
    s.Distribute("DNEW1.ztb", "New one v1");
    const auto entries = s.NewEntries();
    ASSERT_EQ(entries.size(), 2u);
    Bytes truncated = TableBytes("Old one v2");
    truncated.resize(1000);
    platform::WriteWholeFile(s.Distributed("DOLD1.ztb"), truncated);

    const Snapshot before = s.Take();
    OperationReport report;
    EXPECT_NO_THROW(report = InstallTables(s.folders, entries, AllRows(entries.size())));
    EXPECT_EQ(Summary(report), "1 ny");
    EXPECT_EQ(ReadBytes(s.Installed("DOLD1.ztb")), TableBytes("Old one v1"));
    EXPECT_EQ(ReadBytes(s.Installed("DNEW1.ztb")), TableBytes("New one v1"));
    EXPECT_NO_THROW(s.InstalledEntries());
    EXPECT_TRUE(RulesKept(s, before, s.Rules(entries)));
}

}  // namespace
