// Loading from memory: where records may lie, the faults of the directory and
// the records, and the default fill after reading.
#include <gtest/gtest.h>

#include <cstring>

#include "LoadCapture.h"
#include "tablefile/ZtbWriter.h"

namespace {

// A table whose every byte is garbage, to show that loading sets them all.
CalibrationTable DirtyTable() {
    CalibrationTable table;
    std::memset(&table, 0xCC, sizeof table);
    return table;
}

bool SlotIsZero(const CalibrationTable& table, int index) {
    const ZTBResolutionT zero{};
    return std::memcmp(&table.Resolution[index], &zero, sizeof zero) == 0;
}

ZtbWriter ThreeRecords() {
    ZtbWriter writer("Three", 1005);
    writer.AddRecord(0);
    writer.AddRecord(1).FilmGamma = -300;
    writer.AddRecord(2).MirrorY = 1;
    return writer;
}

TEST(LoaderLayoutTest, PackedTableLoadsEveryRecordIntoItsSlot) {
    const ZtbWriter writer = ThreeRecords();
    CalibrationTable table = DirtyTable();
    const LoadOutcome outcome = LoadBytes(writer.Build(), table);
    ASSERT_TRUE(outcome.loaded) << outcome.message;
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(table.Header.DeviceType, 1005);
    EXPECT_EQ(table.Header.NumResolutions, 3);
    EXPECT_EQ(TitleText(table.Header), "Three");
    const std::int32_t present[] = {1, 1, 1, 0};
    EXPECT_EQ(0, std::memcmp(table.ResolutionPresent, present, sizeof present));
    ZtbWriter copy = writer;
    for (int index = 0; index < 3; ++index) {
        EXPECT_EQ(0, std::memcmp(&table.Resolution[index], &copy.Record(static_cast<std::size_t>(index)),
                                 kResolutionSize))
            << index;
    }
    EXPECT_TRUE(SlotIsZero(table, 3));
}

TEST(LoaderLayoutTest, ReverseOrderGapsAndTrailingBytesLoadTheSame) {
    CalibrationTable packed{};
    ASSERT_TRUE(LoadBytes(ThreeRecords().Build(), packed).loaded);

    ZtbWriter writer = ThreeRecords();
    writer.SetLayout(ZtbWriter::Layout::Reverse);
    writer.SetGap(77, 0xEE);
    writer.SetTrailingBytes(1000, 0xFF);
    ASSERT_GT(writer.RecordOffset(0), writer.RecordOffset(2));
    CalibrationTable spread = DirtyTable();
    const LoadOutcome outcome = LoadBytes(writer.Build(), spread);
    ASSERT_TRUE(outcome.loaded) << outcome.message;
    EXPECT_EQ(0, std::memcmp(&packed, &spread, sizeof packed));
}

TEST(LoaderLayoutTest, SlotsFollowTheResolutionIndexNotTheEntryOrder) {
    ZtbWriter writer("Order", 1002);
    writer.AddRecord(2).FilmGamma = 222;
    writer.AddRecord(0).FilmGamma = 0;
    writer.PlaceAt(0, 5000);
    writer.PlaceAt(1, 9000);
    CalibrationTable table = DirtyTable();
    ASSERT_TRUE(LoadBytes(writer.Build(), table).loaded);
    const std::int32_t present[] = {1, 0, 1, 0};
    EXPECT_EQ(0, std::memcmp(table.ResolutionPresent, present, sizeof present));
    EXPECT_EQ(table.Resolution[0].FilmGamma, 0);
    EXPECT_EQ(table.Resolution[2].FilmGamma, 222);
    EXPECT_EQ(table.Resolution[2].DevXSize, 8192);
    EXPECT_TRUE(SlotIsZero(table, 1));
    EXPECT_TRUE(SlotIsZero(table, 3));
}

TEST(LoaderLayoutTest, NoResolutionsGiveFourZeroSlots) {
    ZtbWriter writer("Empty", 1002);
    const std::vector<unsigned char> bytes = writer.Build();
    EXPECT_EQ(bytes.size(), kHeaderSize);
    CalibrationTable table = DirtyTable();
    ASSERT_TRUE(LoadBytes(bytes, table).loaded);
    for (int index = 0; index < kResolutionSlots; ++index) {
        EXPECT_EQ(table.ResolutionPresent[index], 0);
        EXPECT_TRUE(SlotIsZero(table, index));
    }
}

TEST(LoaderLayoutTest, UninterpretedBytesHaveNoEffectAndStayAsRead) {
    ZtbWriter plain("Bytes", 1002);
    plain.AddRecord(1);
    CalibrationTable expected{};
    ASSERT_TRUE(LoadBytes(plain.Build(), expected).loaded);

    ZtbWriter noisy = plain;
    std::memset(noisy.Header().Reserved46, 0xAB, sizeof noisy.Header().Reserved46);
    std::memset(noisy.Header().Reserved130, 0xCD, sizeof noisy.Header().Reserved130);
    noisy.Header().Reserved42 = -7;
    for (int i = 0; i < 26; ++i) noisy.Record(0).Reserved1586[i] = static_cast<unsigned char>(0xF0 + i % 16);
    noisy.Record(0).Reserved1612 = 0x7EEF;
    CalibrationTable table{};
    const LoadOutcome outcome = LoadBytes(noisy.Build(), table);
    ASSERT_TRUE(outcome.loaded) << outcome.message;
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(table.Header.Reserved42, -7);
    EXPECT_EQ(table.Resolution[1].Reserved1586[25], 0xF9);
    EXPECT_EQ(table.Resolution[1].Reserved1612, 0x7EEF);
    EXPECT_EQ(table.Resolution[1].FilmGamma, expected.Resolution[1].FilmGamma);
    EXPECT_EQ(0, std::memcmp(table.Resolution[1].ChannelTable, expected.Resolution[1].ChannelTable,
                             sizeof table.Resolution[1].ChannelTable));
}

TEST(LoaderLayoutTest, DeviceTypeBytes03F2ReadAs1010) {
    ZtbWriter writer("Bytes", 1010);
    writer.AddRecord(0);
    const std::vector<unsigned char> bytes = writer.Build();
    ASSERT_EQ(bytes[44], 0x03);
    ASSERT_EQ(bytes[45], 0xF2);
    CalibrationTable table{};
    ASSERT_TRUE(LoadBytes(bytes, table).loaded);
    EXPECT_EQ(table.Header.DeviceType, 1010);
    EXPECT_EQ(table.Resolution[0].DeviceType, 1010);
}

TEST(LoaderLayoutTest, RecordForIndex3IsWarnedAboutAndLoaded) {
    ZtbWriter writer("Three", 1002);
    writer.AddRecord(3);
    CalibrationTable table{};
    const LoadOutcome outcome = LoadBytes(writer.Build(), table);
    ASSERT_TRUE(outcome.loaded) << outcome.message;
    EXPECT_EQ(outcome.err, WarningLine("DevX/YSize"));
    EXPECT_EQ(table.ResolutionPresent[3], 1);
    EXPECT_EQ(table.Resolution[3].DevXSize, 8192);
}

TEST(LoaderLayoutTest, FieldFaultsWarnOnceEachAndTheRecordIsKept) {
    ZtbWriter writer("Faults", 1002);
    writer.AddRecord(0).FilmGamma = 3000;
    ZTBResolutionT& second = writer.AddRecord(1);
    second.ResVersion = 2;
    second.MirrorY = 5;
    writer.AddRecord(2).Repetition[0] = 17;
    CalibrationTable table{};
    const LoadOutcome outcome = LoadBytes(writer.Build(), table);
    ASSERT_TRUE(outcome.loaded) << outcome.message;
    EXPECT_EQ(outcome.err, WarningLine("FilmGamma") + WarningLine("ResVersion") + WarningLine("Repetition"));
    EXPECT_EQ(outcome.out, "");  // the repetition fault leaves the values as they are
    EXPECT_EQ(table.Resolution[0].FilmGamma, 3000);
    EXPECT_EQ(table.Resolution[1].MirrorY, 5);
    EXPECT_EQ(table.Resolution[2].Repetition[0], 17);
    EXPECT_EQ(table.Resolution[2].Intensity[0], 3373);
}

// Truncated files, and directories that lie about the records.
struct ReadFault {
    const char* name;
    std::function<std::vector<unsigned char>()> bytes;
    const char* message;
};

class ReadFaultTest : public testing::TestWithParam<ReadFault> {};

TEST_P(ReadFaultTest, AbortsWithAClearMessage) {
    const LoadOutcome outcome = LoadBytes(GetParam().bytes());
    EXPECT_FALSE(outcome.loaded);
    EXPECT_EQ(outcome.message, GetParam().message);
}

std::vector<unsigned char> Cut(std::vector<unsigned char> bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

std::vector<unsigned char> OneRecordWith(const std::function<void(ZtbWriter&)>& change) {
    ZtbWriter writer("Faulty", 1002);
    writer.AddRecord(1);
    change(writer);
    return writer.Build();
}

const ReadFault kReadFaults[] = {
    {"Empty", [] { return std::vector<unsigned char>(); }, "Can't read ZTB file"},
    {"OneHundredBytes", [] { return Cut(OneRecordWith([](ZtbWriter&) {}), 100); }, "Can't read ZTB file"},
    {"HeaderOneByteShort", [] { return Cut(OneRecordWith([](ZtbWriter&) {}), 171); }, "Can't read ZTB file"},
    {"DirectoryShort", [] { return Cut(OneRecordWith([](ZtbWriter&) {}), 179); }, "Can't read ZTB file"},
    {"RecordShort", [] { return Cut(OneRecordWith([](ZtbWriter&) {}), 180 + 1613); }, "Can't read ZTB file"},
    {"OffsetPastTheEnd", [] { return OneRecordWith([](ZtbWriter& w) { w.Entry(0).Offset = 100000; }); }, "Can't read ZTB file"},
    {"OffsetAtTheEnd", [] { return OneRecordWith([](ZtbWriter& w) { w.Entry(0).Offset = 180 + 1614; }); }, "Can't read ZTB file"},
    {"Offset2Pow31", [] { return OneRecordWith([](ZtbWriter& w) { w.Entry(0).Offset = 0x80000000u; }); }, "Can't read ZTB file"},
    {"OffsetAllOnes", [] { return OneRecordWith([](ZtbWriter& w) { w.Entry(0).Offset = 0xFFFFFFFFu; }); }, "Can't read ZTB file"},
    {"ResolutionIndex4", [] { return OneRecordWith([](ZtbWriter& w) { w.Entry(0).Resolution = 4; }); }, "Illegal resolution in ResInfo structure"},
    {"ResolutionIndexNegative", [] { return OneRecordWith([](ZtbWriter& w) { w.Entry(0).Resolution = -1; }); }, "Illegal resolution in ResInfo structure"},
    {"EntryLength1616", [] { return OneRecordWith([](ZtbWriter& w) { w.Entry(0).Length = 1616; }); }, "Illegal resolution Length in ResInfo structure"},
    {"EntryLengthCheckedBeforeReading", [] { return OneRecordWith([](ZtbWriter& w) { w.Entry(0).Length = 1613; w.Entry(0).Offset = 0x90000000u; }); }, "Illegal resolution Length in ResInfo structure"},
    {"RecordLength1615", [] { return OneRecordWith([](ZtbWriter& w) { w.Record(0).Length = 1615; }); }, "Illegal resolution Length in ZTBResolutionT structure"},
    {"RecordOverlappingTheHeader", [] { return OneRecordWith([](ZtbWriter& w) { w.Entry(0).Offset = 0; }); }, "Illegal resolution Length in ZTBResolutionT structure"},
    {"MoreEntriesThanWritten", [] { return OneRecordWith([](ZtbWriter& w) { w.SetNumResolutions(2); }); }, "Illegal resolution in ResInfo structure"},
    {"FourEntriesOfNothing", [] { ZtbWriter w("None", 1002); w.SetNumResolutions(4); return w.Build(); }, "Can't read ZTB file"},
};

INSTANTIATE_TEST_SUITE_P(Faults, ReadFaultTest, testing::ValuesIn(kReadFaults), CaseName());

TEST(LoaderDirectoryTest, DuplicateIndexAbortsAfterTheFirstRecordWasReadAndWarned) {
    ZtbWriter writer("Twice", 1002);
    writer.AddRecord(1).FilmGamma = 3000;
    writer.AddRecord(1);
    const LoadOutcome outcome = LoadBytes(writer.Build());
    EXPECT_EQ(outcome.message, "Illegal duplicate resolution in ResInfo structure");
    EXPECT_EQ(outcome.err, WarningLine("FilmGamma"));
}

TEST(LoaderDirectoryTest, DuplicateIndexIsFoundBeforeTheEntryLength) {
    ZtbWriter writer("Twice", 1002);
    writer.AddRecord(2);
    writer.AddRecord(2);
    writer.Entry(1).Length = 1616;
    EXPECT_EQ(LoadBytes(writer.Build()).message, "Illegal duplicate resolution in ResInfo structure");
}

TEST(LoaderDirectoryTest, FewerEntriesThanRecordsLeaveTheRestUnread) {
    ZtbWriter writer("Fewer", 1002);
    writer.AddRecord(0);
    writer.AddRecord(1);
    writer.SetNumResolutions(1);
    CalibrationTable table = DirtyTable();
    ASSERT_TRUE(LoadBytes(writer.Build(), table).loaded);
    EXPECT_EQ(table.ResolutionPresent[0], 1);
    EXPECT_EQ(table.ResolutionPresent[1], 0);
    EXPECT_TRUE(SlotIsZero(table, 1));
}

TEST(LoaderDirectoryTest, EntriesSharingOneRecordReadTheSameBytes) {
    // Index 1 points at the record written for index 0: it is read as it
    // stands, drawing the warning of a record made for another index.
    ZtbWriter writer("Shared", 1002);
    writer.AddRecord(0);
    writer.AddRecord(1);
    writer.Entry(1).Offset = writer.RecordOffset(0);
    CalibrationTable table{};
    const LoadOutcome outcome = LoadBytes(writer.Build(), table);
    ASSERT_TRUE(outcome.loaded) << outcome.message;
    EXPECT_EQ(outcome.err, WarningLine("DevX/YSize"));
    EXPECT_EQ(0, std::memcmp(&table.Resolution[0], &table.Resolution[1], kResolutionSize));
}

TEST(LoaderDirectoryTest, OverlappingRecordsAreReadWhereTheEntriesPoint) {
    // The second record is written over the tail of the first, so the
    // first's exposure values are now numbers of the second's channel table.
    ZtbWriter writer("Overlap", 1002);
    writer.AddRecord(0);
    writer.AddRecord(1);
    const std::uint32_t afterDirectory = kHeaderSize + 2 * kResInfoSize;
    writer.PlaceAt(0, afterDirectory);
    writer.PlaceAt(1, afterDirectory + 800);
    CalibrationTable table{};
    const LoadOutcome outcome = LoadBytes(writer.Build(), table);
    ASSERT_TRUE(outcome.loaded) << outcome.message;
    EXPECT_EQ(outcome.err, WarningLine("Repetition"));
    EXPECT_EQ(table.Resolution[0].FilmGamma, 1800);
    EXPECT_EQ(table.Resolution[0].Intensity[0], writer.Record(1).ChannelTable[368] & 0xFFFF);
    EXPECT_EQ(0, std::memcmp(&table.Resolution[1], &writer.Record(1), kResolutionSize));
}

TEST(LoaderDeviceTypeTest, InconsistentRecordAbortsAfterAllWarnings) {
    ZtbWriter writer("Mixed", 1003);
    ZTBResolutionT& first = writer.AddRecord(0);
    first.DeviceType = 1004;
    first.FilmGamma = 3000;
    writer.AddRecord(1).StdGamma = 6000;
    const LoadOutcome outcome = LoadBytes(writer.Build());
    EXPECT_EQ(outcome.message, "Inconsistent DeviceType detected in ZTBResolution structure");
    EXPECT_EQ(outcome.err, WarningLine("FilmGamma") + WarningLine("StdGamma"));
}

TEST(LoaderDeviceTypeTest, DeviceTypeZeroInHeaderAndRecordLoads) {
    ZtbWriter writer("Zero", 0);
    writer.AddRecord(2);
    EXPECT_TRUE(LoadBytes(writer.Build()).loaded);
}

TEST(LoaderFillTest, EmptyExposureValuesAreFilledFromTheBaseFilm) {
    ZtbWriter writer("Fill", 1002);
    ZTBResolutionT& record = writer.AddRecord(1);
    ClearExposureValues(record);
    record.Compatible.Balance[0] = 85;
    record.Compatible.Balance[1] = 100;
    record.Compatible.Balance[2] = 25;
    CalibrationTable table{};
    const LoadOutcome outcome = LoadBytes(writer.Build(), table);
    ASSERT_TRUE(outcome.loaded) << outcome.message;
    EXPECT_EQ(outcome.out, " LightLvl 3373\n LightLvl 2983\n LightLvl 2541\n");
    EXPECT_EQ(outcome.err, "");
    const ZTBResolutionT& filled = table.Resolution[1];
    EXPECT_EQ(filled.BackType, 0);
    EXPECT_EQ(filled.Intensity[0], 2867);
    EXPECT_EQ(filled.Intensity[1], 2983);
    EXPECT_EQ(filled.Intensity[2], 635);
    EXPECT_EQ(filled.Repetition[0], 1);
    EXPECT_EQ(filled.Repetition[1], 1);
    EXPECT_EQ(filled.Repetition[2], 1);
}

TEST(LoaderFillTest, FillsInIndexOrderAfterEveryRecordWasRead) {
    ZtbWriter writer("Order", 1002);
    ZTBResolutionT& high = writer.AddRecord(2);
    ClearExposureValues(high);
    high.FilmGamma = 3000;
    ZTBResolutionT& low = writer.AddRecord(0);
    ClearExposureValues(low);
    low.Compatible.Balance[1] = 50;
    low.Compatible.Balance[2] = 50;
    writer.AddRecord(1);  // not empty: untouched
    CalibrationTable table{};
    const LoadOutcome outcome = LoadBytes(writer.Build(), table);
    ASSERT_TRUE(outcome.loaded) << outcome.message;
    EXPECT_EQ(outcome.err, WarningLine("FilmGamma"));
    EXPECT_EQ(outcome.out,
              " LightLvl 11805\n LightLvl 10440\n LightLvl 8893\n"
              " LightLvl 902\n LightLvl 798\n LightLvl 680\n");
    EXPECT_EQ(table.Resolution[0].Intensity[1], 5220);
    EXPECT_EQ(table.Resolution[2].Intensity[0], 902);
    EXPECT_EQ(table.Resolution[1].Intensity[0], 3373);
}

TEST(LoaderFillTest, BackTypeWithEmptyExposureIsWarnedThenReplaced) {
    ZtbWriter writer("Back", 1002);
    ZTBResolutionT& record = writer.AddRecord(0);
    ClearExposureValues(record);
    record.BackType = 3;
    record.Compatible.BaseFilmType = 4;
    CalibrationTable table{};
    const LoadOutcome outcome = LoadBytes(writer.Build(), table);
    ASSERT_TRUE(outcome.loaded) << outcome.message;
    EXPECT_EQ(outcome.err, WarningLine("BackType"));
    EXPECT_EQ(table.Resolution[0].BackType, 4);
    EXPECT_EQ(table.Resolution[0].Intensity[0], 10400);
    EXPECT_EQ(table.Resolution[0].Repetition[1], 4);
}

TEST(LoaderFillTest, NonEmptyExposureIsNeverTouched) {
    ZtbWriter writer("Kept", 1002);
    ZTBResolutionT& record = writer.AddRecord(0);
    record.Compatible.BaseFilmType = 0;
    for (auto& balance : record.Compatible.Balance) balance = 0;
    CalibrationTable table{};
    const LoadOutcome outcome = LoadBytes(writer.Build(), table);
    ASSERT_TRUE(outcome.loaded) << outcome.message;
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(table.Resolution[0].Intensity[0], 3373);
}

struct FillFault {
    const char* name;
    std::int16_t deviceType;
    int r;
    std::int16_t baseFilm;
    const char* out;
    const char* err;
    const char* message;
};

class LoaderFillFaultTest : public testing::TestWithParam<FillFault> {};

TEST_P(LoaderFillFaultTest, EmptyExposureThatCannotBeDerivedAborts) {
    const FillFault& test = GetParam();
    ZtbWriter writer("Derive", test.deviceType);
    ZTBResolutionT& record = writer.AddRecord(test.r);
    ClearExposureValues(record);
    record.Compatible.BaseFilmType = test.baseFilm;
    if (test.baseFilm == 0) {
        for (auto& balance : record.Compatible.Balance) balance = 0;
    }
    const LoadOutcome outcome = LoadBytes(writer.Build());
    EXPECT_EQ(outcome.message, test.message);
    EXPECT_EQ(outcome.out, test.out);
    EXPECT_EQ(outcome.err, test.err);
}

const FillFault kFillFaults[] = {
    {"NoBaseFilm", 1002, 0, 0, "0", "", "illegal BaseFilmType"},
    {"Device0", 0, 0, 1, "", "", "Unsupported DeviceType (0), Contact Corvantigraph"},
    {"Device1000Film10", 1000, 0, 10, "10", "#### Warning: Illegal Compatible.BaseFilmType field in ZTB.Resolution\n", "illegal BaseFilmType"},
    {"Index3", 1002, 3, 1, "", "#### Warning: Illegal DevX/YSize field in ZTB.Resolution\n", "illegal Resolution"},
    {"UnsupportedResolution", 1003, 2, 2, "", "", "unsupported base film/resolution in GetLightLevel"},
    {"FilmWithoutValues", 1006, 0, 10, "", "", "unsupported base film/resolution in GetLightLevel"},
};

INSTANTIATE_TEST_SUITE_P(Aborts, LoaderFillFaultTest, testing::ValuesIn(kFillFaults), CaseName());

}  // namespace
