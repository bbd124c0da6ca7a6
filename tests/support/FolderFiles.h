// Small files in test folders: written, read and listed with the standard
// library only, so a check never relies on the layer it checks; file times
// through the platform layer.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <system_error>

#include "platform/FileSystem.h"

inline void WriteText(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The names in a folder as stored; empty when it does not exist.
inline std::set<std::string> NamesIn(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// The three times of a file; all 0 when they cannot be read.
inline platform::FileTimes TimesOf(const std::string& path)
{
    platform::InFile file;
    platform::FileTimes times;
    if (!file.Open(path) || !file.GetTimes(times)) return {};
    return times;
}

// Sets a file's times (a zero time leaves that one as it is).
inline bool SetTimesOf(const std::string& path, const platform::FileTimes& times)
{
    platform::OutFile file;
    return file.OpenExisting(path) && file.SetTimes(times) && file.Close();
}
