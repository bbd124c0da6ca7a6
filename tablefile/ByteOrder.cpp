#include "tablefile/ByteOrder.h"

#include <cstring>

namespace {

// Takes the fields of a structure one after the other from its file bytes.
class FieldBytes {
public:
    explicit FieldBytes(const unsigned char* bytes) : next_(bytes) {}

    template <typename Field>
    void Take(Field& field) {
        static_assert(sizeof(Field) == 2);
        field = static_cast<Field>((next_[0] << 8) | next_[1]);
        next_ += 2;
    }

    template <typename Field, std::size_t N>
    void Take(Field (&fields)[N]) {
        static_assert(sizeof(Field) == 2);
        for (std::size_t i = 0; i < N; ++i) fields[i] = static_cast<Field>((next_[2 * i] << 8) | next_[2 * i + 1]);
        next_ += 2 * N;
    }

    std::uint32_t Take32() {
        const std::uint32_t value = (std::uint32_t{next_[0]} << 24) | (std::uint32_t{next_[1]} << 16) |
                                    (std::uint32_t{next_[2]} << 8) | std::uint32_t{next_[3]};
        next_ += 4;
        return value;
    }

    // Texts and bytes that are not numbers, kept as they are.
    template <typename Byte, std::size_t N>
    void TakeBytes(Byte (&bytes)[N]) {
        static_assert(sizeof(Byte) == 1);
        std::memcpy(bytes, next_, N);
        next_ += N;
    }

private:
    const unsigned char* next_;
};

}  // namespace

ZTBHeader DecodeHeader(const unsigned char bytes[kHeaderSize]) {
    ZTBHeader header;
    FieldBytes in(bytes);
    in.TakeBytes(header.IdString);
    in.Take(header.HeaderVersion);
    in.Take(header.Reserved42);
    in.Take(header.DeviceType);
    in.TakeBytes(header.Reserved46);
    in.TakeBytes(header.Title);
    in.Take(header.Type);
    in.Take(header.Size);
    in.TakeBytes(header.Reserved130);
    in.Take(header.NumResolutions);
    return header;
}

ResInfo DecodeResInfo(const unsigned char bytes[kResInfoSize]) {
    ResInfo entry;
    FieldBytes in(bytes);
    in.Take(entry.Resolution);
    in.Take(entry.Length);
    entry.Offset = in.Take32();
    return entry;
}

void DecodeResolution(const unsigned char bytes[kResolutionSize], ZTBResolutionT& record) {
    FieldBytes in(bytes);
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
    in.Take(record.ChannelTable);
    in.Take(record.Intensity);
    in.Take(record.Repetition);
    in.Take(record.BackType);
    in.TakeBytes(record.Reserved1586);
    in.Take(record.Reserved1612);
}
