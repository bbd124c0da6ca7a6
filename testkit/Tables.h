// Table files in test folders, made with the project's writer and given
// chosen file times, and a program folder with a Windows directory around
// them.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "catalogue/CatalogueEntry.h"
#include "catalogue/Folders.h"
#include "platform/FileSystem.h"
#include "tablefile/ErrorAbort.h"
#include "tablefile/ZtbWriter.h"
#include "testkit/Files.h"
#include "testkit/TempFolder.h"

// A UTC calendar time as a Windows file time (100 ns units since 1601).
constexpr platform::FileTime UtcFileTime(int year, int month, int day, int hour, int minute, int second = 0) {
    const std::chrono::sys_days date{std::chrono::year{year} / month / day};
    const std::chrono::sys_days epoch{std::chrono::year{1601} / 1 / 1};
    const std::chrono::seconds sinceEpoch =
        date - epoch + std::chrono::hours{hour} + std::chrono::minutes{minute} + std::chrono::seconds{second};
    return static_cast<platform::FileTime>(sinceEpoch.count()) * 10000000u;
}

// The time test tables carry unless a test chooses another.
inline constexpr platform::FileTime kTableTime = UtcFileTime(1998, 7, 4, 9, 5);

// The bytes of a valid one-record table under the given title.
inline Bytes TableBytes(const std::string& title, std::int16_t deviceType = 1002) {
    ZtbWriter writer(title, deviceType);
    writer.AddRecord(0);
    return writer.Build();
}

// Writes a valid one-record table with all three times set to lastWrite;
// throws when it cannot.
inline void WriteTable(const std::string& path, const std::string& title, std::int16_t deviceType = 1002,
    platform::FileTime lastWrite = kTableTime) {
    const platform::FileTimes times{lastWrite, lastWrite, lastWrite};
    if (!WriteTableFile(path, title, deviceType, times)) throw std::runtime_error("cannot write the table " + path);
}

// A file whose ID string is wrong: the loader rejects it with
// "Illegal ZTB ID string".
inline void WriteDamagedTable(const std::string& path) {
    ZtbWriter writer("Damaged");
    writer.AddRecord(0);
    writer.SetIdBytes(Bytes{'N', 'o', 't', ' ', 'a', ' ', 't', 'a', 'b', 'l', 'e'});
    if (!writer.WriteTo(path)) throw std::runtime_error("cannot write the table " + path);
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

// The descriptions of entries, in entry order.
inline std::vector<std::string> Descriptions(const std::vector<CatalogueEntry>& entries) {
    std::vector<std::string> texts;
    for (const CatalogueEntry& entry : entries) texts.push_back(entry.Description);
    return texts;
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
    const TempFolder& Root() const { return temp_; }
    std::string Distribution(const std::string& name = "") const { return folders_.Distribution() + name; }
    std::string Installed(const std::string& name = "") const { return folders_.Installed() + name; }
    std::string Backup(const std::string& name = "") const { return folders_.Backup() + name; }

private:
    TempFolder temp_;
    CatalogueFolders folders_;
};
