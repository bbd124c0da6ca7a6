// Loading one ZTB file into a CalibrationTable: read, convert, validate and
// complete empty exposure values. Any fault that makes the file unusable
// ends in the error abort (ErrorAbort.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include <optional>

#include "platform/FileSystem.h"
#include "tablefile/ZtbFormat.h"

// Where ReadTable takes its bytes from: an open file or a memory buffer.
class TableSource {
public:
    virtual ~TableSource() = default;
    // Reads up to size bytes at the current position; returns how many came.
    virtual std::size_t Read(void* buffer, std::size_t size) = 0;
    // Positions the source offset bytes from its start.
    virtual bool Seek(std::uint64_t offset) = 0;
    // The next size bytes, without a copy, when the source holds them in
    // memory, and moves past them; nullptr, without moving, when they have
    // to come through Read.
    virtual const unsigned char* ReadInPlace(std::size_t size) = 0;
};

// Reads the start of the file in one call and serves reads and seeks within
// it from memory; a table's header, directory and records normally all lie
// there. Only bytes beyond it are read from the file. The file must be
// freshly opened (at offset 0) and read through this source alone.
class FileTableSource : public TableSource {
public:
    // Bytes read at once from the start of a file opened at offset 0.
    static constexpr std::size_t kStartSize = 8 * 1024;

    explicit FileTableSource(platform::InFile& file) : file_(file) {}
    std::size_t Read(void* buffer, std::size_t size) override;
    bool Seek(std::uint64_t offset) override;
    const unsigned char* ReadInPlace(std::size_t size) override;

private:
    void ReadStart();

    platform::InFile& file_;
    unsigned char start_[kStartSize];
    std::size_t startSize_ = 0;  // how many bytes of start_ hold the file's
    bool startRead_ = false;
    std::uint64_t position_ = 0;
};

class MemoryTableSource : public TableSource {
public:
    explicit MemoryTableSource(std::span<const unsigned char> bytes) : bytes_(bytes) {}
    std::size_t Read(void* buffer, std::size_t size) override;
    bool Seek(std::uint64_t offset) override;
    const unsigned char* ReadInPlace(std::size_t size) override;

private:
    std::span<const unsigned char> bytes_;
    std::size_t position_ = 0;
};

// Reads header, directory and records into table, validating on the way.
void ReadTable(TableSource& source, CalibrationTable& table);

// Fills the empty exposure values of every present record, index 0 to 3.
void FillTableExposureDefaults(CalibrationTable& table);

// Loads, validates and completes the table file at path. When times is
// given, it receives the file's times, read from the same open handle, or
// nothing when they cannot be read.
void LoadTableFile(const std::string& path, CalibrationTable& table,
                   std::optional<platform::FileTimes>* times = nullptr);

// The same from bytes in memory.
void LoadTableFromMemory(std::span<const unsigned char> bytes, CalibrationTable& table);
