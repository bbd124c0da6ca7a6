// Table files and folders for the catalogue and installation tests: tables
// made with the project's writer, with chosen file times, in a temporary
// program folder and Windows directory.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/Folders.h"
#include "platform/FileSystem.h"
#include "tablefile/ErrorAbort.h"
#include "tablefile/ZtbWriter.h"
#include "tests/support/TempFolder.h"

// A UTC calendar time as a Windows file time.
inline platform::FileTime UtcFileTime(int year, int month, int day, int hour, int minute,
                                      int second = 0) {
    // Days from 1601-01-01 to the date (proleptic Gregorian calendar).
    const int y = month <= 2 ? year - 1 : year;
    const int era = y / 400;
    const int yearOfEra = y - era * 400;
    const int monthIndex = (month + 9) % 12;
    const int dayOfYear = (153 * monthIndex + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const std::int64_t daysSince0000 = std::int64_t{era} * 146097 + dayOfEra;
    const std::int64_t daysTo1601 = 584694;  // 0000-03-01 to 1601-01-01
    const std::int64_t seconds =
        (daysSince0000 - daysTo1601) * 86400 + hour * 3600 + minute * 60 + second;
    return static_cast<platform::FileTime>(seconds) * 10000000u;
}

inline platform::FileTimes SameTimes(platform::FileTime time) {
    return platform::FileTimes{time, time, time};
}

// A valid table with one record; its three times set to lastWrite.
inline void WriteTable(const std::string& path, const std::string& title,
                       std::int16_t deviceType = 1002,
                       platform::FileTime lastWrite = UtcFileTime(1998, 7, 4, 9, 5)) {
    ASSERT_TRUE(WriteTableFile(path, title, deviceType, SameTimes(lastWrite))) << path;
}

// A file whose ID string is wrong: the loader rejects it with
// "Illegal ZTB ID string".
inline void WriteDamagedTable(const std::string& path, const std::string& title = "Damaged") {
    ZtbWriter writer(title);
    writer.AddRecord(0);
    const unsigned char id[] = {'N', 'o', 't', ' ', 'a', ' ', 't', 'a', 'b', 'l', 'e'};
    writer.SetIdBytes(id);
    ASSERT_TRUE(writer.WriteTo(path)) << path;
}

// The message of the error abort that action ends in, or "no abort".
template <class Action>
std::string AbortMessage(Action action) {
    try {
        action();
    } catch (const ErrorAbort& abort) {
        return abort.what();
    }
    return "no abort";
}

inline std::vector<unsigned char> FileBytes(const std::string& path) {
    return platform::ReadWholeFile(path).value_or(std::vector<unsigned char>{});
}

// The names in a folder, sorted; empty when it does not exist.
inline std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(folder, error)) {
        names.push_back(item.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A program folder with its "ZTB" distribution folder and a Windows
// directory with the installed folder, all in one temporary folder.
class CatalogueSetup {
public:
    explicit CatalogueSetup(bool withInstalledFolder = true) {
        folders_.programFolder = temp_.Path("Program") + platform::kPathSeparator;
        folders_.windowsFolder = temp_.Path("Windows");
        std::filesystem::create_directories(folders_.programFolder + "ZTB");
        std::filesystem::create_directories(folders_.windowsFolder);
        if (withInstalledFolder) std::filesystem::create_directories(folders_.Installed());
    }

    const CatalogueFolders& Folders() const { return folders_; }
    std::string Distribution(const std::string& name = "") const {
        return folders_.Distribution() + name;
    }
    std::string Installed(const std::string& name = "") const { return folders_.Installed() + name; }
    std::string Backup(const std::string& name = "") const { return folders_.Backup() + name; }

private:
    TempFolder temp_;
    CatalogueFolders folders_;
};
