// Where the loader takes a table's bytes from: reads at an offset, from a
// file or from memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/FileSystem.h"

class TableSource {
public:
    virtual ~TableSource() = default;
    // Reads up to size bytes at offset; returns how many came, fewer at the
    // end of the source or on a failed read.
    virtual std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) = 0;
    // The size in bytes; empty when it cannot be told.
    virtual std::optional<std::uint64_t> Size() const = 0;
};

class MemoryTableSource : public TableSource {
public:
    explicit MemoryTableSource(std::span<const unsigned char> bytes) : bytes_(bytes) {}
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override;
    std::optional<std::uint64_t> Size() const override { return bytes_.size(); }

private:
    std::span<const unsigned char> bytes_;
};

// An open file. Its first kReadAhead bytes come in one read, where a table's
// header, directory and records normally all lie; only reads beyond them go
// to the file again.
class FileTableSource : public TableSource {
public:
    static constexpr std::size_t kReadAhead = 8 * 1024;

    explicit FileTableSource(platform::InFile& file) : file_(file) {}
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override;
    std::optional<std::uint64_t> Size() const override { return file_.Size(); }

private:
    platform::InFile& file_;
    unsigned char start_[kReadAhead];
    std::size_t startSize_ = 0;  // how many bytes of start_ the file filled
    bool startRead_ = false;
};
