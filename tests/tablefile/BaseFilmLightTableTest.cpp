// The base film light table's lookups, their trace lines and aborts, and the
// exposure values derived from them.
#include <gtest/gtest.h>

#include "tablefile/BaseFilmLightTable.h"
#include "tablefile/ZtbWriter.h"
#include "testkit/LoadCapture.h"

namespace {

TEST(BaseFilmTypeCountTest, CountsPerDeviceGroupAndNineOtherwise) {
    for (int deviceType : {1006, 1007}) EXPECT_EQ(BaseFilmTypeCount(deviceType), 10) << deviceType;
    for (int deviceType : {1010, 1013}) EXPECT_EQ(BaseFilmTypeCount(deviceType), 1) << deviceType;
    for (int deviceType : {1002, 1003, 1008, 0, 1014, -1, -5}) EXPECT_EQ(BaseFilmTypeCount(deviceType), 9) << deviceType;
}

// One value from each group, through each lookup; only the light level
// writes a trace line.
TEST(LookupTest, EachGroupServesItsDeviceTypes) {
    const LoadOutcome outcome = RunCapturing([] {
        EXPECT_EQ(GetLightLevel(1, 1, 1002, 2), 2541);
        EXPECT_EQ(GetLightLevel(1, 0, 1013, 0), 11805);
        EXPECT_EQ(GetLightLevel(6, 0, 1004, 1), 3299);
        EXPECT_EQ(GetLightLevel(6, 1, 1009, 2), 1692);
        EXPECT_EQ(GetLightReps(7, 0, 1006, 0), 15);
        EXPECT_EQ(GetLightReps(8, 2, 1012, 1), 2);
        EXPECT_EQ(GetLightReps(4, 0, 1003, 2), 1);  // a film without levels still has counts
        EXPECT_EQ(GetBackType(4, 1007), 4);
        EXPECT_EQ(GetBaseFilmEntry(3, 1005).BackType, 2);
    });
    EXPECT_TRUE(outcome.loaded) << outcome.message;
    EXPECT_EQ(outcome.out, " LightLvl 2541\n LightLvl 11805\n LightLvl 3299\n LightLvl 1692\n");
    EXPECT_EQ(outcome.err, "");
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

// An empty-exposure record (BackType 9 until filled) asking for base film
// values, and what the fill makes of it.
struct FillCase {
    const char* name;
    std::int16_t deviceType;
    int r;
    std::int16_t baseFilm;
    std::int16_t balance[3];
    std::int16_t backType;
    std::uint16_t intensity[3];
    std::uint16_t repetition[3];
    const char* out;
};

class FillExposureDefaultsTest : public testing::TestWithParam<FillCase> {};

TEST_P(FillExposureDefaultsTest, SetsBackTypeAndEveryChannelFromTheTable) {
    const FillCase& test = GetParam();
    ZTBResolutionT record = MakeValidRecord(test.r, test.deviceType);
    ClearExposureValues(record);
    record.BackType = 9;
    record.Compatible.BaseFilmType = test.baseFilm;
    for (int c = 0; c < 3; ++c) record.Compatible.Balance[c] = test.balance[c];
    const LoadOutcome outcome = RunCapturing([&] { FillExposureDefaults(record); });
    ASSERT_TRUE(outcome.loaded) << outcome.message;
    EXPECT_EQ(outcome.out, test.out);
    EXPECT_EQ(record.BackType, test.backType);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(record.Intensity[c], test.intensity[c]) << c;
        EXPECT_EQ(record.Repetition[c], test.repetition[c]) << c;
    }
}

const FillCase kFillCases[] = {
    // Percentages of the levels, rounded half up: 25 % of 2541 is 635.25.
    {"Percentages", 1002, 1, 1, {85, 100, 25}, 0, {2867, 2983, 635}, {1, 1, 1},
     " LightLvl 3373\n LightLvl 2983\n LightLvl 2541\n"},
    // 25 % of 902 is 225.5.
    {"HalfRoundsUp", 1002, 2, 1, {25, 25, 25}, 0, {226, 200, 170}, {1, 1, 1},
     " LightLvl 902\n LightLvl 798\n LightLvl 680\n"},
    // 400 % of 14076 is 56304, kept as its low 16 bits.
    {"Low16Bits", 1002, 0, 2, {400, 100, 100}, 0, {0xDBF0, 11382, 11653}, {4, 4, 2},
     " LightLvl 14076\n LightLvl 11382\n LightLvl 11653\n"},
    // (-337300 + 50) / 100 truncates toward zero.
    {"NegativeBalance", 1002, 1, 1, {-100, 100, 100}, 0, {static_cast<std::uint16_t>(-3372), 2983, 2541}, {1, 1, 1},
     " LightLvl 3373\n LightLvl 2983\n LightLvl 2541\n"},
    {"ZeroBalancesLeaveTheirChannelsEmpty", 1002, 0, 3, {0, 100, 0}, 2, {0, 8378, 0}, {0, 1, 0}, " LightLvl 8378\n"},
    {"FilmWithoutValuesNoChannel", 1006, 0, 10, {0, 0, 0}, 0, {0, 0, 0}, {0, 0, 0}, ""},
};

INSTANTIATE_TEST_SUITE_P(Fills, FillExposureDefaultsTest, testing::ValuesIn(kFillCases), CaseName());

}  // namespace
