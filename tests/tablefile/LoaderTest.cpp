// Loading from memory: where records may lie, the faults of the directory and
// the records (from a file too), and the default fill after reading.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "tablefile/ZtbWriter.h"
#include "testkit/TempFolder.h"
#include "testkit/LoadCapture.h"

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

// Directory entries out of index order, so slots must follow the index.
ZtbWriter ThreeRecords() {
    ZtbWriter writer("Three", 1005);
    writer.AddRecord(2).MirrorY = 1;
    writer.AddRecord(0);
    writer.AddRecord(1).FilmGamma = -300;
    return writer;
}

TEST(LoaderLayoutTest, PackedTableLoadsEveryRecordIntoTheSlotOfItsIndex) {
    ZtbWriter writer = ThreeRecords();
    CalibrationTable table = DirtyTable();
    const LoadOutcome outcome = LoadBytes(writer.Build(), table);
    ASSERT_TRUE(outcome.loaded) << outcome.message;
    EXPECT_EQ(outcome.out + outcome.err, "");
    EXPECT_EQ(table.Header.NumResolutions, 3);
    EXPECT_EQ(TitleText(table.Header), "Three");
    const std::int32_t present[] = {1, 1, 1, 0};
    EXPECT_EQ(0, std::memcmp(table.ResolutionPresent, present, sizeof present));
    for (std::size_t k = 0; k < 3; ++k) {
        const ZTBResolutionT& record = writer.Record(k);
        EXPECT_EQ(0, std::memcmp(&table.Resolution[record.Resolution], &record, kResolutionSize)) << k;
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

TEST(LoaderLayoutTest, NoResolutionsGiveFourZeroSlots) {
    const std::vector<unsigned char> bytes = ZtbWriter("Empty", 1002).Build();
    EXPECT_EQ(bytes.size(), kHeaderSize);
    CalibrationTable table = DirtyTable();
    ASSERT_TRUE(LoadBytes(bytes, table).loaded);
    for (int index = 0; index < kResolutionSlots; ++index) {
        EXPECT_EQ(table.ResolutionPresent[index], 0);
        EXPECT_TRUE(SlotIsZero(table, index));
    }
}

TEST(LoaderLayoutTest, NumbersBecomeHostValuesAndUninterpretedBytesStayAsRead) {
    ZtbWriter writer("Bytes", 1010);
    ZTBResolutionT& record = writer.AddRecord(1);
    std::memset(writer.Header().Reserved46, 0xAB, sizeof writer.Header().Reserved46);
    std::memset(writer.Header().Reserved130, 0xCD, sizeof writer.Header().Reserved130);
    writer.Header().Reserved42 = -7;
    writer.Header().Type = 3;
    writer.Header().Size = 4;
    for (int i = 0; i < 26; ++i) record.Reserved1586[i] = static_cast<unsigned char>(0xF0 + i);
    record.Reserved1612 = 0x7EEF;
    const std::vector<unsigned char> bytes = writer.Build();
    EXPECT_EQ(bytes[44], 0x03);  // DeviceType 1010, big-endian
    EXPECT_EQ(bytes[45], 0xF2);
    CalibrationTable table{};
    const LoadOutcome outcome = LoadBytes(bytes, table);
    ASSERT_TRUE(outcome.loaded) << outcome.message;
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(table.Header.DeviceType, 1010);
    EXPECT_EQ(0, std::memcmp(&table.Header, &writer.Header(), offsetof(ZTBHeader, NumResolutions)));
    EXPECT_EQ(0, std::memcmp(&table.Resolution[1], &record, kResolutionSize));
}

TEST(LoaderLayoutTest, FieldFaultsWarnOnceEachAndTheRecordIsKept) {
    ZtbWriter writer("Faults", 1002);
    writer.AddRecord(0).FilmGamma = 3000;
    ZTBResolutionT& second = writer.AddRecord(1);
    second.ResVersion = 2;
    second.MirrorY = 5;
    writer.AddRecord(2).Repetition[0] = 17;
    writer.AddRecord(3);  // can never be valid: DevXSize would have to be 16384
    CalibrationTable table{};
    const LoadOutcome outcome = LoadBytes(writer.Build(), table);
    ASSERT_TRUE(outcome.loaded) << outcome.message;
    EXPECT_EQ(outcome.err, WarningLine("FilmGamma") + WarningLine("ResVersion") + WarningLine("Repetition") +
                               WarningLine("DevX/YSize"));
    EXPECT_EQ(outcome.out, "");  // the repetition fault leaves the values as they are
    EXPECT_EQ(table.Resolution[0].FilmGamma, 3000);
    EXPECT_EQ(table.Resolution[1].MirrorY, 5);
    EXPECT_EQ(table.Resolution[2].Repetition[0], 17);
    EXPECT_EQ(table.Resolution[2].Intensity[0], writer.Record(2).Intensity[0]);
    EXPECT_EQ(table.ResolutionPresent[3], 1);
    EXPECT_EQ(table.Resolution[3].DevXSize, 8192);
}

TEST(LoaderFillTest, FillsEmptyRecordsInIndexOrderAfterReadingAndByTheirOwnResolution) {
    ZtbWriter writer("Order", 1002);
    ZTBResolutionT& high = writer.AddRecord(2);
    ClearExposureValues(high);
    high.Resolution = 1;  // warned about, and then filled with resolution 1's values
    ZTBResolutionT& low = writer.AddRecord(0);
    ClearExposureValues(low);
    low.BackType = 3;  // warned about, and then replaced
    low.Compatible.Balance[1] = 50;
    low.Compatible.Balance[2] = 50;
    ZTBResolutionT& kept = writer.AddRecord(1);  // not empty: untouched, though a fill would abort
    kept.Compatible.BaseFilmType = 0;
    for (auto& balance : kept.Compatible.Balance) balance = 0;
    CalibrationTable table{};
    const LoadOutcome outcome = LoadBytes(writer.Build(), table);
    ASSERT_TRUE(outcome.loaded) << outcome.message;
    EXPECT_EQ(outcome.err, WarningLine("Resolution") + WarningLine("BackType"));
    EXPECT_EQ(outcome.out,
              " LightLvl 11805\n LightLvl 10440\n LightLvl 8893\n"
              " LightLvl 3373\n LightLvl 2983\n LightLvl 2541\n");
    EXPECT_EQ(table.Resolution[0].BackType, 0);
    EXPECT_EQ(table.Resolution[0].Intensity[1], 5220);
    EXPECT_EQ(table.Resolution[2].Intensity[0], 3373);
    EXPECT_EQ(table.Resolution[1].Intensity[0], writer.Record(2).Intensity[0]);
}

// Files that end in the error abort: the message, and the trace and warning
// lines written before it.
struct LoadFault {
    const char* name;
    std::function<std::vector<unsigned char>()> bytes;
    const char* message;
    std::string err = "";
    const char* out = "";
};

class LoadFaultTest : public testing::TestWithParam<LoadFault> {
protected:
    static void ExpectTheFault(const LoadOutcome& outcome) {
        EXPECT_FALSE(outcome.loaded);
        EXPECT_EQ(outcome.message, GetParam().message);
        EXPECT_EQ(outcome.err, GetParam().err);
        EXPECT_EQ(outcome.out, GetParam().out);
    }
};

TEST_P(LoadFaultTest, AbortsWithItsMessageAfterItsWarningsAndTraces) {
    ExpectTheFault(LoadBytes(GetParam().bytes()));
}

// The file is read through a source of its own; it must fail alike.
TEST_P(LoadFaultTest, FromAFileTheSame) {
    TempFolder folder;
    const std::string path = folder.Path("Fault.ztb");
    ASSERT_TRUE(platform::WriteWholeFile(path, GetParam().bytes()));
    ExpectTheFault(LoadFile(path));
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

// One record for index r with empty exposure values, to be derived from
// base film baseFilm (with no balances when that is 0).
std::vector<unsigned char> EmptyExposure(std::int16_t deviceType, int r, std::int16_t baseFilm) {
    ZtbWriter writer("Derive", deviceType);
    ZTBResolutionT& record = writer.AddRecord(r);
    ClearExposureValues(record);
    record.Compatible.BaseFilmType = baseFilm;
    if (baseFilm == 0) {
        for (auto& balance : record.Compatible.Balance) balance = 0;
    }
    return writer.Build();
}

const char kCantRead[] = "Can't read ZTB file";
const char kDuplicate[] = "Illegal duplicate resolution in ResInfo structure";

const LoadFault kLoadFaults[] = {
    {"OneHundredBytes", [] { return Cut(OneRecordWith([](ZtbWriter&) {}), 100); }, kCantRead},
    {"HeaderOneByteShort", [] { return Cut(OneRecordWith([](ZtbWriter&) {}), 171); }, kCantRead},
    {"DirectoryShort", [] { return Cut(OneRecordWith([](ZtbWriter&) {}), 179); }, kCantRead},
    {"RecordShort", [] { return Cut(OneRecordWith([](ZtbWriter&) {}), 180 + 1613); }, kCantRead},
    {"OffsetAtTheEnd", [] { return OneRecordWith([](ZtbWriter& w) { w.Entry(0).Offset = 180 + 1614; }); }, kCantRead},
    {"Offset2Pow31", [] { return OneRecordWith([](ZtbWriter& w) { w.Entry(0).Offset = 0x80000000u; }); }, kCantRead},
    {"FourEntriesOfNothing", [] { ZtbWriter w("None", 1002); w.SetNumResolutions(4); return w.Build(); }, kCantRead},
    {"ResolutionIndex4", [] { return OneRecordWith([](ZtbWriter& w) { w.Entry(0).Resolution = 4; }); }, "Illegal resolution in ResInfo structure"},
    {"ResolutionIndexNegative", [] { return OneRecordWith([](ZtbWriter& w) { w.Entry(0).Resolution = -1; }); }, "Illegal resolution in ResInfo structure"},
    {"MoreEntriesThanWritten", [] { return OneRecordWith([](ZtbWriter& w) { w.SetNumResolutions(2); }); }, "Illegal resolution in ResInfo structure"},
    {"EntryLength1616", [] { return OneRecordWith([](ZtbWriter& w) { w.Entry(0).Length = 1616; }); }, "Illegal resolution Length in ResInfo structure"},
    {"EntryLengthCheckedBeforeReading", [] { return OneRecordWith([](ZtbWriter& w) { w.Entry(0).Length = 1613; w.Entry(0).Offset = 0x90000000u; }); }, "Illegal resolution Length in ResInfo structure"},
    {"RecordLength1615", [] { return OneRecordWith([](ZtbWriter& w) { w.Record(0).Length = 1615; }); }, "Illegal resolution Length in ZTBResolutionT structure"},
    {"RecordOverlappingTheHeader", [] { return OneRecordWith([](ZtbWriter& w) { w.Entry(0).Offset = 0; }); }, "Illegal resolution Length in ZTBResolutionT structure"},
    // The first record is read and warned about before the second entry is reached.
    {"DuplicateIndex", [] { return OneRecordWith([](ZtbWriter& w) { w.Record(0).FilmGamma = 3000; w.AddRecord(1); }); }, kDuplicate, WarningLine("FilmGamma")},
    {"DuplicateIndexBeforeEntryLength", [] { return OneRecordWith([](ZtbWriter& w) { w.AddRecord(1); w.Entry(1).Length = 1616; }); }, kDuplicate},
    {"InconsistentDeviceTypeAfterAllWarnings", [] { ZtbWriter w("Mixed", 1003); w.AddRecord(0).DeviceType = 1004; w.Record(0).FilmGamma = 3000; w.AddRecord(1).StdGamma = 6000; return w.Build(); },
     "Inconsistent DeviceType detected in ZTBResolution structure", WarningLine("FilmGamma") + WarningLine("StdGamma")},
    // Empty exposure values that cannot be derived.
    {"NoBaseFilm", [] { return EmptyExposure(1002, 0, 0); }, "illegal BaseFilmType", "", "0"},
    {"Device0", [] { return EmptyExposure(0, 0, 1); }, "Unsupported DeviceType (0), Contact Corvantigraph"},
    {"Device1000Film10", [] { return EmptyExposure(1000, 0, 10); }, "illegal BaseFilmType", WarningLine("Compatible.BaseFilmType"), "10"},
    {"Index3", [] { return EmptyExposure(1002, 3, 1); }, "illegal Resolution", WarningLine("DevX/YSize")},
    {"UnsupportedResolution", [] { return EmptyExposure(1003, 2, 2); }, "unsupported base film/resolution in GetLightLevel"},
    {"FilmWithoutValues", [] { return EmptyExposure(1006, 0, 10); }, "unsupported base film/resolution in GetLightLevel"},
};

INSTANTIATE_TEST_SUITE_P(Faults, LoadFaultTest, testing::ValuesIn(kLoadFaults), CaseName());

}  // namespace
