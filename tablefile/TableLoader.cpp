#include "tablefile/TableLoader.h"

#include <algorithm>
#include <cstring>

#include "tablefile/BaseFilmLightTable.h"
#include "tablefile/ByteOrder.h"
#include "tablefile/ErrorAbort.h"
#include "tablefile/TableValidation.h"

namespace {

constexpr const char* kCantRead = "Can't read ZTB file";

// Windows positions a file by a signed 32-bit distance; offsets of 2^31 and
// more are treated as past the end of the file.
constexpr std::uint32_t kLargestRecordOffset = 0x7FFFFFFF;

// "Can't read ZTB file" for bytes up to end that the source does not hold,
// saying why: the file is too short, or a read failed.
[[noreturn]] void CantRead(TableSource& source, std::uint64_t end) {
    const std::optional<std::uint64_t> size = source.Size();
    if (!size || *size >= end) AbortWithMessage(kCantRead, "a read failed");
    AbortWithMessage(kCantRead, "the file is too short: " + std::to_string(*size) + " bytes");
}

void ReadExactly(TableSource& source, std::uint64_t offset, unsigned char* buffer, std::size_t size) {
    if (source.ReadAt(offset, buffer, size) != size) CantRead(source, offset + size);
}

void ReadRecord(TableSource& source, const ResInfo& entry, ZTBResolutionT& record) {
    if (entry.Offset > kLargestRecordOffset) CantRead(source, std::uint64_t{entry.Offset} + kResolutionSize);
    unsigned char bytes[kResolutionSize];
    ReadExactly(source, entry.Offset, bytes, kResolutionSize);
    DecodeResolution(bytes, record);
}

// Reads header, directory and records into table, validating on the way.
void ReadTable(TableSource& source, CalibrationTable& table, const LoadReport& report) {
    // The header and the whole directory straight after it in one read.
    unsigned char start[kHeaderSize + kMaxNumResolutions * kResInfoSize];
    ReadExactly(source, 0, start, kHeaderSize);
    ZTBHeader& header = table.Header;
    header = DecodeHeader(start);
    if (const HeaderFault fault = CheckHeader(header); fault != HeaderFault::None)
        AbortWithMessage(HeaderMessage(fault));
    const auto entryCount = static_cast<std::size_t>(header.NumResolutions);
    ReadExactly(source, kHeaderSize, start + kHeaderSize, entryCount * kResInfoSize);

    std::fill(std::begin(table.ResolutionPresent), std::end(table.ResolutionPresent), 0);
    for (std::size_t k = 0; k < entryCount; ++k) {
        const ResInfo entry = DecodeResInfo(start + kHeaderSize + k * kResInfoSize);
        if (entry.Resolution < 0 || entry.Resolution > 3) {
            AbortWithMessage("Illegal resolution in ResInfo structure");
        }
        if (table.ResolutionPresent[entry.Resolution] == 1) {
            AbortWithMessage("Illegal duplicate resolution in ResInfo structure");
        }
        table.ResolutionPresent[entry.Resolution] = 1;
        if (entry.Length != static_cast<std::int16_t>(kResolutionSize)) {
            AbortWithMessage("Illegal resolution Length in ResInfo structure");
        }
        ZTBResolutionT& record = table.Resolution[entry.Resolution];
        ReadRecord(source, entry, record);
        if (record.Length != static_cast<std::uint16_t>(entry.Length)) {
            AbortWithMessage("Illegal resolution Length in ZTBResolutionT structure");
        }
        WarnResolution(record, entry.Resolution, report);
    }

    // After every record has been read and warned about.
    for (int index = 0; index < kResolutionSlots; ++index) {
        if (table.ResolutionPresent[index] == 0) {
            std::memset(&table.Resolution[index], 0, sizeof table.Resolution[index]);
        } else if (table.Resolution[index].DeviceType != header.DeviceType) {
            AbortWithMessage("Inconsistent DeviceType detected in ZTBResolution structure");
        }
    }
}

// Fills the empty exposure values of every present record, index 0 to 3.
void FillTableExposureDefaults(CalibrationTable& table, const LoadReport& report) {
    for (int index = 0; index < kResolutionSlots; ++index) {
        if (table.ResolutionPresent[index] == 1 && !HasExposureValues(table.Resolution[index])) {
            FillExposureDefaults(table.Resolution[index], report);
        }
    }
}

// Reads the table, then derives the exposure values of records that have none.
void Load(TableSource& source, CalibrationTable& table, const LoadReport& report) {
    ReadTable(source, table, report);
    FillTableExposureDefaults(table, report);
}

// Opens path as file and loads the table from it; an error abort names
// the file.
void LoadFromFile(platform::InFile& file, const std::string& path, CalibrationTable& table, const LoadReport& report) {
    try {
        if (const platform::Result opened = file.Open(path); !opened) {
            throw TableOpenFailed("Error opening ZTB file", opened);
        }
        FileTableSource source(file);
        Load(source, table, report);
    } catch (ErrorAbort& abort) {
        abort.path = path;
        throw;
    }
}

}  // namespace

void LoadTableFile(const std::string& path, CalibrationTable& table, const LoadReport& report) {
    platform::InFile file;
    LoadFromFile(file, path, table, report);
}

std::optional<platform::FileTimes> LoadTableFileWithTimes(
    const std::string& path, CalibrationTable& table, const LoadReport& report) {
    platform::InFile file;
    LoadFromFile(file, path, table, report);
    platform::FileTimes times;
    if (!file.GetTimes(times)) return std::nullopt;
    return times;
}

void LoadTableFromMemory(std::span<const unsigned char> bytes, CalibrationTable& table, const LoadReport& report) {
    MemoryTableSource source(bytes);
    Load(source, table, report);
}
