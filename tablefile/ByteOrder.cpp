#include "tablefile/ByteOrder.h"

#include <cstring>

namespace {

// Decoding two bytes as big-endian gives the host value, whatever the
// host's byte order.
std::uint16_t BigEndian16(const unsigned char* bytes) {
    return static_cast<std::uint16_t>((bytes[0] << 8) | bytes[1]);
}

// A field converted in place holds its file bytes until then.
template <typename Field>
void Convert16(Field& field) {
    static_assert(sizeof(Field) == 2);
    unsigned char bytes[2];
    std::memcpy(bytes, &field, 2);
    field = static_cast<Field>(BigEndian16(bytes));
}

// Takes the numbers of a record one after the other from its file bytes.
class RecordBytes {
public:
    explicit RecordBytes(const unsigned char* bytes) : next_(bytes) {}

    template <typename Field>
    void Take(Field& field) {
        static_assert(sizeof(Field) == 2);
        field = static_cast<Field>(BigEndian16(next_));
        next_ += 2;
    }

    template <typename Field, std::size_t N>
    void Take(Field (&fields)[N]) {
        static_assert(sizeof(Field) == 2);
        for (std::size_t i = 0; i < N; ++i) fields[i] = static_cast<Field>(BigEndian16(next_ + 2 * i));
        next_ += 2 * N;
    }

    // The channel table's three blocks, one per channel, converted side by
    // side: each step takes one number from every block, so that an
    // optimising build converts more numbers per step.
    void TakeChannelBlocks(std::int16_t (&table)[kChannelTableSize]) {
        constexpr std::size_t kBlock = kChannelTableSize / 3;
        for (std::size_t i = 0; i < kBlock; ++i) {
            table[i] = static_cast<std::int16_t>(BigEndian16(next_ + 2 * i));
            table[i + kBlock] = static_cast<std::int16_t>(BigEndian16(next_ + 2 * (i + kBlock)));
            table[i + 2 * kBlock] = static_cast<std::int16_t>(BigEndian16(next_ + 2 * (i + 2 * kBlock)));
        }
        next_ += 2 * kChannelTableSize;
    }

    // Bytes that are not numbers, kept as they are.
    template <std::size_t N>
    void TakeBytes(unsigned char (&bytes)[N]) {
        std::memcpy(bytes, next_, N);
        next_ += N;
    }

private:
    const unsigned char* next_;
};

}  // namespace

void SwapHeader(ZTBHeader& header) {
    Convert16(header.HeaderVersion);
    Convert16(header.Reserved42);
    Convert16(header.DeviceType);
    Convert16(header.Type);
    Convert16(header.Size);
    Convert16(header.NumResolutions);
}

void DecodeResolution(const unsigned char bytes[kResolutionSize], ZTBResolutionT& record) {
    // In the order of the fields in the file.
    RecordBytes in(bytes);
    in.Take(record.Length);
    in.Take(record.ResVersion);
    in.Take(record.DevXSize);
    in.Take(record.DevYSize);
    in.Take(record.XMin);
    in.Take(record.YMin);
    in.Take(record.XMax);
    in.Take(record.YMax);
    in.Take(record.FilmGamma);
    in.Take(record.StdGamma);
    in.Take(record.DeviceType);
    in.Take(record.Resolution);
    in.Take(record.MirrorY);
    in.Take(record.Compatible.BaseFilmType);
    in.Take(record.Compatible.BlackAndWhite);
    in.Take(record.Compatible.Balance);
    in.TakeChannelBlocks(record.ChannelTable);
    in.Take(record.Intensity);
    in.Take(record.Repetition);
    in.Take(record.BackType);
    in.TakeBytes(record.Reserved1586);
    in.Take(record.Reserved1612);
}

void SwapResolution(CalibrationTable& table, int index) {
    // The slot holds the file's bytes: decode them from a copy.
    unsigned char bytes[kResolutionSize];
    std::memcpy(bytes, &table.Resolution[index], kResolutionSize);
    DecodeResolution(bytes, table.Resolution[index]);
}

ResInfo DecodeResInfo(const unsigned char bytes[kResInfoSize]) {
    ResInfo entry;
    entry.Resolution = static_cast<std::int16_t>(BigEndian16(bytes));
    entry.Length = static_cast<std::int16_t>(BigEndian16(bytes + 2));
    entry.Offset = (std::uint32_t{bytes[4]} << 24) | (std::uint32_t{bytes[5]} << 16) |
                   (std::uint32_t{bytes[6]} << 8) | std::uint32_t{bytes[7]};
    return entry;
}
