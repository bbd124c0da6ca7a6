#include "install/BackUpInstalledTable.h"

#include <memory>
#include <optional>
#include <vector>

#include "install/VersionLabel.h"
#include "platform/FileSystem.h"
#include "tablefile/TableLoader.h"

namespace {

BackupResult Failed(std::string why) {
    BackupResult result;
    result.outcome = BackupOutcome::Failed;
    result.failure = std::move(why);
    return result;
}

// True when both files can be read and hold the same bytes.
bool SameBytes(const std::string& a, const std::string& b) {
    const std::optional<std::vector<unsigned char>> bytesA = platform::ReadWholeFile(a);
    if (!bytesA) return false;
    const std::optional<std::vector<unsigned char>> bytesB = platform::ReadWholeFile(b);
    return bytesB && *bytesA == *bytesB;
}

// The backup name and its numbered variants: "NAME", "NAME (2)", "NAME (3)", ...
std::string NumberedName(const std::string& name, int number) {
    if (number < 2) return name;
    return name + " (" + std::to_string(number) + ")";
}

}  // namespace

BackupResult BackUpInstalledTable(std::string fileName, std::string folder,
                                  std::string backupFolder) {
    const std::string installedPath = folder + fileName;
    if (!platform::PathExists(installedPath)) return {};

    if (!platform::PathExists(backupFolder) && !platform::CreateFolder(backupFolder)) {
        return Failed("the backup folder " + backupFolder + " could not be created");
    }

    // The full load, with all its checks; only the Title is used. An error
    // abort leaves here before anything has been moved or deleted.
    const auto table = std::make_unique<CalibrationTable>();
    LoadTableFile(installedPath, *table);
    const std::string backupName =
        backupFolder + BackupFileName(fileName, std::string(TitleText(table->Header)));

    // A taken name is never overwritten. When it already holds these very
    // bytes the installed copy is a duplicate and goes; otherwise the next
    // number is tried. The loop ends: every turn either returns or passes
    // a name that exists, and a folder holds finitely many names.
    for (int number = 1;; ++number) {
        BackupResult result;
        result.backupPath = NumberedName(backupName, number);
        const platform::Result moved = platform::MoveFileNoReplace(installedPath, result.backupPath);
        if (moved) {
            result.outcome = BackupOutcome::MovedToBackup;
            return result;
        }
        if (moved != platform::Outcome::NameTaken) {
            return Failed("it could not be moved to " + result.backupPath);
        }
        if (SameBytes(installedPath, result.backupPath)) {
            if (!platform::RemoveFile(installedPath)) {
                return Failed("it could not be deleted (a backup with the same content exists as " +
                              result.backupPath + ")");
            }
            result.outcome = BackupOutcome::DeletedDuplicate;
            return result;
        }
    }
}
