// A folder image: the installed and distribution folders of one catalogue
// packed into a byte string, so that a fuzzer can mutate names, contents and
// file times together. The seed corpus generator encodes images, the folder
// fuzzer decodes them.
//
// Layout: one byte for the model (index into FilmRecorderModels, modulo
// 12), one byte of options, then up to kMaxImageFiles files, each:
//   flags (1 byte, FileFlag bits), name length (1 byte), name,
//   [last-write time: 4 bytes big-endian seconds after 1990-01-01 when
//   SetTime is set], content length (2 bytes big-endian), content.
// Decoding never fails: lengths are cut to what is left of the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

inline constexpr std::size_t kMaxImageFiles = 16;
inline constexpr std::size_t kMaxImageNameSize = 64;

enum ImageOption : std::uint8_t {
    RunOperations = 1 << 0,         // Add All, then Remove of every installed table
    NoInstalledFolder = 1 << 1,     // the installed folder is not created
    BackupFolderIsFile = 1 << 2,    // a file named "Backup" in the installed folder
};

enum FileFlag : std::uint8_t {
    InDistribution = 1 << 0,  // else in the installed folder
    MakeFolder = 1 << 1,      // a folder of that name instead of a file
    RawName = 1 << 2,         // the name as given, else letter + name + ".ztb"
    LowerCaseLetter = 1 << 3, // the model's letter in lower case
    SetTime = 1 << 4,         // the file gets the given last-write time
    InBackup = 1 << 5,        // in the backup folder (a backup made earlier)
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

FolderImage DecodeFolderImage(std::span<const unsigned char> bytes);
std::vector<unsigned char> EncodeFolderImage(const FolderImage& image);

// The model text the image names.
std::string ImageModelText(const FolderImage& image);

// The file name a file gets in its folder: the model's letter (in the case
// the flags ask for), the name and ".ztb", or the raw name; '/' and NUL
// become '_'. Empty for a name no folder can hold ("", ".", "..").
std::string FileNameFor(const FolderImage& image, const ImageFile& file);

// The file time of a file's secondsAfter1990.
platform::FileTime FileTimeFor(const ImageFile& file);
