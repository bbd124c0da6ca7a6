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
        startSize_ = file_.ReadAt(0, start_, kReadAhead);
    }
    std::size_t count = 0;
    if (offset < startSize_) {
        count = std::min<std::size_t>(size, startSize_ - offset);
        std::memcpy(buffer, start_ + offset, count);
    }
    // A short read-ahead holds the whole file: nothing lies beyond it.
    if (count == size || startSize_ < kReadAhead) return count;
    return count + file_.ReadAt(offset + count, static_cast<unsigned char*>(buffer) + count, size - count);
}
