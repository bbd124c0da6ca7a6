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
#include <optional>
#include <string>
#include <vector>

#include "tablefile/TableLoader.h"
#include "tablefile/ZtbWriter.h"

// The exposure values derived for a record that had none.
struct Exposure {
    std::int16_t backType = 0;
    std::array<std::uint16_t, 3> intensity, repetition;
};

struct TableCase {
    const char* name;
    std::function<void(ZtbWriter&)> edit = [](ZtbWriter&) {};
    const char* message = "";               // the abort message; empty: the table loads
    std::string warnings = "";              // the warning lines reported
    std::string trace = "";                 // the trace reported
    std::optional<Exposure> exposure = {};  // derived for the first record
    std::size_t cutTo = SIZE_MAX;           // the file is cut to this many bytes

    ZtbWriter Writer() const {
        ZtbWriter writer("Case table v1.0", 1002);
        writer.AddRecord(0);
        edit(writer);
        return writer;
    }

    std::vector<unsigned char> Bytes() const {
        std::vector<unsigned char> bytes = Writer().Build();
        bytes.resize(std::min(bytes.size(), cutTo));
        return bytes;
    }
};

// The warning lines for record fields, in order.
template <class... Fields>
std::string Warn(const Fields&... fields) {
    return (("#### Warning: Illegal " + std::string(fields) + " field in ZTB.Resolution\n") + ...);
}

// The trace lines of light levels found, in order.
template <class... Numbers>
std::string Levels(Numbers... levels) {
    return ((" LightLvl " + std::to_string(levels) + "\n") + ...);
}

namespace table_cases {

using W = ZtbWriter;
using R = ZTBResolutionT;
inline const std::string kId = "Corvantigraph Film Calibration Table";
// The abort messages more than one case ends in.
inline constexpr char kCantRead[] = "Can't read ZTB file", kBadId[] = "Illegal ZTB ID string",
                      kBadVersion[] = "Illegal ZTB HeaderVersion field", kBadDevice[] = "Illegal ZTB DeviceType field",
                      kBadType[] = "Illegal ZTB Type field", kBadSize[] = "Illegal ZTB Size field",
                      kBadCount[] = "Illegal ZTB number of resolutions",
                      kBadIndex[] = "Illegal resolution in ResInfo structure",
                      kBadLength[] = "Illegal resolution Length in ResInfo structure",
                      kBadFilm[] = "illegal BaseFilmType",
                      kNoLevel[] = "unsupported base film/resolution in GetLightLevel";
// The record fields more than one warning names.
inline constexpr char kRaster[] = "DevX/YSize", kCorners[] = "XMin/YMin/XMax/YMax", kFilm[] = "Compatible.BaseFilmType",
                      kBalance[] = "Compatible.Balance", kBlackAndWhite[] = "Compatible.BlackAndWhite";

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
    {.name = "IdAnyBytesAfterItsNul", .edit = [](W& w) { SetId(w, kId + std::string("\0\xff\x01\x7f", 4)); }},
    {.name = "IdWithoutNul", .edit = [](W& w) { SetId(w, kId + " "); }, .message = kBadId},
    {.name = "IdOtherCase", .edit = [](W& w) { SetId(w, "c" + kId.substr(1) + '\0'); }, .message = kBadId},
    {.name = "IdShortBeforeVersion", .edit = [](W& w) { SetId(w, kId.substr(0, 30) + '\0');
        w.Header().HeaderVersion = 2; }, .message = kBadId},
    {.name = "HeaderVersion2", .edit = [](W& w) { w.Header().HeaderVersion = 2; }, .message = kBadVersion},
    {.name = "HeaderVersion0BeforeType", .edit = [](W& w) { w.Header().HeaderVersion = 0; w.Header().Type = 6; },
        .message = kBadVersion},
    {.name = "DeviceType999", .edit = [](W& w) { w.Header().DeviceType = 999; }, .message = kBadDevice},
    {.name = "DeviceType1021", .edit = [](W& w) { w.Header().DeviceType = 1021; }, .message = kBadDevice},
    {.name = "TypeNegative", .edit = [](W& w) { w.Header().Type = -1; }, .message = kBadType},
    {.name = "Type6BeforeSize", .edit = [](W& w) { w.Header().Type = 6; w.Header().Size = 7; }, .message = kBadType},
    {.name = "Size7", .edit = [](W& w) { w.Header().Size = 7; }, .message = kBadSize},
    {.name = "SizeNegative", .edit = [](W& w) { w.Header().Size = -32768; }, .message = kBadSize},
    {.name = "TypeSizeDeviceTypeLimits", .edit = [](W& w) { w.Header().Type = 5; w.Header().Size = 6;
        w.Header().DeviceType = w.Record(0).DeviceType = 1020; }},
    {.name = "NumResolutions5", .edit = [](W& w) { w.SetNumResolutions(5); }, .message = kBadCount},
    {.name = "NumResolutionsNegative", .edit = [](W& w) { w.SetNumResolutions(-1); }, .message = kBadCount},
    // Where records lie, fields no check reads, and the directory.
    {.name = "ReverseLayoutGapsAndTrailingBytes", .edit = [](W& w) { w.AddRecord(2); w.AddRecord(1);
        w.SetLayout(W::Layout::Reverse); w.SetGap(77, 0xEE); w.SetTrailingBytes(1000, 0xFF); }},
    {.name = "RecordsAcrossAndBeyondTheFirstRead", .edit = [](W& w) { w.AddRecord(1); w.AddRecord(2); w.PlaceAt(0,
        20000); w.PlaceAt(1, FileTableSource::kReadAhead - 100); }},
    {.name = "FreeHeaderFields", .edit = [](W& w) { w.Header().Reserved42 = -7; w.Header().Type = 3;
        w.Header().Reserved46[0] = w.Header().Reserved130[39] = 0xAB; }},
    {.name = "HighBitsAndFreeRecordBytes", .edit = [](W& w) { R& r = w.Record(0); r.Intensity[2] = 56304;
        r.ChannelTable[256] = 0x7F80; r.ChannelTable[512] = -32768; r.Reserved1586[25] = 0xF0;
        r.Reserved1612 = 0x7EEF; }},
    {.name = "HeaderShort", .message = kCantRead, .cutTo = 171},
    {.name = "DirectoryShort", .message = kCantRead, .cutTo = 179},
    {.name = "RecordShort", .message = kCantRead, .cutTo = 180 + 1613},
    {.name = "FarRecordCut", .edit = [](W& w) { w.PlaceAt(0, 20000); }, .message = kCantRead, .cutTo = 20010},
    {.name = "Offset2Pow31", .edit = [](W& w) { w.Entry(0).Offset = 0x80000000u; }, .message = kCantRead},
    {.name = "OffsetTopByte", .edit = [](W& w) { w.PlaceAt(0, 0x100B4); w.Entry(0).Offset = 0x10000B4; },
        .message = kCantRead},
    {.name = "ResolutionIndex4", .edit = [](W& w) { w.Entry(0).Resolution = 4; }, .message = kBadIndex},
    {.name = "ResolutionIndexNegative", .edit = [](W& w) { w.Entry(0).Resolution = -1; }, .message = kBadIndex},
    {.name = "EntryLength1613BeforeReading", .edit = [](W& w) { w.Entry(0).Length = 1613;
        w.Entry(0).Offset = 0x90000000u; }, .message = kBadLength},
    {.name = "EntryLength1616", .edit = [](W& w) { w.Entry(0).Length = 1616; }, .message = kBadLength},
    {.name = "RecordLength1615", .edit = [](W& w) { w.Record(0).Length = 1615; },
        .message = "Illegal resolution Length in ZTBResolutionT structure"},
    // The first record is read and warned about before the second entry.
    {.name = "DuplicateBeforeItsLength", .edit = [](W& w) { w.Record(0).FilmGamma = 3000; w.AddRecord(0);
        w.Entry(1).Length = 1616; }, .message = "Illegal duplicate resolution in ResInfo structure",
        .warnings = Warn("FilmGamma")},
    // Records: each warns, naming the first rule it breaks, and is kept.
    {.name = "ResVersionThenRasterSizes", .edit = [](W& w) { w.Record(0).ResVersion = 2; w.Record(0).MirrorY = 5;
        w.AddRecord(1).DevXSize = 2048; w.AddRecord(2).DevYSize = 8193; },
        .warnings = Warn("ResVersion", kRaster, kRaster)},
    {.name = "AllFourResolutions", .edit = [](W& w) { for (int r : {3, 1, 2}) w.AddRecord(r); },
        .warnings = Warn(kRaster)},
    {.name = "RasterSizeLimits", .edit = [](W& w) { w.Record(0).DevYSize = 0; w.AddRecord(2).DevYSize = 8192;
        w.AddRecord(3).DevXSize = -16384; }, .warnings = Warn(kRaster, kRaster)},
    {.name = "Corners", .edit = [](W& w) { w.Record(0).XMin = -1; w.AddRecord(1).YMin = -1; R& r = w.AddRecord(2);
        r.XMax = r.DevXSize; }, .warnings = Warn(kCorners, kCorners, kCorners)},
    {.name = "YMaxAndFilmGammas", .edit = [](W& w) { R& r = w.Record(0); r.YMax = r.DevYSize;
        w.AddRecord(1).FilmGamma = 2561; w.AddRecord(2).FilmGamma = -2561; },
        .warnings = Warn(kCorners, "FilmGamma", "FilmGamma")},
    {.name = "StdGammas", .edit = [](W& w) { w.Record(0).FilmGamma = -2560; w.Record(0).StdGamma = 5120;
        w.AddRecord(1).StdGamma = 5121; w.AddRecord(2).StdGamma = -2561; }, .warnings = Warn("StdGamma", "StdGamma")},
    {.name = "DeviceTypesAfterEveryWarning", .edit = [](W& w) { w.Record(0).DeviceType = 999;
        w.AddRecord(1).DeviceType = 1021; w.AddRecord(2).Resolution = 1; },
        .message = "Inconsistent DeviceType detected in ZTBResolution structure",
        .warnings = Warn("DeviceType", "DeviceType", "Resolution")},
    {.name = "MirrorY", .edit = [](W& w) { w.Record(0).MirrorY = 2; w.AddRecord(1).MirrorY = 1;
        w.AddRecord(2).MirrorY = -1; }, .warnings = Warn("MirrorY", "MirrorY")},
    {.name = "BaseFilms", .edit = [](W& w) { R& r = w.Record(0); r.Compatible.BaseFilmType = 10;
        r.Compatible.Balance[0] = 1; w.AddRecord(1).Compatible.BaseFilmType = -1; }, .warnings = Warn(kFilm, kFilm)},
    {.name = "Balances", .edit = [](W& w) { w.Record(0).Compatible.Balance[1] = 24;
        w.AddRecord(1).Compatible.Balance[2] = 401; R& r = w.AddRecord(2); r.Compatible.Balance[0] = 25;
        r.Compatible.Balance[2] = 400; }, .warnings = Warn(kBalance, kBalance)},
    {.name = "BlackAndWhite", .edit = [](W& w) { OnlyChannel(w.Record(0), 1); OnlyChannel(w.AddRecord(1), 2, 2);
        OnlyChannel(w.AddRecord(2), 1).Compatible.Balance[0] = 50; }, .warnings = Warn(kBalance)},
    {.name = "BlackAndWhiteModes", .edit = [](W& w) { w.Record(0).Compatible.BlackAndWhite = 3; R& r = w.AddRecord(1);
        r.Compatible.BlackAndWhite = 3; r.Compatible.Balance[2] = 500; }, .warnings = Warn(kBlackAndWhite, kBalance)},
    {.name = "BlackAndWhiteTwoExposed", .edit = [](W& w) { R& r = OnlyChannel(w.Record(0), 1); r.Intensity[0] = 5;
        r.Repetition[0] = 1; }, .warnings = Warn("Intensity")},
    {.name = "ColourFaults", .edit = [](W& w) { w.Record(0).Compatible.Balance[1] = 0; R& r = w.AddRecord(1);
        r.Intensity[2] = r.Repetition[2] = 0; w.AddRecord(2).Intensity[0] = 0; },
        .warnings = Warn(kBalance, "Intensity", "Intensity")},
    {.name = "ChannelOrderDecides", .edit = [](W& w) { w.Record(0).Intensity[0] = 0; w.Record(0).Repetition[1] = 17; },
        .warnings = Warn("Intensity")},
    {.name = "NoBaseFilm", .edit = [](W& w) { w.Record(0).Compatible.BaseFilmType = 0; NoBaseFilm(w.AddRecord(1));
        NoBaseFilm(w.AddRecord(2)).Compatible.BlackAndWhite = 7; }, .warnings = Warn(kBalance, kBlackAndWhite)},
    {.name = "Repetitions", .edit = [](W& w) { w.Record(0).Repetition[1] = 17; w.AddRecord(1).Repetition[0] = 0x8000;
        w.AddRecord(2).Repetition[0] = 16; }, .warnings = Warn("Repetition", "Repetition")},
    {.name = "ExposurePairs", .edit = [](W& w) { w.Record(0).Repetition[0] = 0; w.AddRecord(1).Intensity[1] = 0;
        w.AddRecord(2).BackType = 3; }, .warnings = Warn("Intensity", "Intensity")},
    // Half-empty exposure values are kept: nothing is derived for them.
    {.name = "HalfEmptyExposure", .edit = [](W& w) { Empty(w.Record(0)).Intensity[2] = 1;
        Empty(w.AddRecord(1)).Repetition[0] = 1; }, .warnings = Warn("Intensity", "Intensity")},
    // Empty ones are derived after all records are read, in index order,
    // from each record's own resolution, replacing a BackType warned about;
    // a record with values is kept, though deriving its values would abort.
    {.name = "DerivedInIndexOrder", .edit = [](W& w) { w = W("Order", 1002); Empty(w.AddRecord(2)).Resolution = 1;
        Empty(w.AddRecord(0)).BackType = 3; NoBaseFilm(w.AddRecord(1)); }, .warnings = Warn("Resolution", "BackType"),
        .trace = Levels(11805, 10440, 8893, 3373, 2983, 2541)},
    // Derived values: percentages of the levels rounded half up (25 % of 902
    // is 225.5), their low 16 bits kept, negative ones truncated toward zero.
    {.name = "Percentages", .edit = Derive(1005, 1, 1, {85, 100, 25}), .trace = Levels(3373, 2983, 2541),
        .exposure = Exposure{.intensity = {2867, 2983, 635}, .repetition = {1, 1, 1}}},
    {.name = "HalfRoundsUp", .edit = Derive(1011, 2, 1, {25, 25, 25}), .trace = Levels(902, 798, 680),
        .exposure = Exposure{.intensity = {226, 200, 170}, .repetition = {1, 1, 1}}},
    {.name = "Low16Bits", .edit = Derive(1012, 0, 2, {400, 100, 100}), .trace = Levels(14076, 11382, 11653),
        .exposure = Exposure{.intensity = {0xDBF0, 11382, 11653}, .repetition = {4, 4, 2}}},
    {.name = "NegativeBalance", .edit = Derive(1013, 0, 1, {-100, 100, 100}), .warnings = Warn(kBalance),
        .trace = Levels(11805, 10440, 8893), .exposure = Exposure{.intensity = {0x10000 - 11804, 10440, 8893},
        .repetition = {1, 1, 1}}},
    {.name = "ZeroBalancesLeaveTheirChannelsEmpty", .edit = Derive(1002, 0, 3, {0, 100, 0}), .warnings = Warn(kBalance),
        .trace = Levels(8378), .exposure = Exposure{.backType = 2, .intensity = {0, 8378, 0}, .repetition = {0, 1, 0}}},
    {.name = "BackTypeWithoutChannels", .edit = Derive(1007, 0, 4, {0, 0, 0}), .warnings = Warn(kBalance),
        .exposure = Exposure{.backType = 4, .intensity = {0, 0, 0}, .repetition = {0, 0, 0}}},
    // Empty exposure values that cannot be derived.
    {.name = "NoBaseFilmToDeriveFrom", .edit = Derive(1002, 0, 0, {0, 0, 0}), .message = kBadFilm, .trace = "0"},
    {.name = "NoGroupForDevice0", .edit = Derive(0, 0, 1),
        .message = "Unsupported DeviceType (0), Contact Corvantigraph"},
    {.name = "FilmAboveCountBeforeGroup", .edit = Derive(1000, 0, 10), .message = kBadFilm,
        .warnings = Warn(kFilm), .trace = "10"},
    {.name = "Film2For1010", .edit = Derive(1010, 0, 2), .message = kBadFilm, .warnings = Warn(kFilm), .trace = "2"},
    {.name = "Index3", .edit = Derive(1002, 3, 1), .message = "illegal Resolution", .warnings = Warn(kRaster)},
    {.name = "NoLevelForResolution", .edit = Derive(1003, 2, 2), .message = kNoLevel},
};
// clang-format on

}  // namespace table_cases
