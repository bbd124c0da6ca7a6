#include "tablefile/TableSource.h"

#include <algorithm>
#include <cstring>

std::size_t MemoryTableSource::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    if (offset >= bytes_.size()) return 0;
    const std::size_t count = std::min<std::size_t>(size, bytes_.size() - offset);
    std::memcpy(buffer, bytes_.data() + offset, count);
    return count;
}

std::size_t FileTableSource::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    if (!startRead_) {
        startRead_ = true;
        if (file_.Seek(0)) startSize_ = file_.Read(start_, kReadAhead);
    }
    std::size_t count = 0;
    if (offset < startSize_) {
        count = std::min<std::size_t>(size, startSize_ - offset);
        std::memcpy(buffer, start_ + offset, count);
    }
    // A short read-ahead holds the whole file: nothing lies beyond it.
    if (count == size || startSize_ < kReadAhead) return count;
    if (!file_.Seek(offset + count)) return count;
    return count + file_.Read(static_cast<unsigned char*>(buffer) + count, size - count);
}
