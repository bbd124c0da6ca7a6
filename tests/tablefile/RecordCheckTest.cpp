// The record check: each rule, its order, and the warning line it gives.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "tablefile/TableValidation.h"
#include "tablefile/ZtbWriter.h"
#include "testkit/LoadCapture.h"

namespace {

struct RecordCase {
    const char* name;
    int r;           // the directory's resolution index
    std::int16_t deviceType;
    std::function<void(ZTBResolutionT&)> change;
    int result;
    const char* field;  // in the warning line; empty for result 1
};

// Exposure values for a black-and-white record using channel c only.
void OnlyChannel(ZTBResolutionT& record, int c) {
    for (int k = 0; k < 3; ++k) {
        record.Compatible.Balance[k] = k == c ? 100 : 0;
        record.Intensity[k] = k == c ? 2983 : 0;
        record.Repetition[k] = k == c ? 1 : 0;
    }
    record.Compatible.BlackAndWhite = 1;
}

const RecordCase kRecordCases[] = {
    {"Valid", 0, 1002, [](ZTBResolutionT&) {}, 1, ""},
    {"LengthShort", 0, 1002, [](ZTBResolutionT& r) { r.Length = 1613; }, -1, "Length"},
    {"LengthLongerIsNoFaultHere", 0, 1002, [](ZTBResolutionT& r) { r.Length = 65535; }, 1, ""},
    {"ResVersion", 0, 1002, [](ZTBResolutionT& r) { r.ResVersion = 2; }, -2, "ResVersion"},
    {"ResVersionBeforeMirrorY", 0, 1002, [](ZTBResolutionT& r) { r.ResVersion = 2; r.MirrorY = 5; }, -2, "ResVersion"},
    {"DevXSizeNotForIndex", 1, 1002, [](ZTBResolutionT& r) { r.DevXSize = 2048; r.XMax = 100; }, -3, "DevX/YSize"},
    {"DevYSizeZero", 0, 1002, [](ZTBResolutionT& r) { r.DevYSize = 0; }, -3, "DevX/YSize"},
    {"DevYSizeAbove8192", 2, 1002, [](ZTBResolutionT& r) { r.DevYSize = 8193; }, -3, "DevX/YSize"},
    {"DevYSize8192", 2, 1002, [](ZTBResolutionT& r) { r.DevYSize = 8192; }, 1, ""},
    {"Index3Always", 3, 1002, [](ZTBResolutionT&) {}, -3, "DevX/YSize"},
    {"Index3With16384Pattern", 3, 1002, [](ZTBResolutionT& r) { r.DevXSize = -16384; }, -3, "DevX/YSize"},
    {"XMinNegative", 0, 1002, [](ZTBResolutionT& r) { r.XMin = -1; }, -4, "XMin/YMin/XMax/YMax"},
    {"YMinNegative", 0, 1002, [](ZTBResolutionT& r) { r.YMin = -1; }, -4, "XMin/YMin/XMax/YMax"},
    {"XMaxAtDevXSize", 0, 1002, [](ZTBResolutionT& r) { r.XMax = r.DevXSize; }, -4, "XMin/YMin/XMax/YMax"},
    {"YMaxAtDevYSize", 0, 1002, [](ZTBResolutionT& r) { r.YMax = r.DevYSize; }, -4, "XMin/YMin/XMax/YMax"},
    {"FilmGammaHigh", 0, 1002, [](ZTBResolutionT& r) { r.FilmGamma = 2561; }, -5, "FilmGamma"},
    {"FilmGammaLow", 0, 1002, [](ZTBResolutionT& r) { r.FilmGamma = -2561; }, -5, "FilmGamma"},
    {"FilmGammaLimits", 0, 1002, [](ZTBResolutionT& r) { r.FilmGamma = -2560; r.StdGamma = 5120; }, 1, ""},
    {"StdGammaHigh", 0, 1002, [](ZTBResolutionT& r) { r.StdGamma = 5121; }, -6, "StdGamma"},
    {"StdGammaLow", 0, 1002, [](ZTBResolutionT& r) { r.StdGamma = -2561; }, -6, "StdGamma"},
    {"DeviceType999", 0, 1002, [](ZTBResolutionT& r) { r.DeviceType = 999; }, -7, "DeviceType"},
    {"DeviceType1021", 0, 1002, [](ZTBResolutionT& r) { r.DeviceType = 1021; }, -7, "DeviceType"},
    {"ResolutionNotTheIndex", 1, 1002, [](ZTBResolutionT& r) { r.Resolution = 0; }, -8, "Resolution"},
    {"MirrorY2", 0, 1002, [](ZTBResolutionT& r) { r.MirrorY = 2; }, -9, "MirrorY"},
    {"MirrorY1", 0, 1002, [](ZTBResolutionT& r) { r.MirrorY = 1; }, 1, ""},
    {"BaseFilmAboveCount", 0, 1002, [](ZTBResolutionT& r) { r.Compatible.BaseFilmType = 10; }, -10, "Compatible.BaseFilmType"},
    {"BaseFilm10For1006", 0, 1006, [](ZTBResolutionT& r) { r.Compatible.BaseFilmType = 10; }, 1, ""},
    {"BaseFilm2For1010", 0, 1010, [](ZTBResolutionT& r) { r.Compatible.BaseFilmType = 2; }, -10, "Compatible.BaseFilmType"},
    {"BaseFilmNegative", 0, 1002, [](ZTBResolutionT& r) { r.Compatible.BaseFilmType = -1; }, -10, "Compatible.BaseFilmType"},
    {"BaseFilmBeforeBalance", 0, 1002, [](ZTBResolutionT& r) { r.Compatible.BaseFilmType = 10; r.Compatible.Balance[0] = 1; }, -10, "Compatible.BaseFilmType"},
    {"Balance24", 0, 1002, [](ZTBResolutionT& r) { r.Compatible.Balance[1] = 24; }, -12, "Compatible.Balance"},
    {"Balance401", 0, 1002, [](ZTBResolutionT& r) { r.Compatible.Balance[2] = 401; }, -12, "Compatible.Balance"},
    {"BalanceLimits", 0, 1002, [](ZTBResolutionT& r) { r.Compatible.Balance[0] = 25; r.Compatible.Balance[2] = 400; }, 1, ""},
    {"ColourWithZeroBalance", 0, 1002, [](ZTBResolutionT& r) { r.Compatible.Balance[1] = 0; }, -12, "Compatible.Balance"},
    {"BlackAndWhite3", 0, 1002, [](ZTBResolutionT& r) { r.Compatible.BlackAndWhite = 3; }, -11, "Compatible.BlackAndWhite"},
    {"BalanceRangeBeforeBlackAndWhite", 0, 1002, [](ZTBResolutionT& r) { r.Compatible.BlackAndWhite = 3; r.Compatible.Balance[2] = 500; }, -12, "Compatible.Balance"},
    {"BlackAndWhiteOneChannel", 0, 1002, [](ZTBResolutionT& r) { OnlyChannel(r, 1); }, 1, ""},
    {"BlackAndWhite2OneChannel", 0, 1002, [](ZTBResolutionT& r) { OnlyChannel(r, 2); r.Compatible.BlackAndWhite = 2; }, 1, ""},
    {"BlackAndWhiteTwoBalances", 0, 1002, [](ZTBResolutionT& r) { OnlyChannel(r, 1); r.Compatible.Balance[0] = 50; }, -12, "Compatible.Balance"},
    {"NoBaseFilmWithBalance", 0, 1002, [](ZTBResolutionT& r) { r.Compatible.BaseFilmType = 0; }, -12, "Compatible.Balance"},
    {"NoBaseFilmNoBalances", 0, 1002, [](ZTBResolutionT& r) { r.Compatible.BaseFilmType = 0; for (auto& b : r.Compatible.Balance) b = 0; }, 1, ""},
    {"NoBaseFilmBlackAndWhiteSeenByExposure", 0, 1002, [](ZTBResolutionT& r) { r.Compatible.BaseFilmType = 0; for (auto& b : r.Compatible.Balance) b = 0; r.Compatible.BlackAndWhite = 7; }, -11, "Compatible.BlackAndWhite"},
    {"EmptyExposure", 0, 1002, [](ZTBResolutionT& r) { ClearExposureValues(r); }, 1, ""},
    {"IntensityWithoutRepetitions", 0, 1002, [](ZTBResolutionT& r) { ClearExposureValues(r); r.Intensity[2] = 1; }, -13, "Intensity"},
    {"BackTypeWithoutExposure", 0, 1002, [](ZTBResolutionT& r) { ClearExposureValues(r); r.BackType = 3; }, -15, "BackType"},
    {"BackTypeWithExposure", 0, 1002, [](ZTBResolutionT& r) { r.BackType = 3; }, 1, ""},
    {"Repetition17", 0, 1002, [](ZTBResolutionT& r) { r.Repetition[1] = 17; }, -14, "Repetition"},
    {"RepetitionHugeUnsigned", 0, 1002, [](ZTBResolutionT& r) { r.Repetition[0] = 0x8000; }, -14, "Repetition"},
    {"Repetition16", 0, 1002, [](ZTBResolutionT& r) { r.Repetition[0] = 16; }, 1, ""},
    {"IntensityWithZeroRepetition", 0, 1002, [](ZTBResolutionT& r) { r.Repetition[0] = 0; }, -13, "Intensity"},
    {"RepetitionWithZeroIntensity", 0, 1002, [](ZTBResolutionT& r) { r.Intensity[1] = 0; }, -13, "Intensity"},
    {"ChannelOrderDecides", 0, 1002, [](ZTBResolutionT& r) { r.Intensity[0] = 0; r.Repetition[1] = 17; }, -13, "Intensity"},
    {"ColourWithUnexposedChannel", 0, 1002, [](ZTBResolutionT& r) { r.Intensity[2] = 0; r.Repetition[2] = 0; }, -13, "Intensity"},
    {"BlackAndWhiteTwoExposed", 0, 1002, [](ZTBResolutionT& r) { OnlyChannel(r, 1); r.Intensity[0] = 5; r.Repetition[0] = 1; }, -13, "Intensity"},
};

class RecordCheckTest : public testing::TestWithParam<RecordCase> {};

TEST_P(RecordCheckTest, GivesTheFirstFailingRuleAndWarnsWithOneLineNamingItsField) {
    const RecordCase& test = GetParam();
    ZTBResolutionT record = MakeValidRecord(test.r, test.deviceType);
    test.change(record);
    EXPECT_EQ(CheckResolution(record, test.r), test.result);
    const ZTBResolutionT before = record;
    const LoadOutcome outcome = RunCapturing([&] { WarnResolution(record, test.r); });
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, test.result == 1 ? std::string() : WarningLine(test.field));
    EXPECT_EQ(0, std::memcmp(&record, &before, sizeof record));
}

INSTANTIATE_TEST_SUITE_P(Rules, RecordCheckTest, testing::ValuesIn(kRecordCases), CaseName());

}  // namespace
