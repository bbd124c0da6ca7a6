#include "install/BackUpInstalledTable.h"

#include <memory>
#include <string>

#include "catalogue/BackupList.h"
#include "install/TemporaryCopies.h"
#include "install/VersionLabel.h"
#include "platform/FileSystem.h"
#include "tablefile/TableLoader.h"

namespace {

BackupResult Failed(std::string why, platform::Result result) {
    BackupResult failed;
    failed.outcome = BackupOutcome::Failed;
    failed.failure = std::move(why) + ": " + platform::OutcomeText(result.outcome());
    return failed;
}

// The backup name and its numbered variants: "NAME", "NAME (2)", "NAME (3)", ...
std::string NumberedName(const std::string& name, int number) {
    if (number < 2) return name;
    return name + " (" + std::to_string(number) + ")";
}

}  // namespace

BackupResult BackUpInstalledTable(std::string fileName, std::string folder, std::string backupFolder, BackupKind kind) {
    const std::string installedPath = folder + fileName;
    if (const platform::Result found = platform::PathStatus(installedPath); !found) {
        if (found == platform::Outcome::NotFound) return {};
        return Failed("it cannot be reached", found);
    }

    if (!platform::PathExists(backupFolder)) {
        if (const platform::Result created = platform::CreateFolder(backupFolder); !created) {
            return Failed("the backup folder " + backupFolder + " could not be created", created);
        }
    }

    // The full load, with all its checks; only the Title is used. An error
    // abort leaves here before anything has been made, moved or deleted.
    const auto table = std::make_unique<CalibrationTable>();
    LoadTableFile(installedPath, *table);
    const std::string backupName = backupFolder + BackupFileName(fileName, std::string(TitleText(table->Header)));

    // What takes the backup name: a copy under a temporary name, or the
    // installed copy itself; either is on the disk before it is named.
    std::string source = installedPath;
    if (kind == BackupKind::Copy) {
        if (const platform::Result copied = CopyToTemporary(installedPath, folder, source); !copied) {
            return Failed("it could not be copied", copied);
        }
    } else if (const platform::Result flushed = platform::FlushFile(installedPath); !flushed) {
        return Failed("it could not be written to the disk", flushed);
    }

    // A taken name is never overwritten. When it already holds these very
    // bytes nothing more is needed, and what would have gone there goes;
    // otherwise the next number is tried. The loop ends: every turn either
    // returns or passes a name that exists, and a folder holds finitely
    // many names.
    for (int number = 1;; ++number) {
        BackupResult result;
        result.backupPath = NumberedName(backupName, number);
        const platform::Result moved = platform::MoveFileToNameFreeInAnyCase(source, result.backupPath);
        if (moved) {
            result.outcome = BackupOutcome::BackedUp;
            return result;
        }
        if (moved != platform::Outcome::NameTaken) {
            if (kind == BackupKind::Copy) platform::RemoveFile(source);
            return Failed("it could not be moved to " + result.backupPath, moved);
        }
        if (SameFileContent(source, result.backupPath)) {
            // A temporary copy left behind is swept by a later operation.
            const platform::Result removed = platform::RemoveFile(source);
            if (!removed && kind == BackupKind::Move) {
                return Failed(
                    "it could not be deleted (a backup with the same content exists as " + result.backupPath + ")",
                    removed);
            }
            result.outcome = BackupOutcome::AlreadyBackedUp;
            return result;
        }
    }
}
