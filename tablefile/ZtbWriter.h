// Builds ZTB table files field by field, for tests, the fuzz corpus and the
// demo. The caller edits host-order ZTBHeader and ZTBResolutionT values; the
// writer encodes every field big-endian by the same field lists the loader
// decodes by (ByteOrder.h), lays out the directory and places the records
// where it is told. It never checks anything: a test can make any fault it
// wants.
//
//   ZtbWriter writer("Ekta 100 v2.1", 1002);
//   writer.AddRecord(1).FilmGamma = 3000;     // a valid record, then one fault
//   writer.SetLayout(ZtbWriter::Layout::Reverse);
//   std::vector<unsigned char> bytes = writer.Build();
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "tablefile/ZtbFormat.h"

// A valid header: the ID string, HeaderVersion 1, the device type, the title
// (at most 48 bytes; a 48-byte title has no NUL inside the field), Type and
// Size 0, NumResolutions 0.
ZTBHeader MakeValidHeader(std::string_view title, std::int16_t deviceType = 1002);

// A record valid for resolution index r (0 to 2; index 3 can never be valid
// and gets DevXSize 8192) and deviceType, with base film 1, balances
// 100/100/100 and non-empty exposure values, so loading it fills nothing.
ZTBResolutionT MakeValidRecord(int r, std::int16_t deviceType = 1002);

// Empties a record's exposure values and BackType, so the loader fills them
// from the base film light table.
void ClearExposureValues(ZTBResolutionT& record);

class ZtbWriter {
public:
    enum class Layout {
        Packed,   // records after the directory, in the order they were added
        Reverse,  // the same places, the last record added first
    };

    // What the directory entry of a record says, where it differs from the
    // truth. Unset fields are filled in: the record's resolution index, 1614
    // and the offset where the record is placed.
    struct EntryOverride {
        std::optional<std::int16_t> Resolution;
        std::optional<std::int16_t> Length;
        std::optional<std::uint32_t> Offset;
    };

    explicit ZtbWriter(std::string_view title = "Test table", std::int16_t deviceType = 1002);

    // The header in host order. NumResolutions is ignored here: Build writes
    // the number of records added unless SetNumResolutions overrides it.
    ZTBHeader& Header() { return header_; }

    // Adds a record valid for index r (MakeValidRecord with the header's
    // device type) and returns it for editing. Records get directory
    // entries in the order they are added.
    ZTBResolutionT& AddRecord(int r);
    // Adds the given record under directory index r.
    ZTBResolutionT& AddRecord(int r, const ZTBResolutionT& record);

    std::size_t RecordCount() const { return records_.size(); }
    ZTBResolutionT& Record(std::size_t k) { return records_.at(k).record; }
    EntryOverride& Entry(std::size_t k) { return records_.at(k).entry; }

    // Places record k's bytes at an absolute offset (its directory entry
    // points there unless overridden). The file grows as needed; records may
    // overlap the header, the directory or each other, later ones written
    // over earlier ones. Placed records leave the layout sequence.
    void PlaceAt(std::size_t k, std::uint32_t offset) { records_.at(k).placedAt = offset; }

    void SetLayout(Layout layout) { layout_ = layout; }
    // Unused bytes before each record of the layout sequence.
    void SetGap(std::size_t bytes, unsigned char fill = 0xA5) {
        gap_ = bytes;
        gapFill_ = fill;
    }
    // Bytes appended after everything else.
    void SetTrailingBytes(std::size_t count, unsigned char fill = 0x5A) {
        trailing_ = count;
        trailingFill_ = fill;
    }
    // The header's NumResolutions, independently of the records written.
    void SetNumResolutions(std::int16_t count) { numResolutions_ = count; }
    // Raw bytes of the 40-byte ID field (at most 40; the rest become 0).
    void SetIdBytes(std::span<const unsigned char> bytes);

    std::vector<unsigned char> Build() const;
    bool WriteTo(const std::string& path) const;

private:
    struct RecordSlot {
        int resolution;
        ZTBResolutionT record;
        EntryOverride entry;
        std::optional<std::uint32_t> placedAt;
    };

    // Where Build places each record, computed once per build.
    std::vector<std::uint32_t> Offsets() const;

    ZTBHeader header_;
    std::vector<RecordSlot> records_;
    Layout layout_ = Layout::Packed;
    std::size_t gap_ = 0;
    unsigned char gapFill_ = 0xA5;
    std::size_t trailing_ = 0;
    unsigned char trailingFill_ = 0x5A;
    std::optional<std::int16_t> numResolutions_;
};

// Writes a valid table with the given title and device type (one record for
// resolution index 0) to path and, when times are given, sets the file's
// times to them. False when the file could not be written or its times set.
bool WriteTableFile(const std::string& path, std::string_view title, std::int16_t deviceType = 1002,
    const std::optional<platform::FileTimes>& times = std::nullopt);
