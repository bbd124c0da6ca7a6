// "Add All" and the removal of every table, killed (SIGKILL) at random
// points in a child process, repeated with a fixed seed. After each kill no
// table is lost or half written and nothing outside the installed folder
// changed; files under temporary names, which no scan matches, may stay.
// Running the operation again then completes it and removes them.
#include <chrono>
#include <cstdio>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "tests/faults/FaultScenario.h"

namespace {

using namespace faults;
namespace fs = std::filesystem;

constexpr int kTables = 150;
constexpr int kRuns = 20;
constexpr unsigned kSeed = 20240607;

std::string TableName(int k) {
    char name[16];
    std::snprintf(name, sizeof name, "DK%03d.ztb", k);
    return name;
}

// Every table distributed as v2; every second one installed as v1, and
// every tenth of those with its backup name taken by other bytes.
void PrepareAddAll(Scenario& s) {
    fs::create_directory(s.BackupFolder());
    for (int k = 0; k < kTables; ++k) {
        const std::string title = "Film " + std::to_string(k) + " v";
        s.Distribute(TableName(k), title + "2");
        if (k % 2 == 0) s.Install(TableName(k), title + "1");
        if (k % 20 == 0) Scenario::WriteTable(s.BackedUp(TableName(k) + ", v1"), "Older " + title + "1", kEarlier);
    }
}

void PrepareRemoveAll(Scenario& s) {
    for (int k = 0; k < kTables; ++k) s.Install(TableName(k), "Film " + std::to_string(k) + " v1");
}

int TemporaryLeftovers(const Scenario& s) {
    int count = 0;
    for (const auto& item : fs::directory_iterator(s.InstalledFolder())) {
        const std::string name = item.path().filename().string();
        if (item.is_regular_file() && !LooksLikeTable(name)) ++count;
    }
    return count;
}

int InstalledCount(const Scenario& s) {
    int count = 0;
    for (int k = 0; k < kTables; ++k) count += fs::exists(s.Installed(TableName(k))) ? 1 : 0;
    return count;
}

// How long the whole operation takes in a child, so kills can be spread
// over all of it: the shortest of three runs, so that one run slowed by a
// busy machine cannot spread every kill past the end of the operation.
template <typename Prepare, typename Operation>
std::chrono::microseconds FullRunTime(Prepare prepare, Operation operation) {
    double shortest = 0;
    for (int run = 0; run < 3; ++run) {
        Scenario s;
        prepare(s);
        const ChildOutcome outcome = RunInChild([&] { return operation(s); });
        EXPECT_TRUE(outcome.exited);
        if (run == 0 || outcome.seconds < shortest) shortest = outcome.seconds;
    }
    return std::chrono::microseconds(static_cast<long long>(shortest * 1e6));
}

TEST(KilledOperations, AddAllKilledAtRandomPointsLosesNoTable) {
    auto addAll = [](Scenario& s) {
        const auto entries = s.NewEntries();
        return Summary(InstallTables(s.folders, entries, AllRows(entries.size())));
    };
    const auto full = FullRunTime(PrepareAddAll, addAll);
    std::mt19937 random(kSeed);
    std::uniform_int_distribution<long long> delay(0, full.count() * 6 / 5);

    int cutShort = 0;
    int leftovers = 0;
    for (int run = 0; run < kRuns; ++run) {
        Scenario s;
        PrepareAddAll(s);
        const auto entries = s.NewEntries();
        ASSERT_EQ(entries.size(), static_cast<std::size_t>(kTables));
        SafetyRules rules = s.Rules(entries);
        rules.allowTemporaryLeftovers = true;
        const Snapshot before = s.Take();

        ChildOptions options;
        options.killAfter = std::chrono::microseconds(delay(random));
        const ChildOutcome outcome = RunInChild(
            [&] { return Summary(InstallTables(s.folders, entries, AllRows(entries.size()))); }, options);
        SCOPED_TRACE("run " + std::to_string(run) + ", killed after " +
                     std::to_string(options.killAfter->count()) + " us");
        if (!outcome.exited) ++cutShort;
        EXPECT_TRUE(RulesKept(s, before, rules));
        EXPECT_NO_THROW(s.InstalledEntries()) << "a half-written table is visible to the scan";
        leftovers += TemporaryLeftovers(s);

        // Add All again installs what is left and removes the killed
        // child's temporary copies. A kill during a copy leaves its table
        // to install, so there is always a next run when a copy is left.
        const auto rest = s.NewEntries();
        if (!rest.empty()) InstallTables(s.folders, rest, AllRows(rest.size()));
        EXPECT_TRUE(s.NewEntries().empty());
        for (int k = 0; k < kTables; ++k) {
            EXPECT_EQ(ReadBytes(s.Installed(TableName(k))), ReadBytes(s.Distributed(TableName(k))));
        }
        rules.allowTemporaryLeftovers = false;
        EXPECT_TRUE(RulesKept(s, before, rules));
        EXPECT_EQ(TemporaryLeftovers(s), 0);
    }
    EXPECT_GT(cutShort, 0) << "no kill landed inside the operation";
    RecordProperty("cut_short", cutShort);
    RecordProperty("temporary_leftovers", leftovers);
    std::printf("Add All: %d of %d runs cut short, %d temporary file(s) left behind and removed by the next run\n",
                cutShort, kRuns, leftovers);
}

TEST(KilledOperations, RemoveAllKilledAtRandomPointsLosesNoTable) {
    auto removeAll = [](Scenario& s) {
        const auto installed = s.InstalledEntries();
        return Summary(RemoveTables(s.folders, installed, AllRows(installed.size())));
    };
    const auto full = FullRunTime(PrepareRemoveAll, removeAll);
    std::mt19937 random(kSeed + 1);
    std::uniform_int_distribution<long long> delay(0, full.count() * 6 / 5);

    int cutShort = 0;
    for (int run = 0; run < kRuns; ++run) {
        Scenario s;
        PrepareRemoveAll(s);
        const auto installed = s.InstalledEntries();
        ASSERT_EQ(installed.size(), static_cast<std::size_t>(kTables));
        SafetyRules rules = s.Rules({});
        rules.allowTemporaryLeftovers = true;
        const Snapshot before = s.Take();

        ChildOptions options;
        options.killAfter = std::chrono::microseconds(delay(random));
        const ChildOutcome outcome = RunInChild(
            [&] { return Summary(RemoveTables(s.folders, installed, AllRows(installed.size()))); }, options);
        SCOPED_TRACE("run " + std::to_string(run) + ", killed after " +
                     std::to_string(options.killAfter->count()) + " us");
        const int left = InstalledCount(s);
        if (!outcome.exited || (left > 0 && left < kTables)) ++cutShort;
        EXPECT_TRUE(RulesKept(s, before, rules));

        const auto rest = s.InstalledEntries();
        if (!rest.empty()) RemoveTables(s.folders, rest, AllRows(rest.size()));
        EXPECT_EQ(InstalledCount(s), 0);
        rules.allowTemporaryLeftovers = false;
        EXPECT_TRUE(RulesKept(s, before, rules));
        EXPECT_EQ(TemporaryLeftovers(s), 0);
    }
    EXPECT_GT(cutShort, 0) << "no kill landed inside the operation";
}

}  // namespace
