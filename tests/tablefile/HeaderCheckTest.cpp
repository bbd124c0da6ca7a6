// The header check: the first failing rule decides, and only its message is
// shown.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "LoadCapture.h"
#include "tablefile/TableValidation.h"
#include "tablefile/ZtbWriter.h"

namespace {

struct HeaderCase {
    const char* name;
    std::function<void(ZtbWriter&)> change;
    const char* message;  // empty: the table loads
};

class HeaderCheckTest : public testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderCheckTest, LoadsOrAbortsWithTheFirstFailingRule) {
    ZtbWriter writer("Header", 1002);
    writer.AddRecord(0);
    GetParam().change(writer);
    const LoadOutcome outcome = LoadBytes(writer.Build());
    EXPECT_EQ(outcome.message, GetParam().message);
    EXPECT_EQ(outcome.loaded, std::strlen(GetParam().message) == 0);
    EXPECT_EQ(outcome.err, "");
}

void SetId(ZtbWriter& writer, const char* text, std::size_t size) {
    writer.SetIdBytes({reinterpret_cast<const unsigned char*>(text), size});
}

const HeaderCase kHeaderCases[] = {
    {"AnyBytesAfterTheIdNul", [](ZtbWriter& w) { SetId(w, "Corvantigraph Film Calibration Table\0\xff\x01\x7f", 40); }, ""},
    {"IdWithoutNul", [](ZtbWriter& w) { SetId(w, "Corvantigraph Film Calibration Table ", 37); }, "Illegal ZTB ID string"},
    {"IdFillingTheField", [](ZtbWriter& w) { SetId(w, "Corvantigraph Film Calibration Table!!!!", 40); }, "Illegal ZTB ID string"},
    {"IdOtherCase", [](ZtbWriter& w) { SetId(w, "corvantigraph Film Calibration Table", 37); }, "Illegal ZTB ID string"},
    {"IdShort", [](ZtbWriter& w) { SetId(w, "Corvantigraph Film Calibration", 31); }, "Illegal ZTB ID string"},
    {"IdEmpty", [](ZtbWriter& w) { SetId(w, "", 0); }, "Illegal ZTB ID string"},
    {"IdBeforeEverythingElse", [](ZtbWriter& w) { SetId(w, "", 0); w.Header().HeaderVersion = 2; }, "Illegal ZTB ID string"},
    {"HeaderVersion2", [](ZtbWriter& w) { w.Header().HeaderVersion = 2; }, "Illegal ZTB HeaderVersion field"},
    {"HeaderVersionBeforeType", [](ZtbWriter& w) { w.Header().HeaderVersion = 0; w.Header().Type = 6; }, "Illegal ZTB HeaderVersion field"},
    {"DeviceType999", [](ZtbWriter& w) { w.Header().DeviceType = 999; }, "Illegal ZTB DeviceType field"},
    {"DeviceType1021", [](ZtbWriter& w) { w.Header().DeviceType = 1021; }, "Illegal ZTB DeviceType field"},
    {"DeviceType1", [](ZtbWriter& w) { w.Header().DeviceType = 1; }, "Illegal ZTB DeviceType field"},
    {"DeviceTypeNegative", [](ZtbWriter& w) { w.Header().DeviceType = -1; }, "Illegal ZTB DeviceType field"},
    {"TypeNegative", [](ZtbWriter& w) { w.Header().Type = -1; }, "Illegal ZTB Type field"},
    {"Type6", [](ZtbWriter& w) { w.Header().Type = 6; }, "Illegal ZTB Type field"},
    {"TypeBeforeSize", [](ZtbWriter& w) { w.Header().Type = 6; w.Header().Size = 7; }, "Illegal ZTB Type field"},
    {"Size7", [](ZtbWriter& w) { w.Header().Size = 7; }, "Illegal ZTB Size field"},
    {"SizeNegative", [](ZtbWriter& w) { w.Header().Size = -32768; }, "Illegal ZTB Size field"},
    {"TypeAndSizeAtTheirLimits", [](ZtbWriter& w) { w.Header().Type = 5; w.Header().Size = 6; }, ""},
    {"NumResolutions5", [](ZtbWriter& w) { w.SetNumResolutions(5); }, "Illegal ZTB number of resolutions"},
    {"NumResolutionsNegative", [](ZtbWriter& w) { w.SetNumResolutions(-1); }, "Illegal ZTB number of resolutions"},
    {"NumResolutionsHuge", [](ZtbWriter& w) { w.SetNumResolutions(32767); }, "Illegal ZTB number of resolutions"},
};

INSTANTIATE_TEST_SUITE_P(Rules, HeaderCheckTest, testing::ValuesIn(kHeaderCases), CaseName());

// A header's device type of 0, and those at the ends of the legal range, are
// accepted when the records agree.
TEST(HeaderDeviceTypeTest, ZeroAndTheEndsOfTheRangeAreAccepted) {
    for (std::int16_t deviceType : {0, 1000, 1020}) {
        ZtbWriter writer("Device", deviceType);
        writer.AddRecord(0);
        const LoadOutcome outcome = LoadBytes(writer.Build());
        EXPECT_TRUE(outcome.loaded) << deviceType << ": " << outcome.message;
    }
}

TEST(HeaderMessageTest, ResultsOutsideTheTableGiveTheGeneralMessage) {
    EXPECT_STREQ(HeaderMessage(-6), "Illegal ZTB number of resolutions");
    EXPECT_STREQ(HeaderMessage(-7), "Illegal ZTB");
    EXPECT_STREQ(HeaderMessage(0), "Illegal ZTB");
    EXPECT_STREQ(HeaderMessage(2), "Illegal ZTB");
}

TEST(CheckHeaderTest, ConvertsTheNumbersOnlyAfterTheIdPasses) {
    ZTBHeader written = MakeValidHeader("Check", 1003);
    written.NumResolutions = 3;
    std::vector<unsigned char> bytes = EncodeHeader(written);
    ZTBHeader header;
    std::memcpy(&header, bytes.data(), kHeaderSize);
    EXPECT_EQ(CheckHeader(header), 1);
    EXPECT_EQ(header.DeviceType, 1003);
    EXPECT_EQ(header.NumResolutions, 3);

    bytes[36] = 'x';
    std::memcpy(&header, bytes.data(), kHeaderSize);
    EXPECT_EQ(CheckHeader(header), -1);
    EXPECT_EQ(0, std::memcmp(&header, bytes.data(), kHeaderSize));  // nothing converted
}
}  // namespace
