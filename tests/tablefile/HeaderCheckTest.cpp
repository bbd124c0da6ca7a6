// The header check: the first failing rule decides, and only its message is
// shown.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "tablefile/TableValidation.h"
#include "tablefile/ZtbWriter.h"
#include "testkit/LoadCapture.h"

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
    {"IdOtherCase", [](ZtbWriter& w) { SetId(w, "corvantigraph Film Calibration Table", 37); }, "Illegal ZTB ID string"},
    {"IdShort", [](ZtbWriter& w) { SetId(w, "Corvantigraph Film Calibration", 31); }, "Illegal ZTB ID string"},
    {"IdBeforeEverythingElse", [](ZtbWriter& w) { SetId(w, "", 0); w.Header().HeaderVersion = 2; }, "Illegal ZTB ID string"},
    {"HeaderVersion2", [](ZtbWriter& w) { w.Header().HeaderVersion = 2; }, "Illegal ZTB HeaderVersion field"},
    {"HeaderVersionBeforeType", [](ZtbWriter& w) { w.Header().HeaderVersion = 0; w.Header().Type = 6; }, "Illegal ZTB HeaderVersion field"},
    {"DeviceType0", [](ZtbWriter& w) { w.Header().DeviceType = 0; w.Record(0).DeviceType = 0; }, ""},
    {"DeviceType1000", [](ZtbWriter& w) { w.Header().DeviceType = 1000; w.Record(0).DeviceType = 1000; }, ""},
    {"DeviceType1020", [](ZtbWriter& w) { w.Header().DeviceType = 1020; w.Record(0).DeviceType = 1020; }, ""},
    {"DeviceType999", [](ZtbWriter& w) { w.Header().DeviceType = 999; }, "Illegal ZTB DeviceType field"},
    {"DeviceType1021", [](ZtbWriter& w) { w.Header().DeviceType = 1021; }, "Illegal ZTB DeviceType field"},
    {"DeviceTypeNegative", [](ZtbWriter& w) { w.Header().DeviceType = -1; }, "Illegal ZTB DeviceType field"},
    {"TypeNegative", [](ZtbWriter& w) { w.Header().Type = -1; }, "Illegal ZTB Type field"},
    {"Type6", [](ZtbWriter& w) { w.Header().Type = 6; }, "Illegal ZTB Type field"},
    {"TypeBeforeSize", [](ZtbWriter& w) { w.Header().Type = 6; w.Header().Size = 7; }, "Illegal ZTB Type field"},
    {"Size7", [](ZtbWriter& w) { w.Header().Size = 7; }, "Illegal ZTB Size field"},
    {"SizeNegative", [](ZtbWriter& w) { w.Header().Size = -32768; }, "Illegal ZTB Size field"},
    {"TypeAndSizeAtTheirLimits", [](ZtbWriter& w) { w.Header().Type = 5; w.Header().Size = 6; }, ""},
    {"NumResolutions5", [](ZtbWriter& w) { w.SetNumResolutions(5); }, "Illegal ZTB number of resolutions"},
    {"NumResolutionsNegative", [](ZtbWriter& w) { w.SetNumResolutions(-1); }, "Illegal ZTB number of resolutions"},
};

INSTANTIATE_TEST_SUITE_P(Rules, HeaderCheckTest, testing::ValuesIn(kHeaderCases), CaseName());

TEST(HeaderMessageTest, ResultsOutsideTheTableGiveTheGeneralMessage) {
    EXPECT_STREQ(HeaderMessage(-7), "Illegal ZTB");
    EXPECT_STREQ(HeaderMessage(0), "Illegal ZTB");
    EXPECT_STREQ(HeaderMessage(2), "Illegal ZTB");
}

}  // namespace
