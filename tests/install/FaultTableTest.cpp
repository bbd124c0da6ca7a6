// Install and remove against faults, one row each: a set-up, changes made
// after the scan, calls of the file services failed or preceded by another
// process's work, and the rows and messages expected. After every row no
// table is lost, nothing is half written, nothing outside the installed
// folder changed and no temporary file stays (testkit/FolderSnapshot.h).
// Then every call Add All and Remove All make fails in turn, with the same
// rules kept.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <random>
#include <thread>
#endif

#include "catalogue/TableScans.h"
#include "install/TableOperations.h"
#include "install/TemporaryCopies.h"
#include "testkit/FaultPlan.h"
#include "testkit/FolderSnapshot.h"
#include "testkit/Tables.h"

namespace {

using platform::Call;
using platform::Outcome;
namespace fs = std::filesystem;

constexpr platform::FileTime kLater = kTableTime + 864'000'000'000ULL;

// Installed: DKEEP "Kept v1", DOLD "Old v1". Distributed a day later:
// DOLD "Old v2", DNEW "New v1". Add All takes DOLD, then DNEW; Remove All
// takes DOLD, then DKEEP (rows from the highest down).
struct Scene {
    CatalogueSetup setup;

    Scene()
    {
        WriteTable(setup.Installed("DKEEP.ztb"), "Kept v1");
        WriteTable(setup.Installed("DOLD.ztb"), "Old v1");
        WriteTable(setup.Distribution("DOLD.ztb"), "Old v2", 1002, kLater);
        WriteTable(setup.Distribution("DNEW.ztb"), "New v1", 1002, kLater);
    }
    std::vector<CatalogueEntry> Installed() const { return ScanInstalled(setup.Installed(), "Orvane A"); }
    std::vector<CatalogueEntry> New() const { return ScanNew(setup.Distribution(), "Orvane A", Installed()); }
    std::string InstalledRelative() const
    {
        return fs::relative(setup.Installed(), setup.Root().FsPath()).generic_string() + "/";
    }
    // Every table in the installed folder must stay; new files there take
    // the names of the entries.
    SafetyRules Rules(const Snapshot& before, const std::vector<CatalogueEntry>& entries) const
    {
        SafetyRules rules;
        rules.installed = InstalledRelative();
        for (const auto& [path, bytes] : before) {
            const std::string rest = path.substr(std::min(path.size(), rules.installed.size()));
            if (path.starts_with(rules.installed) && rest.find('/') == std::string::npos && LooksLikeTable(rest)) {
                rules.mustStay.insert(bytes);
            }
        }
        for (const CatalogueEntry& entry : entries) rules.newNames.insert(FoldFileNameCase(entry.FileName));
        return rules;
    }
};

enum class Operation { AddAll, RemoveAll };

struct Outcomes {
    std::string summary;   // the count, then y or n per row in processing order; or "abort"
    std::string failures;  // FailureText, or the abort message
};

Outcomes Perform(const Scene& scene, Operation operation, const std::vector<CatalogueEntry>& entries)
{
    std::vector<int> rows;
    for (std::size_t k = 0; k < entries.size(); ++k) rows.push_back(static_cast<int>(k));
    try {
        const OperationReport report = operation == Operation::AddAll
                                           ? InstallTables(scene.setup.Folders(), entries, rows)
                                           : RemoveTables(scene.setup.Folders(), entries, rows);
        std::string summary = std::to_string(report.succeeded) + " ";
        for (const RowReport& row : report.rows) summary += row.ok ? 'y' : 'n';
        return {summary, report.FailureText()};
    } catch (const ErrorAbort& abort) {
        return {"abort", abort.what()};
    }
}

Snapshot TakeOf(const Scene& scene) { return TakeSnapshot(scene.setup.Root().FsPath()); }

// The broken rules, a line each; empty when all hold.
std::string Broken(const Scene& scene, const Snapshot& before, const SafetyRules& rules)
{
    std::string text;
    for (const std::string& line : BrokenRules(before, TakeOf(scene), rules)) text += line + "\n";
    return text;
}

// {I}, {D} and {B} stand for the installed, distribution and backup folders.
std::string WithFolders(std::string text, const Scene& scene)
{
    const std::pair<const char*, std::string> folders[] = {
        {"{I}", scene.setup.Installed()}, {"{D}", scene.setup.Distribution()}, {"{B}", scene.setup.Backup()}};
    for (const auto& [mark, folder] : folders) {
        for (std::size_t at; (at = text.find(mark)) != std::string::npos;) text.replace(at, 3, folder);
    }
    return text;
}

void Put(const std::string& path, const Bytes& bytes) { ASSERT_TRUE(platform::WriteWholeFile(path, bytes)); }

// A backup folder holding name; bytes of the installed DOLD when none given.
void Backup(Scene& s, const std::string& name, Bytes bytes = {})
{
    fs::create_directory(s.setup.Backup());
    Put(s.setup.Backup(name), bytes.empty() ? ReadBytes(s.setup.Installed("DOLD.ztb")) : bytes);
}

struct FaultRow {
    const char* name;
    Operation operation;
    void (*prepare)(Scene&);             // before the scan, or nothing
    void (*change)(Scene&);              // after the scan, or nothing
    void (*faults)(Scene&, FaultPlan&);  // during the operation, or nothing
    const char* summary;
    const char* failures;
    std::set<std::string> backups;  // the backup folder's names afterwards
};

const FaultRow kRows[] = {
    {"InstalledFolderMissing", Operation::AddAll, nullptr, [](Scene& s) { fs::remove_all(s.setup.Installed()); }, nullptr,
     "0 nn", "DOLD.ztb: the installed folder {I} does not exist\nDNEW.ztb: the installed folder {I} does not exist", {}},
    {"BackupFolderReadOnly", Operation::AddAll, [](Scene& s) { fs::create_directory(s.setup.Backup()); },
     nullptr, [](Scene&, FaultPlan& plan) { plan.Fail(Call::Move, 0, Outcome::AccessDenied, "Backup"); }, "1 ny",
     "DOLD.ztb: the backup of the installed copy failed: it could not be moved to {B}DOLD.ztb, v1", {}},
    {"BackupNameHeldByAFileInstall", Operation::AddAll, [](Scene& s) { Put(s.setup.Installed("Backup"), {'x'}); },
     nullptr, nullptr, "1 ny", "DOLD.ztb: the backup of the installed copy failed: the backup folder {B} could not be created", {}},
    {"BackupNameHeldByAFileRemove", Operation::RemoveAll, [](Scene& s) { Put(s.setup.Installed("Backup"), {'x'}); },
     nullptr, nullptr, "0 nn",
     "DOLD.ztb: the backup failed: the backup folder {B} could not be created\n"
     "DKEEP.ztb: the backup failed: the backup folder {B} could not be created", {}},
    {"BackupNameTakenBySameBytes", Operation::RemoveAll, [](Scene& s) { Backup(s, "DOLD.ztb, v1"); }, nullptr, nullptr, "2 yy",
     "", {"DOLD.ztb, v1", "DKEEP.ztb, v1"}},
    {"BackupNameTakenByOtherBytes", Operation::AddAll,
     [](Scene& s) {
         Backup(s, "DOLD.ztb, v1", TableBytes("Earlier v1"));
         Backup(s, "DOLD.ztb, v1 (2)", TableBytes("Another v1"));
     },
     nullptr, nullptr, "2 yy", "", {"DOLD.ztb, v1", "DOLD.ztb, v1 (2)", "DOLD.ztb, v1 (3)"}},
    {"BackupNumberTwoHoldsTheSameBytes", Operation::RemoveAll,
     [](Scene& s) {
         Backup(s, "DOLD.ztb, v1", TableBytes("Earlier v1"));
         Backup(s, "DOLD.ztb, v1 (2)");
     },
     nullptr, nullptr, "2 yy", "", {"DOLD.ztb, v1", "DOLD.ztb, v1 (2)", "DKEEP.ztb, v1"}},
    {"DuplicateCannotBeDeleted", Operation::AddAll, [](Scene& s) { Backup(s, "DOLD.ztb, v1"); },
     nullptr, [](Scene&, FaultPlan& plan) { plan.Fail(Call::Delete, 0, Outcome::InUse, "DOLD.ztb"); }, "1 ny",
     "DOLD.ztb: the backup of the installed copy failed: it could not be deleted (a backup with the same "
     "content exists as {B}DOLD.ztb, v1)", {"DOLD.ztb, v1"}},
    {"LabelsWithSeparators", Operation::RemoveAll,
     [](Scene& s) {
         fs::remove(s.setup.Installed("DKEEP.ztb"));
         WriteTable(s.setup.Installed("DSEP1.ztb"), "Slide v\\..\\..\\x");
         WriteTable(s.setup.Installed("DSEP2.ztb"), "Slide v/../../y");
     },
     nullptr, nullptr, "3 yyy", "", {"DOLD.ztb, v1", "DSEP1.ztb, v_.._.._x", "DSEP2.ztb, v_.._.._y"}},
    {"DistributionCopyGoneAfterTheScan", Operation::AddAll, nullptr,
     [](Scene& s) { fs::remove(s.setup.Distribution("DNEW.ztb")); }, nullptr, "1 yn",
     "DNEW.ztb: the distribution copy {D}DNEW.ztb is gone", {"DOLD.ztb, v1"}},
    {"DistributionCopyDamagedAfterTheScan", Operation::AddAll, nullptr,
     [](Scene& s) { WriteDamagedTable(s.setup.Distribution("DOLD.ztb")); }, nullptr, "1 ny",
     "DOLD.ztb: the distribution copy cannot be used: Illegal ZTB ID string", {}},
    {"InstalledCopyDamagedAfterTheScanInstall", Operation::AddAll, nullptr,
     [](Scene& s) { Put(s.setup.Installed("DOLD.ztb"), Bytes(100, 0x42)); }, nullptr, "abort",
     "Can't read ZTB file", {}},
    {"InstalledCopyDamagedAfterTheScanRemove", Operation::RemoveAll, nullptr,
     [](Scene& s) { Put(s.setup.Installed("DKEEP.ztb"), Bytes(100, 0x42)); }, nullptr, "abort",
     "Can't read ZTB file", {"DOLD.ztb, v1"}},
    {"InstalledCopyGoneAfterTheScan", Operation::RemoveAll, nullptr,
     [](Scene& s) { fs::remove(s.setup.Installed("DOLD.ztb")); }, nullptr, "2 yy", "", {"DKEEP.ztb, v1"}},
    {"DiskFullDuringTheCopy", Operation::AddAll, nullptr, nullptr,
     [](Scene&, FaultPlan& plan) { plan.Fail(Call::Copy, 1, Outcome::DiskFull); }, "1 ny",
     "DOLD.ztb: the copy from {D}DOLD.ztb failed", {}},
    // Another process takes the name between the backup step and the move:
    // its table stays, the new copy goes.
    {"InstalledNameTakenBeforeTheMove", Operation::AddAll, nullptr, nullptr,
     [](Scene& s, FaultPlan& plan) {
         plan.Before(Call::Move, 1, [&s] { fs::copy_file(s.setup.Distribution("DNEW.ztb"), s.setup.Installed("DOLD.ztb")); },
                     ".~ztbinstall");
     },
     "1 ny", "DOLD.ztb: the new copy could not be moved to {I}DOLD.ztb", {"DOLD.ztb, v1"}},
};

class FaultTable : public ::testing::TestWithParam<FaultRow> {};

TEST_P(FaultTable, KeepsEveryTableAndReportsEachRow)
{
    const FaultRow& row = GetParam();
    Scene scene;
    if (row.prepare) row.prepare(scene);
    const bool adding = row.operation == Operation::AddAll;
    const std::vector<CatalogueEntry> entries = adding ? scene.New() : scene.Installed();
    if (row.change) row.change(scene);
    const Snapshot before = TakeOf(scene);
    Outcomes outcomes;
    {
        FaultPlan plan;
        if (row.faults) row.faults(scene, plan);
        outcomes = Perform(scene, row.operation, entries);
    }
    EXPECT_EQ(outcomes.summary, row.summary);
    EXPECT_EQ(outcomes.failures, WithFolders(row.failures, scene));
    EXPECT_EQ(NamesIn(scene.setup.Backup()), row.backups);
    EXPECT_EQ(Broken(scene, before, scene.Rules(before, adding ? entries : std::vector<CatalogueEntry>{})), "");
}

INSTANTIATE_TEST_SUITE_P(Rows, FaultTable, ::testing::ValuesIn(kRows),
                         [](const auto& test) { return std::string(test.param.name); });

// With a backup name taken by other bytes, so the numbered names and the
// byte comparison are reached too.
class EveryCallFails : public ::testing::TestWithParam<Operation> {};

TEST_P(EveryCallFails, KeepsEveryTable)
{
    auto prepare = [](Scene& s) {
        fs::create_directory(s.setup.Backup());
        Put(s.setup.Backup("DOLD.ztb, v1"), TableBytes("Earlier v1"));
    };
    std::vector<FaultPlan::Seen> calls;
    {
        Scene scene;
        prepare(scene);
        const auto entries = GetParam() == Operation::AddAll ? scene.New() : scene.Installed();
        FaultPlan plan;
        ASSERT_EQ(Perform(scene, GetParam(), entries).summary, "2 yy");
        calls = plan.Log();
    }
    for (const FaultPlan::Seen& call : calls) {
        SCOPED_TRACE("call kind " + std::to_string(static_cast<int>(call.call)) + " number " + std::to_string(call.nth));
        Scene scene;
        prepare(scene);
        const auto entries = GetParam() == Operation::AddAll ? scene.New() : scene.Installed();
        const Snapshot before = TakeOf(scene);
        Outcomes outcomes;
        {
            FaultPlan plan;
            plan.Fail(call.call, call.nth, Outcome::Other);
            outcomes = Perform(scene, GetParam(), entries);
        }
        SafetyRules rules = scene.Rules(before, GetParam() == Operation::AddAll ? entries : std::vector<CatalogueEntry>{});
        // A temporary copy whose deletion failed stays; the next run of
        // another process sweeps it.
        rules.allowTemporaryLeftovers = call.call == Call::Delete;
        EXPECT_EQ(Broken(scene, before, rules), "") << outcomes.summary << " " << outcomes.failures;
    }
}

INSTANTIATE_TEST_SUITE_P(Operations, EveryCallFails, ::testing::Values(Operation::AddAll, Operation::RemoveAll));

}  // namespace

#ifndef _WIN32
// Real faults of the system, which only POSIX lets a test make at will.
namespace {

// Add All in a child killed at random points: nothing is lost or half
// written, and the next Add All completes it and sweeps the killed child's
// temporary copies.
TEST(RealFaults, AddAllKilledAtRandomPoints) {
    auto prepare = [](Scene& s) {
        for (int k = 0; k < 40; ++k) WriteTable(s.setup.Distribution("DK" + std::to_string(k) + ".ztb"), "Film v2", 1002, kLater);
    };
    Scene timed;
    prepare(timed);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Perform(timed, Operation::AddAll, timed.New()).summary.substr(0, 3), "42 ");
    const auto full = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);

    std::mt19937 random(20240607);
    int cutShort = 0;
    for (int run = 0; run < 8; ++run) {
        Scene scene;
        prepare(scene);
        const auto entries = scene.New();
        SafetyRules rules = scene.Rules(TakeOf(scene), entries);
        const Snapshot before = TakeOf(scene);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            Perform(scene, Operation::AddAll, entries);
            _exit(0);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % (full.count() + 1)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        cutShort += WIFSIGNALED(status) ? 1 : 0;
        rules.allowTemporaryLeftovers = true;
        EXPECT_EQ(Broken(scene, before, rules), "") << "run " << run;

        const auto rest = scene.New();
        if (!rest.empty()) Perform(scene, Operation::AddAll, rest);
        EXPECT_TRUE(scene.New().empty());
        rules.allowTemporaryLeftovers = false;
        EXPECT_EQ(Broken(scene, before, rules), "") << "run " << run;
    }
    EXPECT_GT(cutShort, 0) << "no kill landed inside the operation";
}

// A running process's copy stays; once it has ended, the next install
// sweeps it.
TEST(RealFaults, ALiveProcesssCopyStaysUntilItHasEnded) {
    Scene scene;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        pause();
        _exit(0);
    }
    const std::string copy = TemporaryCopyName(static_cast<std::uint32_t>(child), 1);
    WriteTable(scene.setup.Installed(copy), "In progress");
    ASSERT_EQ(Perform(scene, Operation::AddAll, scene.New()).summary, "2 yy");
    EXPECT_TRUE(NamesIn(scene.setup.Installed()).count(copy));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    ASSERT_EQ(Perform(scene, Operation::RemoveAll, scene.Installed()).summary, "3 yyy");
    EXPECT_FALSE(NamesIn(scene.setup.Installed()).count(copy));
}

// A file size limit stops the copy part way, as a full disk does: the
// partial copy goes, and the rows whose tables fit are done.
TEST(RealFaults, DiskFullDuringTheCopy) {
    Scene scene;
    WriteTable(scene.setup.Distribution("DOLD.ztb"), "Old v2", 1002, kLater);
    ZtbWriter big("New v1");
    big.AddRecord(0);
    big.SetTrailingBytes(20000);
    Put(scene.setup.Distribution("DNEW.ztb"), big.Build());
    const auto entries = scene.New();
    const Snapshot before = TakeOf(scene);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 8192;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const Outcomes outcomes = Perform(scene, Operation::AddAll, entries);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(outcomes.summary, "1 yn");
    EXPECT_EQ(outcomes.failures, WithFolders("DNEW.ztb: the copy from {D}DNEW.ztb failed", scene));
    EXPECT_EQ(Broken(scene, before, scene.Rules(before, entries)), "");
}

}  // namespace
#endif
