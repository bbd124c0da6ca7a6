// A folder image: the installed and distribution folders of one catalogue
// packed into a byte string, so that a fuzzer can mutate names, contents and
// file times together. The seed corpus generator encodes images, the folder
// fuzzer decodes them.
//
// Layout: one byte for the model (index into kFilmRecorderModels, modulo
// 12), one byte of options, then up to kMaxImageFiles files, each:
//   flags (1 byte, FileFlag bits), name length (1 byte), name,
//   [last-write time: 4 bytes big-endian seconds after 1990-01-01 when
//   SetTime is set], content length (2 bytes big-endian), content.
// Decoding never fails: past the end of the input every number reads as 0
// and every run is cut short.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "catalogue/FilmRecorderModels.h"
#include "platform/FileSystem.h"

inline constexpr std::size_t kMaxImageFiles = 16;
inline constexpr std::size_t kMaxImageNameSize = 64;

enum ImageOption : std::uint8_t {
    RunOperations = 1 << 0,       // Add All, then Remove of every installed table
    NoInstalledFolder = 1 << 1,   // the installed folder is not created
    BackupFolderIsFile = 1 << 2,  // a file named "Backup" in the installed folder
};

enum FileFlag : std::uint8_t {
    InDistribution = 1 << 0,   // else in the installed folder
    MakeFolder = 1 << 1,       // a folder of that name instead of a file
    RawName = 1 << 2,          // the name as given, else letter + name + ".ztb"
    LowerCaseLetter = 1 << 3,  // the model's letter in lower case
    SetTime = 1 << 4,          // the file gets the given last-write time
    InBackup = 1 << 5,         // in the backup folder (a backup made earlier)
};

struct ImageFile {
    std::uint8_t flags = 0;
    std::string name;  // as given; see FileNameFor
    std::uint32_t secondsAfter1990 = 0;
    std::vector<unsigned char> content;
};

struct FolderImage {
    std::uint8_t model = 4;  // "Orvane A"
    std::uint8_t options = 0;
    std::vector<ImageFile> files;
};

inline FolderImage DecodeFolderImage(std::span<const unsigned char> bytes) {
    std::size_t at = 0;
    auto number = [&](int size) {
        std::uint32_t value = 0;
        for (int k = 0; k < size; ++k) value = value << 8 | (at < bytes.size() ? bytes[at++] : 0u);
        return value;
    };
    auto run = [&](std::size_t size) {
        const std::size_t start = std::min(at, bytes.size());
        at = start + std::min(size, bytes.size() - start);
        return std::vector<unsigned char>(bytes.begin() + start, bytes.begin() + at);
    };
    FolderImage image;
    image.model = static_cast<std::uint8_t>(number(1) % kFilmRecorderModels.size());
    image.options = static_cast<std::uint8_t>(number(1));
    while (at < bytes.size() && image.files.size() < kMaxImageFiles) {
        ImageFile& file = image.files.emplace_back();
        file.flags = static_cast<std::uint8_t>(number(1));
        const std::vector<unsigned char> name = run(std::min<std::size_t>(number(1), kMaxImageNameSize));
        file.name.assign(name.begin(), name.end());
        if (file.flags & SetTime) file.secondsAfter1990 = number(4);
        file.content = run(number(2));
    }
    return image;
}

inline std::vector<unsigned char> EncodeFolderImage(const FolderImage& image) {
    std::vector<unsigned char> out = {image.model, image.options};
    auto number = [&](std::size_t value, int size) {
        while (size-- > 0) out.push_back(static_cast<unsigned char>(value >> (8 * size)));
    };
    // Names of at most kMaxImageNameSize bytes, contents of at most 65535.
    for (const ImageFile& file : image.files) {
        number(file.flags, 1);
        number(file.name.size(), 1);
        out.insert(out.end(), file.name.begin(), file.name.end());
        if (file.flags & SetTime) number(file.secondsAfter1990, 4);
        number(file.content.size(), 2);
        out.insert(out.end(), file.content.begin(), file.content.end());
    }
    return out;
}

inline std::string ImageModelText(const FolderImage& image) {
    return kFilmRecorderModels[image.model % kFilmRecorderModels.size()].modelText;
}

// The file name a file gets in its folder: the model's letter (in the case
// the flags ask for), the name and ".ztb", or the raw name; '/' and NUL
// become '_'. Empty for a name no folder can hold ("", ".", "..").
inline std::string FileNameFor(const FolderImage& image, const ImageFile& file) {
    std::string name = file.name;
    if (!(file.flags & RawName)) {
        const char letter = ModelFilePrefix(ImageModelText(image))[0];
        name = static_cast<char>(file.flags & LowerCaseLetter ? letter - 'A' + 'a' : letter) + name + ".ztb";
    }
    std::replace(name.begin(), name.end(), '/', '_');
    std::replace(name.begin(), name.end(), '\0', '_');
    return name == "." || name == ".." ? std::string() : name;
}

// The file time of a file's secondsAfter1990: 1990-01-01 is this many
// seconds after 1601-01-01, and a file time counts 10^7 units a second.
inline platform::FileTime FileTimeFor(const ImageFile& file) {
    return (11644473600ULL + 631152000ULL + file.secondsAfter1990) * 10000000ULL;
}
