// The ZTB calibration table file format: a 172-byte header, a directory of
// up to four 8-byte ResInfo entries at offset 172, and one 1614-byte
// ZTBResolutionT record per entry at the offset the entry names. Numbers are
// big-endian in the file; these structures mirror the file byte for byte and
// hold the numbers in host order once ByteOrder.h has converted them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

inline constexpr std::size_t kHeaderSize = 172;
inline constexpr std::size_t kResInfoSize = 8;
inline constexpr std::size_t kResolutionSize = 1614;
inline constexpr int kResolutionSlots = 4;
inline constexpr int kMaxNumResolutions = 4;
inline constexpr std::size_t kTitleSize = 48;
inline constexpr char kZtbIdString[] = "Corvantigraph Film Calibration Table";

struct ZTBHeader {
    char IdString[40];
    std::int16_t HeaderVersion;
    std::int16_t Reserved42;  // not interpreted
    std::int16_t DeviceType;
    unsigned char Reserved46[32];  // not interpreted
    char Title[kTitleSize];        // NUL-ended inside the field, usually
    std::int16_t Type;
    std::int16_t Size;
    unsigned char Reserved130[40];  // not interpreted
    std::int16_t NumResolutions;
};
static_assert(sizeof(ZTBHeader) == kHeaderSize);

// Directory entry, decoded field by field as it is used.
struct ResInfo {
    std::int16_t Resolution;
    std::int16_t Length;
    std::uint32_t Offset;
};

struct ZTBCompatible {
    std::int16_t BaseFilmType;
    std::int16_t BlackAndWhite;
    std::int16_t Balance[3];
};

inline constexpr int kChannelTableSize = 768;

struct ZTBResolutionT {
    std::uint16_t Length;
    std::int16_t ResVersion;
    std::int16_t DevXSize;
    std::int16_t DevYSize;
    std::int16_t XMin;
    std::int16_t YMin;
    std::int16_t XMax;
    std::int16_t YMax;
    std::int16_t FilmGamma;
    std::int16_t StdGamma;
    std::int16_t DeviceType;
    std::int16_t Resolution;
    std::int16_t MirrorY;
    ZTBCompatible Compatible;
    std::int16_t ChannelTable[kChannelTableSize];
    std::uint16_t Intensity[3];
    std::uint16_t Repetition[3];
    std::int16_t BackType;
    unsigned char Reserved1586[26];  // not interpreted, not converted
    std::int16_t Reserved1612;       // not interpreted
};
static_assert(sizeof(ZTBResolutionT) == kResolutionSize);

// One loaded table file.
struct CalibrationTable {
    ZTBHeader Header;
    std::int32_t ResolutionPresent[kResolutionSlots];
    ZTBResolutionT Resolution[kResolutionSlots];
};

// The header's Title as a text: up to its NUL, at most 48 characters.
std::string_view TitleText(const ZTBHeader& header);
