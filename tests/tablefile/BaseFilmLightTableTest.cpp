// The base film light table's lookups, their trace lines and aborts, and the
// exposure values derived from them.
#include <gtest/gtest.h>

#include "LoadCapture.h"
#include "tablefile/BaseFilmLightTable.h"
#include "tablefile/ZtbWriter.h"

namespace {

// An empty-exposure record asking for base film values.
ZTBResolutionT FillableRecord(int r, std::int16_t deviceType, std::int16_t baseFilm,
                              std::int16_t b0, std::int16_t b1, std::int16_t b2) {
    ZTBResolutionT record = MakeValidRecord(r, deviceType);
    ClearExposureValues(record);
    record.Compatible.BaseFilmType = baseFilm;
    record.Compatible.Balance[0] = b0;
    record.Compatible.Balance[1] = b1;
    record.Compatible.Balance[2] = b2;
    return record;
}

LoadOutcome Fill(ZTBResolutionT& record) {
    return RunCapturing([&] { FillExposureDefaults(record); });
}

TEST(BaseFilmTypeCountTest, CountsPerDeviceGroupAndNineOtherwise) {
    EXPECT_EQ(BaseFilmTypeCount(1006), 10);
    EXPECT_EQ(BaseFilmTypeCount(1007), 10);
    EXPECT_EQ(BaseFilmTypeCount(1010), 1);
    EXPECT_EQ(BaseFilmTypeCount(1013), 1);
    for (int deviceType : {1002, 1003, 1004, 1005, 1008, 1009, 1011, 1012, 0, 1000, 1001, 1014, 1020, -5}) {
        EXPECT_EQ(BaseFilmTypeCount(deviceType), 9) << deviceType;
    }
}

TEST(LightLevelTest, ReturnsTheLevelAndWritesOneTraceLine) {
    int levels[3] = {};
    const LoadOutcome outcome = RunCapturing([&] {
        for (int col = 0; col < 3; ++col) levels[col] = GetLightLevel(1, 1, 1002, col);
    });
    EXPECT_EQ(levels[0], 3373);
    EXPECT_EQ(levels[1], 2983);
    EXPECT_EQ(levels[2], 2541);
    EXPECT_EQ(outcome.out, " LightLvl 3373\n LightLvl 2983\n LightLvl 2541\n");
    EXPECT_EQ(outcome.err, "");
}

TEST(LightLevelTest, GroupsServeTheirDeviceTypes) {
    const LoadOutcome outcome = RunCapturing([] {
        EXPECT_EQ(GetLightLevel(7, 2, 1007, 1), 5681);
        EXPECT_EQ(GetLightLevel(1, 0, 1013, 0), 11805);
        EXPECT_EQ(GetLightLevel(2, 1, 1012, 2), 7207);
        EXPECT_EQ(GetLightLevel(6, 0, 1004, 1), 3299);
        EXPECT_EQ(GetLightLevel(6, 1, 1009, 2), 1692);
    });
    EXPECT_TRUE(outcome.loaded);
}

TEST(LightRepsTest, ReturnsTheCountWithoutTrace) {
    const LoadOutcome outcome = RunCapturing([] {
        EXPECT_EQ(GetLightReps(7, 0, 1006, 0), 15);
        EXPECT_EQ(GetLightReps(8, 2, 1002, 1), 2);
        EXPECT_EQ(GetLightReps(4, 0, 1003, 2), 1);  // a film without levels still has counts
    });
    EXPECT_TRUE(outcome.loaded);
    EXPECT_EQ(outcome.out, "");
}

TEST(BackTypeTest, ComesFromTheEntry) {
    EXPECT_EQ(GetBackType(3, 1002), 2);
    EXPECT_EQ(GetBackType(4, 1006), 4);
    EXPECT_EQ(GetBackType(1, 1010), 0);
    EXPECT_EQ(GetBaseFilmEntry(3, 1005).BackType, 2);
}

struct LookupAbort {
    const char* name;
    std::function<void()> lookup;
    const char* out;
    const char* message;
};

class LookupAbortTest : public testing::TestWithParam<LookupAbort> {};

TEST_P(LookupAbortTest, WritesItsTraceAndAborts) {
    const LoadOutcome outcome = RunCapturing(GetParam().lookup);
    EXPECT_FALSE(outcome.loaded);
    EXPECT_EQ(outcome.message, GetParam().message);
    EXPECT_EQ(outcome.out, GetParam().out);
    EXPECT_EQ(outcome.err, "");
}

const LookupAbort kLookupAborts[] = {
    {"BaseFilmZero", [] { GetBackType(0, 1002); }, "0", "illegal BaseFilmType"},
    {"BaseFilmAboveCount", [] { GetLightLevel(2, 0, 1010, 0); }, "2", "illegal BaseFilmType"},
    {"BaseFilmNegative", [] { GetLightReps(-3, 0, 1002, 0); }, "-3", "illegal BaseFilmType"},
    {"Device1000BaseFilm10", [] { GetBaseFilmEntry(10, 1000); }, "10", "illegal BaseFilmType"},
    {"NoGroupRangeCheckFirst", [] { GetLightLevel(10, 0, 1021, 0); }, "10", "illegal BaseFilmType"},
    {"NoGroupForDevice0", [] { GetBackType(1, 0); }, "", "Unsupported DeviceType (0), Contact Corvantigraph"},
    {"NoGroupForDevice1014", [] { GetLightLevel(9, 0, 1014, 0); }, "", "Unsupported DeviceType (1014), Contact Corvantigraph"},
    {"Resolution3", [] { GetLightLevel(1, 3, 1002, 0); }, "", "illegal Resolution"},
    {"ResolutionNegative", [] { GetLightReps(1, -1, 1002, 0); }, "", "illegal Resolution"},
    {"ResolutionBeforeCol", [] { GetLightLevel(1, 3, 1002, 3); }, "", "illegal Resolution"},
    {"Col3", [] { GetLightLevel(1, 0, 1002, 3); }, "", "illegal Col to GetLightLDC"},
    {"ColNegativeForReps", [] { GetLightReps(1, 0, 1002, -1); }, "", "illegal Col to GetLightLDC"},
    {"LevelZero", [] { GetLightLevel(2, 2, 1003, 1); }, "", "unsupported base film/resolution in GetLightLevel"},
    {"RepsZero", [] { GetLightReps(10, 0, 1006, 0); }, "", "unsupported base film/resolution in GetLightReps"},
};

INSTANTIATE_TEST_SUITE_P(Aborts, LookupAbortTest, testing::ValuesIn(kLookupAborts), CaseName());

TEST(HasExposureValuesTest, AnyOfTheSixValues) {
    ZTBResolutionT record = MakeValidRecord(0);
    ClearExposureValues(record);
    record.BackType = 4;
    EXPECT_FALSE(HasExposureValues(record));
    for (int c = 0; c < 3; ++c) {
        ZTBResolutionT intensity = record;
        intensity.Intensity[c] = 1;
        EXPECT_TRUE(HasExposureValues(intensity));
        ZTBResolutionT repetition = record;
        repetition.Repetition[c] = 1;
        EXPECT_TRUE(HasExposureValues(repetition));
    }
}

TEST(FillExposureDefaultsTest, PercentagesOfTheLevelsRoundedHalfUp) {
    ZTBResolutionT record = FillableRecord(1, 1002, 1, 85, 100, 25);
    record.BackType = 3;
    const LoadOutcome outcome = Fill(record);
    ASSERT_TRUE(outcome.loaded) << outcome.message;
    EXPECT_EQ(record.BackType, 0);
    EXPECT_EQ(record.Intensity[0], 2867);
    EXPECT_EQ(record.Intensity[1], 2983);
    EXPECT_EQ(record.Intensity[2], 635);
    for (std::uint16_t repetition : record.Repetition) EXPECT_EQ(repetition, 1);
    EXPECT_EQ(outcome.out, " LightLvl 3373\n LightLvl 2983\n LightLvl 2541\n");
}

TEST(FillExposureDefaultsTest, HalfRoundsUp) {
    ZTBResolutionT record = FillableRecord(2, 1002, 1, 25, 25, 25);
    ASSERT_TRUE(Fill(record).loaded);
    EXPECT_EQ(record.Intensity[0], 226);  // 25 % of 902 is 225.5
}

TEST(FillExposureDefaultsTest, KeepsTheLow16BitsOfLargeIntensities) {
    ZTBResolutionT record = FillableRecord(0, 1002, 2, 400, 100, 100);
    ASSERT_TRUE(Fill(record).loaded);
    EXPECT_EQ(record.Intensity[0], 0xDBF0);  // 400 % of 14076 is 56304
    EXPECT_EQ(record.Repetition[0], 4);
    EXPECT_EQ(record.Repetition[2], 2);
}

TEST(FillExposureDefaultsTest, NegativeBalanceTruncatesTowardZero) {
    ZTBResolutionT record = FillableRecord(1, 1002, 1, -100, 100, 100);
    ASSERT_TRUE(Fill(record).loaded);
    EXPECT_EQ(record.Intensity[0], static_cast<std::uint16_t>(-3372));  // (-337300 + 50) / 100
}

TEST(FillExposureDefaultsTest, BlackAndWhiteFillsOnlyItsChannel) {
    ZTBResolutionT record = FillableRecord(0, 1002, 3, 0, 100, 0);
    record.Compatible.BlackAndWhite = 1;
    const LoadOutcome outcome = Fill(record);
    ASSERT_TRUE(outcome.loaded);
    EXPECT_EQ(outcome.out, " LightLvl 8378\n");
    EXPECT_EQ(record.BackType, 2);
    EXPECT_EQ(record.Intensity[0], 0);
    EXPECT_EQ(record.Repetition[0], 0);
    EXPECT_EQ(record.Intensity[1], 8378);
    EXPECT_EQ(record.Repetition[1], 1);
    EXPECT_EQ(record.Intensity[2], 0);
    EXPECT_EQ(record.Repetition[2], 0);
}

TEST(FillExposureDefaultsTest, FilmWithoutValuesCompletesWhenNoChannelIsUsed) {
    ZTBResolutionT record = FillableRecord(0, 1006, 10, 0, 0, 0);
    record.BackType = 9;
    const LoadOutcome outcome = Fill(record);
    ASSERT_TRUE(outcome.loaded) << outcome.message;
    EXPECT_EQ(record.BackType, 0);
    EXPECT_FALSE(HasExposureValues(record));

    ZTBResolutionT used = FillableRecord(0, 1006, 10, 100, 0, 0);
    EXPECT_EQ(Fill(used).message, "unsupported base film/resolution in GetLightLevel");
}

TEST(FillExposureDefaultsTest, UsesTheRecordsOwnResolution) {
    ZTBResolutionT record = FillableRecord(1, 1002, 1, 100, 100, 100);
    record.Resolution = 0;
    const LoadOutcome outcome = Fill(record);
    ASSERT_TRUE(outcome.loaded);
    EXPECT_EQ(record.Intensity[0], 11805);
    EXPECT_EQ(outcome.out, " LightLvl 11805\n LightLvl 10440\n LightLvl 8893\n");
}

}  // namespace
