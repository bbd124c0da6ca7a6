// Files in test folders: written, read and listed with the standard library
// only, so a check never relies on the layer it checks; file times through
// the platform layer.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "platform/FileSystem.h"

using Bytes = std::vector<unsigned char>;

// Whether the tests run as the Windows program.
#ifdef _WIN32
inline constexpr bool kWindows = true;
#else
inline constexpr bool kWindows = false;
#endif

// No system hands this process id out: Windows ids are small multiples of
// 4, and Linux ids stay below its pid_max, at most 2^22.
inline constexpr std::uint32_t kNeverAProcess = 4'000'000'001u;

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A file's bytes; empty when it cannot be read.
inline Bytes ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string ReadText(const std::filesystem::path& path) {
    const Bytes bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// A path in UTF-8 with '/' separators, as the platform layer takes paths
// (on Windows the standard library's narrow texts are in the ANSI code page).
inline std::string Utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.generic_u8string();
    return std::string(text.begin(), text.end());
}

// The names in a folder as stored; empty when it does not exist.
inline std::set<std::string> NamesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        names.insert(Utf8Of(entry.path().filename()));
    }
    return names;
}

// The three times of a file; all 0 when they cannot be read.
inline platform::FileTimes TimesOf(const std::string& path) {
    platform::InFile file;
    platform::FileTimes times;
    if (!file.Open(path) || !file.GetTimes(times)) return {};
    return times;
}

// Sets a file's times (a zero time leaves that one as it is).
inline bool SetTimesOf(const std::string& path, const platform::FileTimes& times) {
    platform::OutFile file;
    return file.OpenExisting(path) && file.SetTimes(times) && file.Close();
}
