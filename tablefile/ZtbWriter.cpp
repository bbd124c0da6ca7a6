#include "tablefile/ZtbWriter.h"

#include <algorithm>
#include <cstring>

namespace {

// Big-endian stores at a byte offset of a buffer.
void Put16(std::vector<unsigned char>& out, std::size_t at, std::uint16_t value) {
    out[at] = static_cast<unsigned char>(value >> 8);
    out[at + 1] = static_cast<unsigned char>(value);
}

void Put32(std::vector<unsigned char>& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<unsigned char>(value >> 24);
    out[at + 1] = static_cast<unsigned char>(value >> 16);
    out[at + 2] = static_cast<unsigned char>(value >> 8);
    out[at + 3] = static_cast<unsigned char>(value);
}

void PutBytes(std::vector<unsigned char>& out, std::size_t at, const void* bytes, std::size_t size) {
    std::memcpy(out.data() + at, bytes, size);
}

// Writes bytes at an offset, growing the buffer with zeros when needed.
void Place(std::vector<unsigned char>& out, std::size_t at, const std::vector<unsigned char>& bytes) {
    if (out.size() < at + bytes.size()) out.resize(at + bytes.size(), 0);
    std::copy(bytes.begin(), bytes.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace

ZTBHeader MakeValidHeader(std::string_view title, std::int16_t deviceType) {
    ZTBHeader header{};
    std::memcpy(header.IdString, kZtbIdString, sizeof kZtbIdString);
    header.HeaderVersion = 1;
    header.DeviceType = deviceType;
    std::memcpy(header.Title, title.data(), std::min(title.size(), kTitleSize));
    return header;
}

ZTBResolutionT MakeValidRecord(int r, std::int16_t deviceType) {
    ZTBResolutionT record{};
    const int width = r >= 0 && r <= 2 ? 2048 << r : 8192;
    const int height = r >= 0 && r <= 2 ? 1366 << r : 8192;
    record.Length = static_cast<std::uint16_t>(kResolutionSize);
    record.ResVersion = 1;
    record.DevXSize = static_cast<std::int16_t>(width);
    record.DevYSize = static_cast<std::int16_t>(height);
    record.XMin = 0;
    record.YMin = 0;
    record.XMax = static_cast<std::int16_t>(width - 1);
    record.YMax = static_cast<std::int16_t>(height - 1);
    record.FilmGamma = 1800;
    record.StdGamma = 2200;
    record.DeviceType = deviceType;
    record.Resolution = static_cast<std::int16_t>(r);
    record.MirrorY = 0;
    record.Compatible.BaseFilmType = 1;
    record.Compatible.BlackAndWhite = 0;
    for (auto& balance : record.Compatible.Balance) balance = 100;
    // A ramp per channel, with values of both signs so byte order matters.
    for (int i = 0; i < kChannelTableSize; ++i) {
        record.ChannelTable[i] = static_cast<std::int16_t>((i % 256) * 97 - 12000);
    }
    const std::uint16_t intensity[3] = {3373, 2983, 2541};
    for (int c = 0; c < 3; ++c) {
        record.Intensity[c] = intensity[c];
        record.Repetition[c] = 1;
    }
    record.BackType = 0;
    return record;
}

void ClearExposureValues(ZTBResolutionT& record) {
    for (int c = 0; c < 3; ++c) {
        record.Intensity[c] = 0;
        record.Repetition[c] = 0;
    }
    record.BackType = 0;
}

std::vector<unsigned char> EncodeHeader(const ZTBHeader& header) {
    std::vector<unsigned char> out(kHeaderSize, 0);
    PutBytes(out, 0, header.IdString, sizeof header.IdString);
    Put16(out, 40, static_cast<std::uint16_t>(header.HeaderVersion));
    Put16(out, 42, static_cast<std::uint16_t>(header.Reserved42));
    Put16(out, 44, static_cast<std::uint16_t>(header.DeviceType));
    PutBytes(out, 46, header.Reserved46, sizeof header.Reserved46);
    PutBytes(out, 78, header.Title, sizeof header.Title);
    Put16(out, 126, static_cast<std::uint16_t>(header.Type));
    Put16(out, 128, static_cast<std::uint16_t>(header.Size));
    PutBytes(out, 130, header.Reserved130, sizeof header.Reserved130);
    Put16(out, 170, static_cast<std::uint16_t>(header.NumResolutions));
    return out;
}

std::vector<unsigned char> EncodeRecord(const ZTBResolutionT& record) {
    std::vector<unsigned char> out(kResolutionSize, 0);
    const std::int16_t fields[] = {static_cast<std::int16_t>(record.Length), record.ResVersion, record.DevXSize,
        record.DevYSize, record.XMin, record.YMin, record.XMax, record.YMax, record.FilmGamma, record.StdGamma,
        record.DeviceType, record.Resolution, record.MirrorY, record.Compatible.BaseFilmType,
        record.Compatible.BlackAndWhite, record.Compatible.Balance[0], record.Compatible.Balance[1],
        record.Compatible.Balance[2]};
    std::size_t at = 0;
    for (std::int16_t field : fields) {
        Put16(out, at, static_cast<std::uint16_t>(field));
        at += 2;
    }
    for (std::int16_t value : record.ChannelTable) {
        Put16(out, at, static_cast<std::uint16_t>(value));
        at += 2;
    }
    for (std::uint16_t value : record.Intensity) {
        Put16(out, at, value);
        at += 2;
    }
    for (std::uint16_t value : record.Repetition) {
        Put16(out, at, value);
        at += 2;
    }
    Put16(out, 1584, static_cast<std::uint16_t>(record.BackType));
    PutBytes(out, 1586, record.Reserved1586, sizeof record.Reserved1586);
    Put16(out, 1612, static_cast<std::uint16_t>(record.Reserved1612));
    return out;
}

ZtbWriter::ZtbWriter(std::string_view title, std::int16_t deviceType) : header_(MakeValidHeader(title, deviceType)) {}

ZTBResolutionT& ZtbWriter::AddRecord(int r) { return AddRecord(r, MakeValidRecord(r, header_.DeviceType)); }

ZTBResolutionT& ZtbWriter::AddRecord(int r, const ZTBResolutionT& record) {
    records_.push_back(RecordSlot{r, record, {}, std::nullopt});
    return records_.back().record;
}

void ZtbWriter::SetIdBytes(std::span<const unsigned char> bytes) {
    std::memset(header_.IdString, 0, sizeof header_.IdString);
    std::memcpy(header_.IdString, bytes.data(), std::min(bytes.size(), sizeof header_.IdString));
}

std::size_t ZtbWriter::DirectoryEnd() const { return kHeaderSize + records_.size() * kResInfoSize; }

std::uint32_t ZtbWriter::RecordOffset(std::size_t k) const {
    const RecordSlot& slot = records_.at(k);
    if (slot.placedAt) return *slot.placedAt;
    // The layout sequence: records not placed explicitly, in the layout's
    // order, each after a gap.
    std::vector<std::size_t> sequence;
    for (std::size_t i = 0; i < records_.size(); ++i) {
        if (!records_[i].placedAt) sequence.push_back(i);
    }
    if (layout_ == Layout::Reverse) std::reverse(sequence.begin(), sequence.end());
    std::size_t at = DirectoryEnd();
    for (std::size_t i : sequence) {
        at += gap_;
        if (i == k) break;
        at += kResolutionSize;
    }
    return static_cast<std::uint32_t>(at);
}

std::vector<unsigned char> ZtbWriter::Build() const {
    ZTBHeader header = header_;
    header.NumResolutions = numResolutions_.value_or(static_cast<std::int16_t>(records_.size()));
    std::vector<unsigned char> out = EncodeHeader(header);
    out.resize(DirectoryEnd(), 0);

    for (std::size_t k = 0; k < records_.size(); ++k) {
        const RecordSlot& slot = records_[k];
        const std::size_t at = kHeaderSize + k * kResInfoSize;
        Put16(out, at,
            static_cast<std::uint16_t>(slot.entry.Resolution.value_or(static_cast<std::int16_t>(slot.resolution))));
        Put16(out, at + 2,
            static_cast<std::uint16_t>(slot.entry.Length.value_or(static_cast<std::int16_t>(kResolutionSize))));
        Put32(out, at + 4, slot.entry.Offset.value_or(RecordOffset(k)));
    }

    // Gaps first, so that explicitly placed records may lie over them.
    for (std::size_t k = 0; k < records_.size(); ++k) {
        if (records_[k].placedAt) continue;
        const std::size_t at = RecordOffset(k);
        if (out.size() < at) out.resize(at, gapFill_);
        std::fill(out.begin() + static_cast<std::ptrdiff_t>(at - gap_), out.begin() + static_cast<std::ptrdiff_t>(at),
            gapFill_);
    }
    // Layout records, then placed records in the order they were added.
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t k = 0; k < records_.size(); ++k) {
            if (records_[k].placedAt.has_value() != (pass == 1)) continue;
            Place(out, RecordOffset(k), EncodeRecord(records_[k].record));
        }
    }
    out.insert(out.end(), trailing_, trailingFill_);
    return out;
}

bool ZtbWriter::WriteTo(const std::string& path) const {
    return static_cast<bool>(platform::WriteWholeFile(path, Build()));
}

bool WriteTableFile(const std::string& path, std::string_view title, std::int16_t deviceType,
    const std::optional<platform::FileTimes>& times) {
    ZtbWriter writer(title, deviceType);
    writer.AddRecord(0);
    if (!writer.WriteTo(path)) return false;
    if (!times) return true;
    platform::OutFile file;
    if (!file.OpenExisting(path)) return false;
    const bool timesSet = static_cast<bool>(file.SetTimes(*times));
    return file.Close() && timesSet;
}
