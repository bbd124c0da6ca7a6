// The backed-up tables of a model: the files in the backup folder named
// "FILE, vLABEL" or "FILE, vLABEL (n)" whose FILE the model's scans would
// take (its letter, ".ztb").
#pragma once

#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "tablefile/LoadReport.h"

struct BackupEntry {
    std::string BackupName{};          // the backup's own file name
    std::string FileName{};            // the installed name it restores to
    std::string Label{};               // the version label, without the " (n)"
    std::string Description{};         // the table's Title; empty when it cannot be loaded
    std::string DateText{};            // as the scans write it; empty when it cannot be loaded
    bool SameAsInstalled = false;      // the installed copy of FileName holds the same bytes
    std::string Error{};               // the loader's message for a damaged backup, else empty
    platform::FileTime LastWrite = 0;  // 0 when unknown
};

// The single row the backup list shows when there is no backup.
inline constexpr const char* kNoBackupsPlaceholder = "No backed-up ZTB's for this film recorder";

// Every backup of the model in backupFolder, each loaded; a damaged one is
// listed with its message. Sorted by file name (A-Z folded), then newest
// first. A missing backup folder holds none; one that cannot be read ends
// in the error abort. The loader reports to report.
std::vector<BackupEntry> ScanBackups(const std::string& backupFolder, const std::string& installedFolder,
    const std::string& modelText, const LoadReport& report = {});
