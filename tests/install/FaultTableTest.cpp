// Install, remove and restore against faults, one row each: a set-up, changes made
// after the scan, calls of the file services failed or preceded by another
// process's work, and the rows and messages expected. After every row no
// table is lost, no installed name is left empty by an install, nothing is
// half written, nothing outside the installed folder changed, no temporary
// file stays (testkit/FolderSnapshot.h), every move is made under the
// folder's lock, a refused operation changed nothing, and the history log
// holds a line per row with its result. Then every call
// Add All, Remove All and a restore make fails in turn, with the same rules
// kept.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "Version.h"
#include "catalogue/TableScans.h"
#include "install/HistoryLog.h"
#include "install/TableOperations.h"
#include "install/TemporaryCopies.h"
#include "platform/Process.h"
#include "testkit/FaultPlan.h"
#include "testkit/FolderSnapshot.h"
#include "testkit/Tables.h"

namespace {

using platform::Call, platform::FoldFileNameCase, platform::Outcome;
namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

constexpr platform::FileTime kDay = 864'000'000'000ULL;
constexpr platform::FileTime kLater = kTableTime + kDay;
const HistorySource kTester{"tester", "Orvane A"};

// Installed: DKEEP "Kept v1", DOLD "Old v1". Distributed a day later:
// DOLD "Old v2", DNEW "New v1". Add All takes DOLD, then DNEW; Remove All
// takes DOLD, then DKEEP (rows from the highest down).
struct Scene {
    CatalogueSetup setup;
    platform::FileLock otherOperation;  // the lock as another install or remove holds it

    Scene() {
        WriteTable(setup.Installed("DKEEP.ztb"), "Kept v1");
        WriteTable(setup.Installed("DOLD.ztb"), "Old v1");
        WriteTable(setup.Distribution("DOLD.ztb"), "Old v2", 1002, kLater);
        WriteTable(setup.Distribution("DNEW.ztb"), "New v1", 1002, kLater);
    }
    std::vector<CatalogueEntry> Installed() const { return ScanInstalled(setup.Installed(), "Orvane A"); }
    std::vector<CatalogueEntry> New() const { return ScanNew(setup.Distribution(), "Orvane A", Installed()); }
    // The backups a row placed (not the numbered ones a restore makes) that
    // the installed copy does not hold.
    std::vector<BackupEntry> Restorable() const {
        std::vector<BackupEntry> backups = ScanBackups(setup.Backup(), setup.Installed(), "Orvane A");
        std::erase_if(backups, [](const BackupEntry& b) { return b.BackupName.ends_with(")") || b.SameAsInstalled; });
        return backups;
    }
    std::string LockPath() const { return setup.Installed(kLockFileName); }
};

enum Operation { AddAll, RemoveAll, RestoreAll };

// What an operation is given: the scan's entries, or the backups to restore.
struct Listed {
    std::vector<CatalogueEntry> tables;
    std::vector<BackupEntry> backups;
    std::size_t size() const { return tables.size() + backups.size(); }
};

Listed List(const Scene& scene, Operation operation) {
    if (operation == RestoreAll) return {{}, scene.Restorable()};
    return {operation == AddAll ? scene.New() : scene.Installed(), {}};
}

// Every table in the installed folder must stay; an install or restore
// keeps every installed name and its new files take the names of its
// entries.
SafetyRules Rules(const Scene& scene, const Snapshot& before, Operation operation, const Listed& entries) {
    const bool installs = operation != RemoveAll;
    SafetyRules rules;
    rules.installed = fs::relative(scene.setup.Installed(), scene.setup.Root().FsPath()).generic_string() + "/";
    for (const auto& [path, bytes] : before) {
        const std::string rest = path.substr(std::min(path.size(), rules.installed.size()));
        if (path.starts_with(rules.installed) && rest.find('/') == std::string::npos && LooksLikeTable(rest)) {
            rules.mustStay.insert(bytes);
            if (installs) rules.namesStay.insert(FoldFileNameCase(rest));
        }
    }
    for (const CatalogueEntry& entry : entries.tables) {
        if (installs) rules.newNames.insert(FoldFileNameCase(entry.FileName));
    }
    for (const BackupEntry& backup : entries.backups) rules.newNames.insert(FoldFileNameCase(backup.FileName));
    return rules;
}

// How an operation ended: with its count, refused before the first row, or
// in the error abort.
enum Ending { Completed, Refused, Aborted };

struct Outcomes {
    Ending ending = Completed;
    std::vector<std::string> done;  // the file names of the rows done, in processing order
    std::string failures;           // FailureText, or the refusal message
    std::string history;            // the history lines due, as LoggedRows gives them
};

// "FILE RESULT: REASON" of each line of the history log.
std::string LoggedRows(const Scene& scene) {
    History history;
    EXPECT_TRUE(ReadHistory(scene.setup.Installed(), history));
    std::string text;
    for (const std::vector<std::string>& line : history.lines) {
        text += line[7] + " " + line[9] + (line[10].empty() ? "" : ": " + line[10]) + "\n";
    }
    return text;
}

Outcomes Summarise(const OperationReport& report, Ending ending) {
    Outcomes outcomes{ending, {}, report.FailureText(), {}};
    for (const RowReport& row : report.rows) {
        if (row.Done()) outcomes.done.push_back(row.fileName);
        std::string why = row.reason;  // and what a done row did not get onto the disk
        for (const std::string& warning : row.warnings) why += (why.empty() ? "" : "; ") + warning;
        outcomes.history += row.table + " " + RowOutcomeWord(row.outcome) + (why.empty() ? "" : ": " + why) + "\n";
    }
    EXPECT_EQ(report.succeeded, static_cast<int>(outcomes.done.size()));
    if (!report.warnings.empty()) outcomes.history.clear();  // the log could not be written at all
    return outcomes;
}

Outcomes Perform(const Scene& scene, Operation operation, const Listed& entries) {
    std::vector<int> rows;
    for (std::size_t k = 0; k < entries.size(); ++k) rows.push_back(static_cast<int>(k));
    const CatalogueFolders& folders = scene.setup.Folders();
    try {
        const OperationReport report = operation == AddAll ? InstallTables(folders, entries.tables, rows, kTester)
                                       : operation == RemoveAll
                                           ? RemoveTables(folders, entries.tables, rows, kTester)
                                           : RestoreTables(folders, entries.backups, rows, kTester);
        if (report.refused) return {Refused, {}, report.message, {}};
        return Summarise(report, Completed);
    } catch (const OperationAborted& abort) {
        return Summarise(abort.report, Aborted);
    }
}

Snapshot TakeOf(const Scene& scene) { return TakeSnapshot(scene.setup.Root().FsPath()); }

// The rules an operation broke, a line each; none when all hold.
std::vector<std::string> Broken(const Scene& scene, const Snapshot& before, const SafetyRules& rules) {
    return BrokenRules(before, TakeOf(scene), rules);
}

// {I}, {D} and {B} stand for the installed, distribution and backup folders,
// {F} for the installed folder named without its last separator, {T} for
// this process's first temporary copy.
std::string WithFolders(std::string text, const Scene& scene) {
    const std::string installed = scene.setup.Installed();
    for (const auto& [mark, folder] :
        {std::pair<const char*, std::string>{"{I}", installed}, {"{D}", scene.setup.Distribution()},
            {"{B}", scene.setup.Backup()}, {"{F}", installed.substr(0, installed.size() - 1)},
            {"{T}", TemporaryCopyName(platform::CurrentProcessId(), 1)}}) {
        for (std::size_t at; (at = text.find(mark)) != std::string::npos;) text.replace(at, 3, folder);
    }
    return text;
}

void Put(const std::string& path, const Bytes& bytes) { ASSERT_TRUE(platform::WriteWholeFile(path, bytes)); }

// A backup folder holding name; bytes of the installed DOLD when none given.
void Backup(Scene& s, const std::string& name, Bytes bytes = {}) {
    fs::create_directory(s.setup.Backup());
    Put(s.setup.Backup(name), bytes.empty() ? ReadBytes(s.setup.Installed("DOLD.ztb")) : bytes);
}

// An installed table holds the distribution copy's bytes and its times as
// they were when the bytes were read: every distribution copy is created and
// last written at kLater, under the distribution copy's name as written.
// (POSIX cannot set a creation time; Wine keeps no access time of its own.)
void ExpectCopyOf(const Scene& scene, const std::string& name) {
    const platform::FileTimes installed = TimesOf(scene.setup.Installed(name));
    const platform::FileTimes source = TimesOf(scene.setup.Distribution(name));
    EXPECT_EQ(ReadBytes(scene.setup.Installed(name)), ReadBytes(scene.setup.Distribution(name))) << name;
    EXPECT_EQ(installed.lastWrite, kLater) << name;
    EXPECT_EQ(kWindows ? installed.creation : installed.lastAccess, kWindows ? kLater : source.lastAccess) << name;
    EXPECT_TRUE(NamesIn(scene.setup.Installed()).count(name)) << name;
}

// DOLD "Old v1" followed by a tail of 100,000 bytes, more than one block
// of the comparison of backups.
Bytes LongOld(std::size_t tail = 100000) {
    ZtbWriter writer("Old v1");
    writer.AddRecord(0);
    writer.SetTrailingBytes(tail);
    return writer.Build();
}

// A call of the file services that fails without being made: the nth of its
// kind whose path holds pathPart.
struct Fault {
    Call call;
    int nth;
    Outcome outcome;
    const char* pathPart = "";
};

struct FaultRow {
    const char* name;
    Operation operation;
    void (*prepare)(Scene&) = nullptr;             // before the scan
    void (*change)(Scene&) = nullptr;              // after the scan
    std::vector<Fault> fail = {};                  // during the operation
    void (*during)(Scene&, FaultPlan&) = nullptr;  // another process's work during the operation
    Ending ending = Completed;
    std::vector<std::string> done = {};  // the rows done, in processing order
    const char* failures = "";
    std::set<std::string> backups = {};  // the backup folder's names afterwards
    void (*check)(Scene&) = nullptr;     // what else must hold afterwards
};

// Names in the installed folder that the sweep of temporary copies leaves:
// this process's copy, a running one's (the parent, on POSIX), names no copy
// is given, and a gone process's copy that cannot be deleted now.
std::set<std::string> KeptBySweep() {
    std::set<std::string> kept = {TemporaryCopyName(platform::CurrentProcessId(), 1), ".~ztbinstall-7.tmp", "notes.tmp",
        TemporaryCopyName(kNeverAProcess, 2)};
#ifndef _WIN32
    kept.insert(TemporaryCopyName(static_cast<std::uint32_t>(getppid()), 1));
#endif
    return kept;
}

void RemoveKVData(Scene& s) { fs::remove_all(s.setup.Root().Path("Windows/KVData")); }
void BackUpAnEarlierOld(Scene& s) { Backup(s, "DOLD.ztb, v1", TableBytes("Earlier v1")); }

// The history log is made with its header; its lines say who changed which
// table when, from what source, and where the replaced one went, the title
// in UTF-8 (stored in Windows-1252, the ANSI code page).
void CheckHistoryLine(Scene& s) {
    EXPECT_TRUE(ReadText(s.setup.Installed(kHistoryFileName))
                    .starts_with("Time\tComputer\tUser\tProgram\tVersion\tOperation\tModel\tFileName\tDescription\t"
                                 "Result\tReason\tSource\tBackup\r\n"));
    History history;
    ASSERT_TRUE(ReadHistory(s.setup.Installed(), history));
    ASSERT_EQ(history.lines.size(), 2u);
    std::vector<std::string> line = history.lines[0];
    EXPECT_EQ(line[0].size(), 20u);
    EXPECT_EQ(line[0].substr(0, 2) + line[0][10] + line[0].back(), "20TZ");
    EXPECT_FALSE(platform::ComputerName().empty() || platform::UserName().empty());
    EXPECT_EQ(line, (std::vector<std::string>{line[0], platform::ComputerName(), platform::UserName(), "tester",
                        ZTB_VERSION_TEXT, "install", "Orvane A", "DOLD.ztb", "Old \xC3\xA9 v2", "done", "",
                        s.setup.Distribution("DOLD.ztb"), "DOLD.ztb, v1"}));
}

const std::vector<std::string> kBothAdded = {"DOLD.ztb", "DNEW.ztb"};
const std::vector<std::string> kBothRemoved = {"DOLD.ztb", "DKEEP.ztb"};

// clang-format off
const FaultRow kRows[] = {
    // A fresh workstation: the Windows directory without KVData\ZTB, which an install creates.
    {.name = "FreshWorkstation", .operation = AddAll, .change = RemoveKVData, .done = kBothAdded},
    {.name = "KVDataCannotBeCreated", .operation = AddAll, .change = RemoveKVData,
     .fail = {{Call::CreateFolder, 1, Outcome::AccessDenied}}, .ending = Refused,
     .failures = "The installed folder {F} cannot be created: access denied."},
    {.name = "WindowsFolderMissing", .operation = AddAll,
     .change = [](Scene& s) { fs::remove_all(s.setup.Root().Path("Windows")); },
     .failures = "DOLD.ztb: the installed folder {I} does not exist\n"
                 "DNEW.ztb: the installed folder {I} does not exist"},
    // A file that cannot be looked at is not a missing one: the backup step
    // stops rather than take the installed copy for absent.
    {.name = "FilesThatCannotBeReached", .operation = AddAll,
     .fail = {{Call::Exists, 2, Outcome::AccessDenied, "DOLD.ztb"}, {Call::Exists, 1, Outcome::AccessDenied, "DNEW"}},
     .failures = "DOLD.ztb: the backup of the installed copy failed: it cannot be reached: access denied\n"
                 "DNEW.ztb: the distribution copy {D}DNEW.ztb cannot be reached: access denied"},
    {.name = "BackupFolderReadOnly", .operation = AddAll,
     .prepare = [](Scene& s) { fs::create_directory(s.setup.Backup()); },
     .fail = {{Call::Move, 0, Outcome::AccessDenied, "Backup"}}, .done = {"DNEW.ztb"},
     .failures = "DOLD.ztb: the backup of the installed copy failed: it could not be moved to {B}DOLD.ztb, v1: "
                 "access denied"},
    {.name = "BackupNameHeldByAFile", .operation = RemoveAll,
     .prepare = [](Scene& s) { Put(s.setup.Installed("Backup"), {'x'}); },
     .failures = "DOLD.ztb: the backup failed: the backup folder {B} could not be created: the name is taken\n"
                 "DKEEP.ztb: the backup failed: the backup folder {B} could not be created: the name is taken"},
    {.name = "InstalledUnderAnotherCase", .operation = AddAll,
     .prepare = [](Scene& s) { fs::rename(s.setup.Installed("DOLD.ztb"), s.setup.Installed("dold.ztb")); },
     .done = kBothAdded, .backups = {"DOLD.ztb, v1"}},
    // A name outside any ANSI code page is found, installed and backed up as it is.
    {.name = "NameOutsideTheAnsiCodePage", .operation = AddAll,
     .prepare = [](Scene& s) {
         WriteTable(s.setup.Installed("Dλ.ztb"), "Lam v1");
         WriteTable(s.setup.Distribution("Dλ.ztb"), "Lam v2", 1002, kLater);
     }, .done = {"DOLD.ztb", "DNEW.ztb", "Dλ.ztb"}, .backups = {"DOLD.ztb, v1", "Dλ.ztb, v1"}},
    {.name = "BackupNameTakenBySameBytes", .operation = AddAll, .prepare = [](Scene& s) { Backup(s, "DOLD.ztb, v1"); },
     .done = kBothAdded, .backups = {"DOLD.ztb, v1"}},
    // Backups that begin like the installed copy: one longer, one as long
    // but different in its last block.
    {.name = "BackupNameTakenByOtherBytes", .operation = AddAll,
     .prepare = [](Scene& s) {
         Put(s.setup.Installed("DOLD.ztb"), LongOld());
         SetTimesOf(s.setup.Installed("DOLD.ztb"), {kTableTime, kTableTime, kTableTime});
         Backup(s, "DOLD.ztb, v1", LongOld(100001));
         Bytes changedAtTheEnd = LongOld();
         changedAtTheEnd.back() ^= 1;
         Backup(s, "DOLD.ztb, v1 (2)", changedAtTheEnd);
     }, .done = kBothAdded, .backups = {"DOLD.ztb, v1", "DOLD.ztb, v1 (2)", "DOLD.ztb, v1 (3)"}},
    {.name = "BackupNumberTwoHoldsTheSameBytes", .operation = RemoveAll,
     .prepare = [](Scene& s) { BackUpAnEarlierOld(s); Backup(s, "DOLD.ztb, v1 (2)"); }, .done = kBothRemoved,
     .backups = {"DOLD.ztb, v1", "DOLD.ztb, v1 (2)", "DKEEP.ztb, v1"}},
    {.name = "DuplicateCannotBeDeleted", .operation = RemoveAll, .prepare = [](Scene& s) { Backup(s, "DOLD.ztb, v1"); },
     .fail = {{Call::Delete, 0, Outcome::InUse, "DOLD.ztb"}}, .done = {"DKEEP.ztb"},
     .failures = "DOLD.ztb: the backup failed: it could not be deleted (a backup with the same content exists as "
                 "{B}DOLD.ztb, v1): in use", .backups = {"DOLD.ztb, v1", "DKEEP.ztb, v1"}},
    {.name = "DistributionCopyGoneAfterTheScan", .operation = AddAll,
     .prepare = [](Scene& s) { WriteTable(s.setup.Distribution("DOLD.ztb"), "Old \xE9 v2", 1002, kLater); },
     .change = [](Scene& s) { fs::remove(s.setup.Distribution("DNEW.ztb")); }, .done = {"DOLD.ztb"},
     .failures = "DNEW.ztb: the distribution copy {D}DNEW.ztb is gone", .backups = {"DOLD.ztb, v1"},
     .check = CheckHistoryLine},
    // A log that cannot be written loses no table: a warning of the operation.
    {.name = "HistoryLogCannotBeWritten", .operation = AddAll,
     .fail = {{Call::Open, 0, Outcome::AccessDenied, kHistoryFileName}}, .done = kBothAdded,
     .failures = "the history log {I}ztbinstall-history.log could not be written: access denied",
     .backups = {"DOLD.ztb, v1"},
     .check = [](Scene& s) { EXPECT_FALSE(fs::exists(s.setup.Installed(kHistoryFileName))); }},
    {.name = "DistributionCopyDamagedAfterTheScan", .operation = AddAll,
     .change = [](Scene& s) { WriteDamagedTable(s.setup.Distribution("DOLD.ztb")); }, .done = {"DNEW.ztb"},
     .failures = "DOLD.ztb: Illegal ZTB ID string"},
    // The share gets a newer DNEW once its bytes are copied: the installed
    // copy keeps the times of the bytes it holds.
    {.name = "DistributionCopyUpdatedDuringTheInstall", .operation = AddAll,
     .during = [](Scene& s, FaultPlan& plan) {
         const auto update = [&s] { SetTimesOf(s.setup.Distribution("DNEW.ztb"), {0, 0, kLater + kDay}); };
         plan.Before(Call::Move, 1, update, "DNEW");
     }, .done = kBothAdded, .backups = {"DOLD.ztb, v1"}},
    {.name = "InstalledCopyDamagedAfterTheScanInstall", .operation = AddAll,
     .change = [](Scene& s) { Put(s.setup.Installed("DOLD.ztb"), Bytes(100, 0x42)); }, .ending = Aborted,
     .failures = "DOLD.ztb: Can't read ZTB file"},
    {.name = "InstalledCopyDamagedAfterTheScanRemove", .operation = RemoveAll,
     .change = [](Scene& s) { Put(s.setup.Installed("DKEEP.ztb"), Bytes(100, 0x42)); }, .ending = Aborted,
     .done = {"DOLD.ztb"}, .failures = "DKEEP.ztb: Can't read ZTB file", .backups = {"DOLD.ztb, v1"}},
    {.name = "InstalledCopyGoneAfterTheScan", .operation = RemoveAll,
     .change = [](Scene& s) { fs::remove(s.setup.Installed("DOLD.ztb")); }, .done = kBothRemoved,
     .backups = {"DKEEP.ztb, v1"}},
    {.name = "DiskFullDuringTheCopy", .operation = AddAll, .fail = {{Call::Copy, 1, Outcome::DiskFull}},
     .done = {"DNEW.ztb"}, .failures = "DOLD.ztb: the copy from {D}DOLD.ztb failed: disk full"},
    // DOLD's copies are flushed before they are named: the distribution
    // copy, then the backup copy, whose flush fails.
    {.name = "FlushFailsInstall", .operation = AddAll, .fail = {{Call::Flush, 2, Outcome::Other}}, .done = {"DNEW.ztb"},
     .failures = "DOLD.ztb: the backup of the installed copy failed: it could not be copied: system error"},
    {.name = "FlushFailsRemove", .operation = RemoveAll, .fail = {{Call::Flush, 1, Outcome::DiskFull}},
     .done = {"DKEEP.ztb"}, .failures = "DOLD.ztb: the backup failed: it could not be written to the disk: disk full",
     .backups = {"DKEEP.ztb, v1"}},
    // A folder flush after a done rename: the table has moved, so the row is
    // done, with a warning. Flushes of DOLD's install: the new copy, the
    // backup copy, the backup folder (the backup may vanish, so the table is
    // not replaced), the installed folder.
    {.name = "FolderFlushFailsAfterTheReplace", .operation = AddAll, .fail = {{Call::Flush, 4, Outcome::DiskFull}},
     .done = kBothAdded,
     .failures = "DOLD.ztb: done, but the installed folder could not be written to the disk: disk full",
     .backups = {"DOLD.ztb, v1"}},
    {.name = "FolderFlushFailsAfterTheBackupCopy", .operation = AddAll, .fail = {{Call::Flush, 3, Outcome::DiskFull}},
     .done = {"DNEW.ztb"},
     .failures = "DOLD.ztb: the backup of the installed copy failed: its backup {B}DOLD.ztb, v1 is not on the disk: "
                 "disk full", .backups = {"DOLD.ztb, v1"}},
    {.name = "FolderFlushFailsAfterTheBackupMove", .operation = RemoveAll,
     .fail = {{Call::Flush, 2, Outcome::DiskFull}}, .done = kBothRemoved,
     .failures = "DOLD.ztb: done, but the backup folder could not be written to the disk: disk full",
     .backups = {"DOLD.ztb, v1", "DKEEP.ztb, v1"}},
    // A backup folder on another volume: the table is copied there under a
    // temporary name, named, and only then deleted.
    {.name = "BackupFolderOnAnotherVolume", .operation = RemoveAll, .fail = {{Call::Move, 1, Outcome::OtherVolume}},
     .done = kBothRemoved, .backups = {"DOLD.ztb, v1", "DKEEP.ztb, v1"}},
    // A refused open is no damaged table: the row names the file and why.
    {.name = "InstalledCopyCannotBeOpened", .operation = RemoveAll,
     .fail = {{Call::Open, 1, Outcome::AccessDenied, "DOLD"}}, .done = {"DKEEP.ztb"},
     .failures = "DOLD.ztb: the backup failed: it could not be opened: access denied", .backups = {"DKEEP.ztb, v1"}},
    {.name = "NewCopyCannotBeOpened", .operation = AddAll, .fail = {{Call::Open, 1, Outcome::InUse, ".~"}},
     .done = {"DNEW.ztb"}, .failures = "DOLD.ztb: the new copy {I}{T} could not be opened: in use"},
    // The new copy replaces the installed one in one step; when it cannot,
    // the old table stays installed (and backed up).
    {.name = "ReplaceFails", .operation = AddAll, .fail = {{Call::Move, 2, Outcome::InUse, "DOLD.ztb"}},
     .done = {"DNEW.ztb"}, .failures = "DOLD.ztb: the new copy could not replace {I}DOLD.ztb: in use",
     .backups = {"DOLD.ztb, v1"}},
    // Another process takes the new table's name just before the move: its
    // table stays, the new copy goes.
    {.name = "InstalledNameTakenBeforeTheMove", .operation = AddAll,
     .during = [](Scene& s, FaultPlan& plan) {
         const auto take = [&s] { fs::copy_file(s.setup.Distribution("DOLD.ztb"), s.setup.Installed("DNEW.ztb")); };
         plan.Before(Call::Move, 1, take, "DNEW");
     }, .done = {"DOLD.ztb"}, .failures = "DNEW.ztb: the new copy could not be moved to {I}DNEW.ztb: the name is taken",
     .backups = {"DOLD.ztb, v1"}},
    // The copies of gone processes go, also a folder's, before the first
    // row; what the sweep cannot delete stays, and the operation goes on.
    {.name = "TemporaryCopiesOfGoneProcessesSwept", .operation = AddAll,
     .prepare = [](Scene& s) {
         for (const std::string& name : KeptBySweep()) WriteTable(s.setup.Installed(name), "Left");
         WriteTable(s.setup.Installed(TemporaryCopyName(kNeverAProcess, 1)), "Gone");
         fs::create_directory(s.setup.Installed(TemporaryCopyName(kNeverAProcess, 3)));
     },
     .during = [](Scene&, FaultPlan& plan) {
         plan.Fail(Call::Delete, 1, Outcome::InUse, TemporaryCopyName(kNeverAProcess, 2));
     }, .done = kBothAdded, .backups = {"DOLD.ztb, v1"},
     .check = [](Scene& s) {
         std::set<std::string> names = KeptBySweep();
         names.insert({"Backup", "DKEEP.ztb", "DNEW.ztb", "DOLD.ztb", TemporaryCopyName(kNeverAProcess, 3),
             kHistoryFileName});
         EXPECT_EQ(NamesIn(s.setup.Installed()), names);
     }},
    // Another install or remove holds the folder past the wait: nothing
    // changes, not even the sweep of a gone process's copy.
    {.name = "AnotherOperationHoldsTheFolder", .operation = AddAll,
     .prepare = [](Scene& s) {
         WriteTable(s.setup.Installed(TemporaryCopyName(kNeverAProcess, 1)), "Left");
         ASSERT_TRUE(s.otherOperation.Acquire(s.LockPath()));
     }, .ending = Refused, .failures = "Another install or remove is running in {F}. Try again when it has finished."},
    // Another handle holds the lock until the second try (a lock excludes
    // other handles of this process as it does other processes).
    {.name = "AnotherOperationLetsGoWithinTheWait", .operation = AddAll,
     .prepare = [](Scene& s) { ASSERT_TRUE(s.otherOperation.Acquire(s.LockPath())); },
     .during = [](Scene& s, FaultPlan& plan) { plan.Before(Call::Lock, 2, [&s] { s.otherOperation.Release(); }); },
     .done = kBothAdded, .backups = {"DOLD.ztb, v1"}},
    {.name = "FolderCannotBeLocked", .operation = RemoveAll, .fail = {{Call::Lock, 1, Outcome::AccessDenied}},
     .ending = Refused, .failures = "The installed folder {F} cannot be locked: access denied."},
#ifndef _WIN32
    // A link planted as the lock file is never followed.
    {.name = "LockFileIsALink", .operation = RemoveAll,
     .prepare = [](Scene& s) { fs::create_symlink(s.setup.Root().Path("planted"), s.LockPath()); }, .ending = Refused,
     .failures = "The lock file {I}.~ztbinstall.lock is not a plain file: nothing was changed."},
#endif
    // A restore whose new copy cannot replace the installed one (its backup
    // made, moves 1 and 2): the table stays, and so does the backup.
    {.name = "RestoreReplaceFails", .operation = RestoreAll, .prepare = BackUpAnEarlierOld,
     .fail = {{Call::Move, 3, Outcome::InUse, "DOLD.ztb"}},
     .failures = "DOLD.ztb, v1: the new copy could not replace {I}DOLD.ztb: in use",
     .backups = {"DOLD.ztb, v1", "DOLD.ztb, v1 (2)"}},
    // A restore over an installed table: its bytes and times come back.
    {.name = "RestoreOverAnInstalledTable", .operation = RestoreAll, .prepare = BackUpAnEarlierOld,
     .done = {"DOLD.ztb, v1"}, .backups = {"DOLD.ztb, v1", "DOLD.ztb, v1 (2)"},
     .check = [](Scene& s) {
         EXPECT_EQ(ReadBytes(s.setup.Installed("DOLD.ztb")), TableBytes("Earlier v1"));
         EXPECT_EQ(TimesOf(s.setup.Installed("DOLD.ztb")).lastWrite, TimesOf(s.setup.Backup("DOLD.ztb, v1")).lastWrite);
     }},
    // Two selected backups of one table: which should win is not clear.
    {.name = "RestoreTwoBackupsOfOneTable", .operation = RestoreAll,
     .prepare = [](Scene& s) { BackUpAnEarlierOld(s); Backup(s, "DOLD.ztb, v0", TableBytes("Earlier v0")); },
     .failures = "DOLD.ztb, v1: another selected backup restores DOLD.ztb too\n"
                 "DOLD.ztb, v0: another selected backup restores DOLD.ztb too",
     .backups = {"DOLD.ztb, v0", "DOLD.ztb, v1"}},
    {.name = "RestoreADamagedBackup", .operation = RestoreAll,
     .prepare = [](Scene& s) {
         fs::create_directory(s.setup.Backup());
         WriteDamagedTable(s.setup.Backup("DOLD.ztb, v0"));
     }, .failures = "DOLD.ztb, v0: Illegal ZTB ID string", .backups = {"DOLD.ztb, v0"}},
};
// clang-format on

class FaultTable : public ::testing::TestWithParam<FaultRow> {};
void PrintTo(const FaultRow& row, std::ostream* out) { *out << row.name; }

// True while another handle cannot take the folder's lock.
bool LockHeld(const Scene& scene) {
    platform::FileLock probe;
    return probe.Acquire(scene.LockPath()) == Outcome::InUse;
}

TEST_P(FaultTable, KeepsEveryTableAndReportsEachRow) {
    const FaultRow& row = GetParam();
    Scene scene;
    if (row.prepare) row.prepare(scene);
    const Listed entries = List(scene, row.operation);
    if (row.change) row.change(scene);
    const Snapshot before = TakeOf(scene);
    Outcomes outcomes;
    int unlockedMoves = 0;
    {
        FaultPlan plan;
        for (const Fault& fault : row.fail) plan.Fail(fault.call, fault.nth, fault.outcome, fault.pathPart);
        if (row.during) row.during(scene, plan);
        plan.Before(Call::Move, 0, [&] { unlockedMoves += LockHeld(scene) ? 0 : 1; });
        outcomes = Perform(scene, row.operation, entries);
    }
    // The times first: reading a file may touch its access time.
    for (const std::string& name : row.operation == AddAll ? outcomes.done : Lines{}) ExpectCopyOf(scene, name);
    EXPECT_EQ(outcomes.ending, row.ending);
    EXPECT_EQ(outcomes.done, row.done);
    EXPECT_EQ(outcomes.failures, WithFolders(row.failures, scene));
    EXPECT_EQ(NamesIn(scene.setup.Backup()), row.backups);
    EXPECT_EQ(Broken(scene, before, Rules(scene, before, row.operation, entries)), Lines{});
    EXPECT_EQ(unlockedMoves, 0);
    if (row.check) row.check(scene);
    EXPECT_EQ(LoggedRows(scene), fs::exists(scene.setup.Installed()) ? outcomes.history : "");
    EXPECT_TRUE(outcomes.ending != Refused || TakeOf(scene) == before);  // a refusal changes nothing
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FaultTable, ::testing::ValuesIn(kRows), [](const auto& test) { return std::string(test.param.name); });

// Run 0 fails nothing and logs the calls; run k fails call k and, on POSIX,
// a child process dies just before it: what it leaves is safe, and the next
// operation completes the work and sweeps the dead child's copies. A backup
// name is taken by other bytes, so the numbered names and the byte
// comparison are reached too. Remove runs once more with its first move
// into the backup folder refused as one to another volume, so that the copy
// made in its place is tried too.
class EveryCallFails : public ::testing::TestWithParam<std::pair<Operation, bool>> {};

TEST_P(EveryCallFails, KeepsEveryTable) {
    const auto [operation, otherVolume] = GetParam();
    const auto crossVolume = [otherVolume](FaultPlan& plan) {
        if (otherVolume) plan.Fail(Call::Move, 1, Outcome::OtherVolume, "Backup");
    };
    auto listed = [operation](const Scene& s) { return List(s, operation); };
    std::vector<FaultPlan::Seen> calls;
    for (std::size_t k = 0; k <= calls.size(); ++k) {
        for (const bool dies : {false, true}) {
            if (dies && (k == 0 || kWindows)) continue;  // no fork on Windows
            Scene scene;
            Backup(scene, "DOLD.ztb, v1", TableBytes("Earlier v1"));
            const auto entries = listed(scene);
            const Snapshot before = TakeOf(scene);
            SafetyRules rules = Rules(scene, before, operation, entries);
            Outcomes outcomes;
            if (!dies) {
                FaultPlan plan;
                crossVolume(plan);
                if (k > 0) plan.Fail(calls[k - 1].call, calls[k - 1].nth, Outcome::Other);
                outcomes = Perform(scene, operation, entries);
                if (k == 0) calls = plan.Log();
            } else {
#ifndef _WIN32
                const pid_t child = fork();
                if (child == 0) {
                    FaultPlan plan;
                    crossVolume(plan);
                    plan.Before(calls[k - 1].call, calls[k - 1].nth, [] { _exit(0); });
                    Perform(scene, operation, entries);
                    _exit(0);
                }
                waitpid(child, nullptr, 0);
                rules.allowTemporaryLeftovers = true;
                EXPECT_EQ(Broken(scene, before, rules), Lines{}) << "died before call " << k;
                if (listed(scene).size() == 0) continue;
                outcomes = Perform(scene, operation, listed(scene));
                EXPECT_EQ(listed(scene).size(), 0u) << "died before call " << k;
#endif
            }
            if (k == 0) {
                ASSERT_EQ(outcomes.failures, "");
                ASSERT_EQ(outcomes.done.size(), operation == RestoreAll ? 1u : 2u);
            }
            // A temporary copy whose deletion failed stays; a later operation
            // sweeps it.
            rules.allowTemporaryLeftovers = !dies && k > 0 && calls[k - 1].call == Call::Delete;
            EXPECT_EQ(Broken(scene, before, rules), Lines{})
                << (dies ? "after dying before call " : "call ") << k << ": " << outcomes.failures;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Operations, EveryCallFails,
    ::testing::Values(std::pair(AddAll, false), std::pair(RemoveAll, false), std::pair(RestoreAll, false),
        std::pair(RemoveAll, true)));

// A folder that exists but cannot be read is an error, not an empty list;
// tables that another run takes away after the listing are skipped.
TEST(Scans, AFolderThatCannotBeReadEndsTheScanAGoneTableIsSkipped) {
    Scene scene;
    {
        FaultPlan gone;
        gone.Before(Call::Open, 1, [&] { fs::remove_all(scene.setup.Installed()); });
        EXPECT_TRUE(scene.Installed().empty());
    }
    FaultPlan plan;
    plan.Fail(Call::Find, 0, Outcome::AccessDenied);
    EXPECT_EQ(
        AbortMessage([&] { scene.Installed(); }), WithFolders("The folder {I} cannot be read: access denied.", scene));
}

// Selected rows are taken once each, from the highest down; a row beyond
// the list fails, and no row selected does nothing, not even a history log.
TEST(Operations, SelectedRowsAreTakenOnceFromTheHighestDown) {
    const Scene scene;
    EXPECT_EQ(InstallTables(scene.setup.Folders(), scene.New(), {}, kTester).message, "0 ZTB(s) have been installed.");
    EXPECT_FALSE(fs::exists(scene.setup.Installed(kHistoryFileName)));
    const OperationReport report = InstallTables(scene.setup.Folders(), scene.New(), {0, 7, 1, 0}, kTester);
    std::vector<int> rows;
    for (const RowReport& row : report.rows) rows.push_back(row.row);
    EXPECT_EQ(rows, (std::vector<int>{7, 1, 0}));
    EXPECT_EQ(report.message, "2 ZTB(s) have been installed.");
    EXPECT_EQ(report.FailureText(), "Row 7: there is no row 7");
}

}  // namespace
