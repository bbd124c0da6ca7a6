#include "tablefile/ByteOrder.h"

#include <cstring>

namespace {

// Each field holds its file bytes until converted; decoding them as
// big-endian gives the host value, whatever the host's byte order.
template <typename Field>
void Convert16(Field& field) {
    static_assert(sizeof(Field) == 2);
    unsigned char bytes[2];
    std::memcpy(bytes, &field, 2);
    const auto value = static_cast<std::uint16_t>((bytes[0] << 8) | bytes[1]);
    field = static_cast<Field>(value);
}

template <typename Field, std::size_t N>
void Convert16(Field (&fields)[N]) {
    for (Field& field : fields) Convert16(field);
}

}  // namespace

void SwapHeader(ZTBHeader& header) {
    Convert16(header.HeaderVersion);
    Convert16(header.Reserved42);
    Convert16(header.DeviceType);
    Convert16(header.Type);
    Convert16(header.Size);
    Convert16(header.NumResolutions);
}

void SwapResolution(CalibrationTable& table, int index) {
    ZTBResolutionT& record = table.Resolution[index];
    Convert16(record.Length);
    Convert16(record.ResVersion);
    Convert16(record.DevXSize);
    Convert16(record.DevYSize);
    Convert16(record.XMin);
    Convert16(record.YMin);
    Convert16(record.XMax);
    Convert16(record.YMax);
    Convert16(record.FilmGamma);
    Convert16(record.StdGamma);
    Convert16(record.DeviceType);
    Convert16(record.Resolution);
    Convert16(record.MirrorY);
    Convert16(record.Compatible.BaseFilmType);
    Convert16(record.Compatible.BlackAndWhite);
    Convert16(record.Compatible.Balance);
    Convert16(record.ChannelTable);
    Convert16(record.Intensity);
    Convert16(record.Repetition);
    Convert16(record.BackType);
    // Reserved1586 is not a number and stays as read.
    Convert16(record.Reserved1612);
}

ResInfo DecodeResInfo(const unsigned char bytes[kResInfoSize]) {
    ResInfo entry;
    entry.Resolution = static_cast<std::int16_t>((bytes[0] << 8) | bytes[1]);
    entry.Length = static_cast<std::int16_t>((bytes[2] << 8) | bytes[3]);
    entry.Offset = (std::uint32_t{bytes[4]} << 24) | (std::uint32_t{bytes[5]} << 16) |
                   (std::uint32_t{bytes[6]} << 8) | std::uint32_t{bytes[7]};
    return entry;
}
