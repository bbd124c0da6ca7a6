// The table loader on every table case (testkit/TableCases.h), from memory
// and from a file; then every number of the base film light table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>

#include "tablefile/BaseFilmLightTable.h"
#include "tablefile/ErrorAbort.h"
#include "testkit/TableCases.h"
#include "testkit/Tables.h"

namespace {

// The abort message (empty when none came), the warning lines and the trace.
struct Outcome {
    std::string message{}, warnings{}, trace{};
    bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& outcome, std::ostream* os) {
    *os << '"' << outcome.message << "\" \"" << outcome.warnings << "\" \"" << outcome.trace << '"';
}

Outcome OutcomeOf(const std::function<void(const LoadReport&)>& action) {
    Outcome outcome;
    const LoadReport report{.warning = [&](std::string_view text) { outcome.warnings += text; },
        .trace = [&](std::string_view text) { outcome.trace += text; }};
    try {
        action(report);
    } catch (const ErrorAbort& abort) {
        outcome.message = abort.what();
    }
    return outcome;
}

// Whether this process holds the file open, where the system lists its open
// files; Windows shows a file left open by refusing to remove it.
bool HeldOpen(const std::string& path) {
    std::error_code error;
    return std::ranges::any_of(std::filesystem::directory_iterator("/proc/self/fd", error),
        [&](const auto& fd) { return std::filesystem::equivalent(fd.path(), path, error); });
}

class TableCaseTest : public testing::TestWithParam<TableCase> {};

TEST_P(TableCaseTest, LoadsAlikeFromMemoryAndFromAFileItCloses) {
    const TableCase& test = GetParam();
    const std::vector<unsigned char> bytes = test.Bytes();
    TempFolder folder;
    const std::string path = folder.Path("Case.ztb");
    ASSERT_TRUE(platform::WriteWholeFile(path, bytes));
    CalibrationTable tables[2];
    std::memset(tables, 0xCC, sizeof tables);  // a load sets every byte
    const Outcome outcomes[] = {OutcomeOf([&](auto& report) { LoadTableFromMemory(bytes, tables[0], report); }),
        OutcomeOf([&](auto& report) { LoadTableFile(path, tables[1], report); })};
    EXPECT_FALSE(HeldOpen(path));
    EXPECT_TRUE(platform::RemoveFile(path));
    for (const Outcome& outcome : outcomes) EXPECT_EQ(outcome, (Outcome{test.message, test.warnings, test.trace}));
    // A loaded table holds the header and the records as written, each in the
    // slot of its index, with the values derived for the first (unless values
    // were derived for several).
    if (*test.message != '\0' || (!test.trace.empty() && !test.exposure)) return;
    ZtbWriter writer = test.Writer();
    CalibrationTable expected{};
    expected.Header = writer.Header();
    expected.Header.NumResolutions = static_cast<std::int16_t>(writer.RecordCount());
    for (std::size_t k = 0; k < writer.RecordCount(); ++k) {
        expected.Resolution[writer.Record(k).Resolution] = writer.Record(k);
        expected.ResolutionPresent[writer.Record(k).Resolution] = 1;
    }
    if (test.exposure) {
        ZTBResolutionT& derived = expected.Resolution[writer.Record(0).Resolution];
        derived.BackType = test.exposure->backType;
        std::ranges::copy(test.exposure->intensity, derived.Intensity);
        std::ranges::copy(test.exposure->repetition, derived.Repetition);
    }
    for (const CalibrationTable& table : tables) EXPECT_EQ(0, std::memcmp(&table, &expected, sizeof expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, TableCaseTest, testing::ValuesIn(table_cases::kAll),
    [](const auto& testCase) { return std::string(testCase.param.name); });

// Every number of the base film light table, for every device type that has
// a group, pinned by one digest: a wrong digit anywhere changes it.
TEST(TableFile, BaseFilmLightTableDigest) {
    std::uint64_t digest = 14695981039346656037ULL;  // FNV-1a
    const auto mix = [&digest](std::int64_t value) { digest = (digest ^ std::uint64_t(value)) * 1099511628211ULL; };
    for (int device = 1000; device <= 1020; ++device) {
        mix(BaseFilmTypeCount(device));
        for (int film = 1; film <= BaseFilmTypeCount(device); ++film) {
            OutcomeOf([&](auto& report) {
                const BaseFilmEntry& entry = GetBaseFilmEntry(film, device, report);
                mix(entry.BackType);
                for (const auto& values : entry.Res) {
                    for (int c = 0; c < 3; ++c) mix(values.Level[c] * 65536LL + values.Reps[c]);
                }
            });
        }
    }
    EXPECT_EQ(digest, 2045149882895168486ULL);
}

}  // namespace
