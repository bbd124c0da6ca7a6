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

void ReadExactly(TableSource& source, void* buffer, std::size_t size) {
    if (source.Read(buffer, size) != size) AbortWithMessage(kCantRead);
}

// Decodes the record at the source's position, straight from the source's
// own bytes when it holds them.
void ReadRecord(TableSource& source, ZTBResolutionT& record) {
    const unsigned char* bytes = source.ReadInPlace(kResolutionSize);
    unsigned char read[kResolutionSize];
    if (bytes == nullptr) {
        ReadExactly(source, read, kResolutionSize);
        bytes = read;
    }
    DecodeResolution(bytes, record);
}

}  // namespace

void FileTableSource::ReadStart() {
    if (!startRead_) {
        // The file is still at offset 0: nothing has moved it before.
        startSize_ = file_.Read(start_, kStartSize);
        startRead_ = true;
    }
}

std::size_t FileTableSource::Read(void* buffer, std::size_t size) {
    ReadStart();
    // The part that lies in the start buffer.
    std::size_t count = 0;
    if (position_ < startSize_) {
        count = std::min(size, startSize_ - static_cast<std::size_t>(position_));
        std::memcpy(buffer, start_ + static_cast<std::size_t>(position_), count);
        position_ += count;
    }
    // A short start buffer holds the whole file: nothing lies beyond it.
    if (count == size || startSize_ < kStartSize) return count;

    if (!file_.Seek(position_)) return count;
    const std::size_t rest = file_.Read(static_cast<unsigned char*>(buffer) + count, size - count);
    position_ += rest;
    return count + rest;
}

bool FileTableSource::Seek(std::uint64_t offset) {
    // Only the position moves; the file is positioned when a read goes
    // beyond the start buffer, and a failure there fails that read.
    position_ = offset;
    return true;
}

const unsigned char* FileTableSource::ReadInPlace(std::size_t size) {
    ReadStart();
    if (position_ > startSize_ || size > startSize_ - static_cast<std::size_t>(position_)) return nullptr;
    const unsigned char* bytes = start_ + static_cast<std::size_t>(position_);
    position_ += size;
    return bytes;
}

std::size_t MemoryTableSource::Read(void* buffer, std::size_t size) {
    const std::size_t count = std::min(size, bytes_.size() - position_);
    if (count > 0) std::memcpy(buffer, bytes_.data() + position_, count);
    position_ += count;
    return count;
}

bool MemoryTableSource::Seek(std::uint64_t offset) {
    // Positioning past the end is allowed, as for a file; reads there give 0.
    position_ = static_cast<std::size_t>(std::min<std::uint64_t>(offset, bytes_.size()));
    return true;
}

const unsigned char* MemoryTableSource::ReadInPlace(std::size_t size) {
    if (size > bytes_.size() - position_) return nullptr;
    const unsigned char* bytes = bytes_.data() + position_;
    position_ += size;
    return bytes;
}

void ReadTable(TableSource& source, CalibrationTable& table) {
    ZTBHeader& header = table.Header;
    ReadExactly(source, &header, kHeaderSize);
    if (const int result = CheckHeader(header); result != 1) AbortWithMessage(HeaderMessage(result));

    // The whole directory in one read, straight after the header.
    unsigned char directory[kMaxNumResolutions][kResInfoSize];
    const auto entryCount = static_cast<std::size_t>(header.NumResolutions);
    ReadExactly(source, directory, entryCount * kResInfoSize);

    std::fill(std::begin(table.ResolutionPresent), std::end(table.ResolutionPresent), 0);
    for (std::size_t k = 0; k < entryCount; ++k) {
        const ResInfo entry = DecodeResInfo(directory[k]);
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
        // A position that cannot be reached must not leave the read at the
        // previous position, where it would take the wrong bytes.
        if (entry.Offset > kLargestRecordOffset || !source.Seek(entry.Offset)) AbortWithMessage(kCantRead);
        ZTBResolutionT& record = table.Resolution[entry.Resolution];
        ReadRecord(source, record);
        if (record.Length != static_cast<std::uint16_t>(entry.Length)) {
            AbortWithMessage("Illegal resolution Length in ZTBResolutionT structure");
        }
        WarnResolution(record, entry.Resolution);
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

void FillTableExposureDefaults(CalibrationTable& table) {
    for (int index = 0; index < kResolutionSlots; ++index) {
        if (table.ResolutionPresent[index] == 1 && !HasExposureValues(table.Resolution[index])) {
            FillExposureDefaults(table.Resolution[index]);
        }
    }
}

void LoadTableFile(const std::string& path, CalibrationTable& table,
                   std::optional<platform::FileTimes>* times) {
    // The file closes when it goes out of scope, on every path.
    platform::InFile file;
    if (!file.Open(path)) AbortWithMessage("Error opening ZTB file");
    FileTableSource source(file);
    ReadTable(source, table);
    FillTableExposureDefaults(table);
    if (times != nullptr) {
        platform::FileTimes read;
        *times = file.GetTimes(read) ? std::optional<platform::FileTimes>(read) : std::nullopt;
    }
}

void LoadTableFromMemory(std::span<const unsigned char> bytes, CalibrationTable& table) {
    MemoryTableSource source(bytes);
    ReadTable(source, table);
    FillTableExposureDefaults(table);
}
