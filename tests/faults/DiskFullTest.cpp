// Install with the disk full during the copy: a child process whose file
// size limit stops the copy part-way (SIGXFSZ ignored, so the write fails
// as on a full disk). Tables that fit are installed; the others fail their
// rows, keep their previous installed copy and leave no temporary file.
#include <string>

#include <gtest/gtest.h>

#include "tests/faults/FaultScenario.h"

namespace {

using namespace faults;

struct Limit {
    rlim_t bytes;
    const char* summary;  // rows from the highest down: Small two, Small one, Big two, Big one
};

class DiskFullDuringCopy : public ::testing::TestWithParam<Limit> {};

TEST_P(DiskFullDuringCopy, KeepsEveryTableAndLeavesNoTemporaryFile) {
    Scenario s;
    // A table with one record takes 1794 bytes; the big ones 20,000 more.
    s.Install("DBIG1.ztb", "Big one v1");
    s.Distribute("DBIG1.ztb", "Big one v2", 20000);
    s.Distribute("DBIG2.ztb", "Big two v1", 20000);
    s.Install("DSMALL1.ztb", "Small one v1");
    s.Distribute("DSMALL1.ztb", "Small one v2");
    s.Distribute("DSMALL2.ztb", "Small two v1");
    const auto entries = s.NewEntries();
    ASSERT_EQ(entries.size(), 4u);

    ChildOptions limited;
    limited.fileSizeLimit = GetParam().bytes;
    const Snapshot before = s.Take();
    const ChildOutcome outcome =
        RunInChild([&] { return Summary(InstallTables(s.folders, entries, AllRows(entries.size()))); }, limited);
    ASSERT_TRUE(outcome.exited) << "signal " << outcome.signal;
    EXPECT_EQ(outcome.output, GetParam().summary);
    EXPECT_EQ(ReadBytes(s.Installed("DBIG1.ztb")), TableBytes("Big one v1"));
    EXPECT_FALSE(std::filesystem::exists(s.Installed("DBIG2.ztb")));
    EXPECT_TRUE(RulesKept(s, before, s.Rules(entries)));
}

INSTANTIATE_TEST_SUITE_P(Limits, DiskFullDuringCopy,
                         ::testing::Values(Limit{1000, "0 nnnn"}, Limit{8192, "2 yynn"}));

}  // namespace
