// Table files told as edits of a valid one, and what loading each gives.
// Every case edits a writer holding one valid record for index 0 of device
// type 1002. The table-file tests load each case from memory and from a
// file; the fuzz seed corpus holds each one as a seed.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tablefile/TableLoader.h"
#include "tablefile/ZtbWriter.h"

struct TableCase {
    const char* name;
    std::function<void(ZtbWriter&)> edit;
    const char* message;             // the abort message; empty: the table loads
    std::string err = "";            // warning lines
    std::string out = "";            // trace lines
    std::vector<int> exposure = {};  // the first record's derived BackType, Intensity, Repetition
    std::size_t size = SIZE_MAX;     // the file is cut to this many bytes

    ZtbWriter Writer() const {
        ZtbWriter writer("Case table v1.0", 1002);
        writer.AddRecord(0);
        edit(writer);
        return writer;
    }

    std::vector<unsigned char> Bytes() const {
        std::vector<unsigned char> bytes = Writer().Build();
        bytes.resize(std::min(bytes.size(), size));
        return bytes;
    }
};

// The warning lines for record fields, in order.
template <class... Fields>
std::string Warn(const Fields&... fields) {
    return (("#### Warning: Illegal " + std::string(fields) + " field in ZTB.Resolution\n") + ...);
}

namespace table_cases {

using W = ZtbWriter;
using R = ZTBResolutionT;
inline const std::string kId = "Corvantigraph Film Calibration Table";
inline constexpr char kCantRead[] = "Can't read ZTB file";

inline void SetId(W& w, const std::string& id) {
    w.SetIdBytes({reinterpret_cast<const unsigned char*>(id.data()), id.size()});
}
inline R& Empty(R& r) {
    ClearExposureValues(r);
    return r;
}
inline R& NoBaseFilm(R& r) {
    r.Compatible.BaseFilmType = r.Compatible.Balance[0] = r.Compatible.Balance[1] = r.Compatible.Balance[2] = 0;
    return r;
}

// Black-and-white exposure values in mode on channel c alone.
inline R& OnlyChannel(R& r, int c, std::int16_t mode = 1) {
    for (int k : {(c + 1) % 3, (c + 2) % 3}) r.Compatible.Balance[k] = r.Intensity[k] = r.Repetition[k] = 0;
    r.Compatible.BlackAndWhite = mode;
    return r;
}

// One record for index r whose exposure values are to be derived.
inline std::function<void(W&)> Derive(
    std::int16_t deviceType, int r, std::int16_t film, std::array<std::int16_t, 3> balances = {100, 100, 100}) {
    return [=](W& w) {
        w = W("Derived v1.0", deviceType);
        R& record = Empty(w.AddRecord(r));
        record.Compatible.BaseFilmType = film;
        std::copy(balances.begin(), balances.end(), record.Compatible.Balance);
    };
}

// clang-format off
inline const std::vector<TableCase> kAll = {
    // The header: the first rule it breaks decides.
    {"IdAnyBytesAfterItsNul", [](W& w) { SetId(w, kId + std::string("\0\xff\x01\x7f", 4)); }, ""},
    {"IdWithoutNul", [](W& w) { SetId(w, kId + " "); }, "Illegal ZTB ID string"},
    {"IdOtherCase", [](W& w) { SetId(w, "c" + kId.substr(1) + '\0'); }, "Illegal ZTB ID string"},
    {"IdShortBeforeVersion", [](W& w) { SetId(w, kId.substr(0, 30) + '\0'); w.Header().HeaderVersion = 2; }, "Illegal ZTB ID string"},
    {"HeaderVersion2", [](W& w) { w.Header().HeaderVersion = 2; }, "Illegal ZTB HeaderVersion field"},
    {"HeaderVersion0BeforeType", [](W& w) { w.Header().HeaderVersion = 0; w.Header().Type = 6; }, "Illegal ZTB HeaderVersion field"},
    {"DeviceType999", [](W& w) { w.Header().DeviceType = 999; }, "Illegal ZTB DeviceType field"},
    {"DeviceType1021", [](W& w) { w.Header().DeviceType = 1021; }, "Illegal ZTB DeviceType field"},
    {"DeviceTypeNegative", [](W& w) { w.Header().DeviceType = -1; }, "Illegal ZTB DeviceType field"},
    {"TypeNegative", [](W& w) { w.Header().Type = -1; }, "Illegal ZTB Type field"},
    {"Type6BeforeSize", [](W& w) { w.Header().Type = 6; w.Header().Size = 7; }, "Illegal ZTB Type field"},
    {"Size7", [](W& w) { w.Header().Size = 7; }, "Illegal ZTB Size field"},
    {"SizeNegative", [](W& w) { w.Header().Size = -32768; }, "Illegal ZTB Size field"},
    {"TypeSizeDeviceTypeLimits", [](W& w) { w.Header().Type = 5; w.Header().Size = 6; w.Header().DeviceType = w.Record(0).DeviceType = 1020; }, ""},
    {"NumResolutions5", [](W& w) { w.SetNumResolutions(5); }, "Illegal ZTB number of resolutions"},
    {"NumResolutionsNegative", [](W& w) { w.SetNumResolutions(-1); }, "Illegal ZTB number of resolutions"},
    // Where records lie, fields no check reads, and the directory.
    {"ReverseLayoutGapsAndTrailingBytes", [](W& w) { w.AddRecord(2); w.AddRecord(1); w.SetLayout(W::Layout::Reverse); w.SetGap(77, 0xEE); w.SetTrailingBytes(1000, 0xFF); }, ""},
    {"RecordsAcrossAndBeyondTheFirstRead", [](W& w) { w.AddRecord(1); w.AddRecord(2); w.PlaceAt(0, 20000); w.PlaceAt(1, FileTableSource::kReadAhead - 100); }, ""},
    {"FreeHeaderFields", [](W& w) { w.Header().Reserved42 = -7; w.Header().Type = 3; w.Header().Reserved46[0] = w.Header().Reserved130[39] = 0xAB; }, ""},
    {"HighBitsAndFreeRecordBytes", [](W& w) { R& r = w.Record(0); r.Intensity[2] = 56304; r.ChannelTable[256] = 0x7F80; r.ChannelTable[512] = -32768; r.Reserved1586[25] = 0xF0; r.Reserved1612 = 0x7EEF; }, ""},
    {"HeaderShort", [](W&) {}, kCantRead, "", "", {}, 171},
    {"DirectoryShort", [](W&) {}, kCantRead, "", "", {}, 179},
    {"RecordShort", [](W&) {}, kCantRead, "", "", {}, 180 + 1613},
    {"FarRecordCut", [](W& w) { w.PlaceAt(0, 20000); }, kCantRead, "", "", {}, 20010},
    {"Offset1MiB", [](W& w) { w.Entry(0).Offset = 1 << 20; }, kCantRead},
    {"Offset2Pow31", [](W& w) { w.Entry(0).Offset = 0x80000000u; }, kCantRead},
    {"OffsetTopByte", [](W& w) { w.PlaceAt(0, 0x100B4); w.Entry(0).Offset = 0x10000B4; }, kCantRead},
    {"ResolutionIndex4", [](W& w) { w.Entry(0).Resolution = 4; }, "Illegal resolution in ResInfo structure"},
    {"ResolutionIndexNegative", [](W& w) { w.Entry(0).Resolution = -1; }, "Illegal resolution in ResInfo structure"},
    {"EntryLength1613BeforeReading", [](W& w) { w.Entry(0).Length = 1613; w.Entry(0).Offset = 0x90000000u; }, "Illegal resolution Length in ResInfo structure"},
    {"EntryLength1616", [](W& w) { w.Entry(0).Length = 1616; }, "Illegal resolution Length in ResInfo structure"},
    {"RecordLength1615", [](W& w) { w.Record(0).Length = 1615; }, "Illegal resolution Length in ZTBResolutionT structure"},
    // The first record is read and warned about before the second entry.
    {"DuplicateBeforeItsLength", [](W& w) { w.Record(0).FilmGamma = 3000; w.AddRecord(0); w.Entry(1).Length = 1616; }, "Illegal duplicate resolution in ResInfo structure", Warn("FilmGamma")},
    // Records: each warns, naming the first rule it breaks, and is kept.
    {"ResVersionThenRasterSizes", [](W& w) { w.Record(0).ResVersion = 2; w.Record(0).MirrorY = 5; w.AddRecord(1).DevXSize = 2048; w.AddRecord(2).DevYSize = 8193; }, "", Warn("ResVersion", "DevX/YSize", "DevX/YSize")},
    {"AllFourResolutions", [](W& w) { for (int r : {3, 1, 2}) w.AddRecord(r); }, "", Warn("DevX/YSize")},
    {"RasterSizeLimits", [](W& w) { w.Record(0).DevYSize = 0; w.AddRecord(2).DevYSize = 8192; w.AddRecord(3).DevXSize = -16384; }, "", Warn("DevX/YSize", "DevX/YSize")},
    {"Corners", [](W& w) { w.Record(0).XMin = -1; w.AddRecord(1).YMin = -1; R& r = w.AddRecord(2); r.XMax = r.DevXSize; }, "", Warn("XMin/YMin/XMax/YMax", "XMin/YMin/XMax/YMax", "XMin/YMin/XMax/YMax")},
    {"YMaxAndFilmGammas", [](W& w) { R& r = w.Record(0); r.YMax = r.DevYSize; w.AddRecord(1).FilmGamma = 2561; w.AddRecord(2).FilmGamma = -2561; }, "", Warn("XMin/YMin/XMax/YMax", "FilmGamma", "FilmGamma")},
    {"StdGammas", [](W& w) { w.Record(0).FilmGamma = -2560; w.Record(0).StdGamma = 5120; w.AddRecord(1).StdGamma = 5121; w.AddRecord(2).StdGamma = -2561; }, "", Warn("StdGamma", "StdGamma")},
    {"DeviceTypesAfterEveryWarning", [](W& w) { w.Record(0).DeviceType = 999; w.AddRecord(1).DeviceType = 1021; w.AddRecord(2).Resolution = 1; }, "Inconsistent DeviceType detected in ZTBResolution structure", Warn("DeviceType", "DeviceType", "Resolution")},
    {"MirrorY", [](W& w) { w.Record(0).MirrorY = 2; w.AddRecord(1).MirrorY = 1; w.AddRecord(2).MirrorY = -1; }, "", Warn("MirrorY", "MirrorY")},
    {"BaseFilms", [](W& w) { R& r = w.Record(0); r.Compatible.BaseFilmType = 10; r.Compatible.Balance[0] = 1; w.AddRecord(1).Compatible.BaseFilmType = -1; }, "", Warn("Compatible.BaseFilmType", "Compatible.BaseFilmType")},
    {"Balances", [](W& w) { w.Record(0).Compatible.Balance[1] = 24; w.AddRecord(1).Compatible.Balance[2] = 401; R& r = w.AddRecord(2); r.Compatible.Balance[0] = 25; r.Compatible.Balance[2] = 400; }, "", Warn("Compatible.Balance", "Compatible.Balance")},
    {"BlackAndWhite", [](W& w) { OnlyChannel(w.Record(0), 1); OnlyChannel(w.AddRecord(1), 2, 2); OnlyChannel(w.AddRecord(2), 1).Compatible.Balance[0] = 50; }, "", Warn("Compatible.Balance")},
    {"BlackAndWhiteModes", [](W& w) { w.Record(0).Compatible.BlackAndWhite = 3; R& r = w.AddRecord(1); r.Compatible.BlackAndWhite = 3; r.Compatible.Balance[2] = 500; }, "", Warn("Compatible.BlackAndWhite", "Compatible.Balance")},
    {"BlackAndWhiteTwoExposed", [](W& w) { R& r = OnlyChannel(w.Record(0), 1); r.Intensity[0] = 5; r.Repetition[0] = 1; }, "", Warn("Intensity")},
    {"ColourFaults", [](W& w) { w.Record(0).Compatible.Balance[1] = 0; R& r = w.AddRecord(1); r.Intensity[2] = r.Repetition[2] = 0; w.AddRecord(2).Intensity[0] = 0; }, "", Warn("Compatible.Balance", "Intensity", "Intensity")},
    {"ChannelOrderDecides", [](W& w) { w.Record(0).Intensity[0] = 0; w.Record(0).Repetition[1] = 17; }, "", Warn("Intensity")},
    {"NoBaseFilm", [](W& w) { w.Record(0).Compatible.BaseFilmType = 0; NoBaseFilm(w.AddRecord(1)); NoBaseFilm(w.AddRecord(2)).Compatible.BlackAndWhite = 7; }, "", Warn("Compatible.Balance", "Compatible.BlackAndWhite")},
    {"Repetitions", [](W& w) { w.Record(0).Repetition[1] = 17; w.AddRecord(1).Repetition[0] = 0x8000; w.AddRecord(2).Repetition[0] = 16; }, "", Warn("Repetition", "Repetition")},
    {"ExposurePairs", [](W& w) { w.Record(0).Repetition[0] = 0; w.AddRecord(1).Intensity[1] = 0; w.AddRecord(2).BackType = 3; }, "", Warn("Intensity", "Intensity")},
    // Half-empty exposure values are kept: nothing is derived for them.
    {"HalfEmptyExposure", [](W& w) { Empty(w.Record(0)).Intensity[2] = 1; Empty(w.AddRecord(1)).Repetition[0] = 1; }, "", Warn("Intensity", "Intensity")},
    // Empty ones are derived after all records are read, in index order,
    // from each record's own resolution, replacing a BackType warned about;
    // a record with values is kept, though deriving its values would abort.
    {"DerivedInIndexOrder", [](W& w) { w = W("Order", 1002); Empty(w.AddRecord(2)).Resolution = 1; Empty(w.AddRecord(0)).BackType = 3; NoBaseFilm(w.AddRecord(1)); }, "", Warn("Resolution", "BackType"), " LightLvl 11805\n LightLvl 10440\n LightLvl 8893\n LightLvl 3373\n LightLvl 2983\n LightLvl 2541\n"},
    // Derived values: percentages of the levels rounded half up (25 % of 902
    // is 225.5), their low 16 bits kept, negative ones truncated toward zero.
    {"Percentages", Derive(1005, 1, 1, {85, 100, 25}), "", "", " LightLvl 3373\n LightLvl 2983\n LightLvl 2541\n", {0, 2867, 2983, 635, 1, 1, 1}},
    {"HalfRoundsUp", Derive(1011, 2, 1, {25, 25, 25}), "", "", " LightLvl 902\n LightLvl 798\n LightLvl 680\n", {0, 226, 200, 170, 1, 1, 1}},
    {"Low16Bits", Derive(1012, 0, 2, {400, 100, 100}), "", "", " LightLvl 14076\n LightLvl 11382\n LightLvl 11653\n", {0, 0xDBF0, 11382, 11653, 4, 4, 2}},
    {"NegativeBalance", Derive(1013, 0, 1, {-100, 100, 100}), "", Warn("Compatible.Balance"), " LightLvl 11805\n LightLvl 10440\n LightLvl 8893\n", {0, 0x10000 - 11804, 10440, 8893, 1, 1, 1}},
    {"ZeroBalancesLeaveTheirChannelsEmpty", Derive(1002, 0, 3, {0, 100, 0}), "", Warn("Compatible.Balance"), " LightLvl 8378\n", {2, 0, 8378, 0, 0, 1, 0}},
    {"BackTypeWithoutChannels", Derive(1007, 0, 4, {0, 0, 0}), "", Warn("Compatible.Balance"), "", {4, 0, 0, 0, 0, 0, 0}},
    {"Device1006", Derive(1006, 0, 7), "", "", " LightLvl 6973\n LightLvl 6760\n LightLvl 5160\n", {4, 6973, 6760, 5160, 15, 11, 3}},
    {"Device1004", Derive(1004, 0, 6), "", "", " LightLvl 13396\n LightLvl 3299\n LightLvl 1688\n", {0, 13396, 3299, 1688, 4, 4, 4}},
    {"Device1009", Derive(1009, 1, 6), "", "", " LightLvl 6754\n LightLvl 3322\n LightLvl 1692\n", {0, 6754, 3322, 1692, 2, 1, 1}},
    // Empty exposure values that cannot be derived.
    {"NoBaseFilmToDeriveFrom", Derive(1002, 0, 0, {0, 0, 0}), "illegal BaseFilmType", "", "0"},
    {"NoGroupForDevice0", Derive(0, 0, 1), "Unsupported DeviceType (0), Contact Corvantigraph"},
    {"FilmAboveCountBeforeGroup", Derive(1000, 0, 10), "illegal BaseFilmType", Warn("Compatible.BaseFilmType"), "10"},
    {"Film2For1010", Derive(1010, 0, 2), "illegal BaseFilmType", Warn("Compatible.BaseFilmType"), "2"},
    {"Index3", Derive(1002, 3, 1), "illegal Resolution", Warn("DevX/YSize")},
    {"NoLevelForResolution", Derive(1003, 2, 2), "unsupported base film/resolution in GetLightLevel"},
    {"Film10Of1006HasNoLevels", Derive(1006, 0, 10), "unsupported base film/resolution in GetLightLevel"},
};
// clang-format on

}  // namespace table_cases
