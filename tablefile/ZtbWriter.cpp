#include "tablefile/ZtbWriter.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "tablefile/ByteOrder.h"

namespace {

// Encodes each field it is given into the bytes that follow the last one.
class FieldWriter {
public:
    explicit FieldWriter(unsigned char* bytes) : next_(bytes) {}

    template <class Number>
    void operator()(const Number& number) {
        const auto value = static_cast<std::make_unsigned_t<Number>>(number);
        for (std::size_t i = 0; i < sizeof number; ++i) {
            next_[i] = static_cast<unsigned char>(value >> (8 * (sizeof number - 1 - i)));
        }
        next_ += sizeof number;
    }

    template <class Element, std::size_t N>
    void operator()(const Element (&elements)[N]) {
        if constexpr (sizeof(Element) == 1) {
            std::memcpy(next_, elements, N);
            next_ += N;
        } else {
            for (const Element& element : elements) (*this)(element);
        }
    }

private:
    unsigned char* next_;
};

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

std::vector<std::uint32_t> ZtbWriter::Offsets() const {
    // Placed records where they are placed; the others after the directory
    // in the layout's order, each after a gap.
    std::vector<std::uint32_t> offsets(records_.size());
    std::size_t at = kHeaderSize + records_.size() * kResInfoSize;
    for (std::size_t n = 0; n < records_.size(); ++n) {
        const std::size_t k = layout_ == Layout::Reverse ? records_.size() - 1 - n : n;
        if (records_[k].placedAt) {
            offsets[k] = *records_[k].placedAt;
            continue;
        }
        at += gap_;
        offsets[k] = static_cast<std::uint32_t>(at);
        at += kResolutionSize;
    }
    return offsets;
}

std::vector<unsigned char> ZtbWriter::Build() const {
    const std::vector<std::uint32_t> offsets = Offsets();
    std::vector<unsigned char> out(kHeaderSize + records_.size() * kResInfoSize, 0);
    ZTBHeader header = header_;
    header.NumResolutions = numResolutions_.value_or(static_cast<std::int16_t>(records_.size()));
    FieldWriter headerField(out.data());
    HeaderFields(header, headerField);
    for (std::size_t k = 0; k < records_.size(); ++k) {
        const EntryOverride& entry = records_[k].entry;
        const ResInfo written{entry.Resolution.value_or(static_cast<std::int16_t>(records_[k].resolution)),
            entry.Length.value_or(static_cast<std::int16_t>(kResolutionSize)), entry.Offset.value_or(offsets[k])};
        FieldWriter entryField(out.data() + kHeaderSize + k * kResInfoSize);
        ResInfoFields(written, entryField);
    }

    // Gaps first, so that explicitly placed records may lie over them.
    for (std::size_t k = 0; k < records_.size(); ++k) {
        if (records_[k].placedAt) continue;
        const std::size_t at = offsets[k];
        if (out.size() < at) out.resize(at, gapFill_);
        std::fill(out.begin() + static_cast<std::ptrdiff_t>(at - gap_), out.begin() + static_cast<std::ptrdiff_t>(at),
            gapFill_);
    }
    // Layout records, then placed records in the order they were added; the
    // file grows with zeros as needed.
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t k = 0; k < records_.size(); ++k) {
            if (records_[k].placedAt.has_value() != (pass == 1)) continue;
            if (out.size() < offsets[k] + kResolutionSize) out.resize(offsets[k] + kResolutionSize, 0);
            FieldWriter recordField(out.data() + offsets[k]);
            ResolutionFields(records_[k].record, recordField);
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
