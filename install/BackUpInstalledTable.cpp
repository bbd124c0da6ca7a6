#include "install/BackUpInstalledTable.h"

#include <memory>
#include <string>

#include "install/TemporaryCopies.h"
#include "install/VersionLabel.h"
#include "platform/FileSystem.h"
#include "tablefile/ErrorAbort.h"
#include "tablefile/TableLoader.h"

namespace {

BackupResult Failed(std::string why, platform::Result result) {
    BackupResult failed;
    failed.outcome = BackupOutcome::Failed;
    failed.failure = std::move(why) + ": " + result.Text();
    return failed;
}

// The backup name and its numbered variants: "NAME", "NAME (2)", "NAME (3)", ...
std::string NumberedName(const std::string& name, int number) {
    if (number < 2) return name;
    return name + " (" + std::to_string(number) + ")";
}

}  // namespace

BackupResult BackUpInstalledTable(
    std::string fileName, std::string folder, std::string backupFolder, BackupKind kind, const LoadReport& report) {
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
    try {
        LoadTableFile(installedPath, *table, report);
    } catch (const TableOpenFailed& failed) {
        return Failed("it could not be opened", failed.outcome);
    }
    const std::string backupName = backupFolder + BackupFileName(fileName, std::string(TitleText(table->Header)));

    // What takes the backup name: the installed copy itself, or a copy of it
    // in the backup folder (an install, which replaces the installed copy
    // only later; a move to another volume). Either is on the disk before it
    // is named.
    TemporaryCopy copy;
    if (kind == BackupKind::Copy) {
        if (const platform::Result copied = copy.Make(installedPath, backupFolder); !copied) {
            return Failed("it could not be copied", copied);
        }
    } else if (const platform::Result flushed = platform::FlushFile(installedPath); !flushed) {
        return Failed("it could not be written to the disk", flushed);
    }

    // A taken name is never overwritten. When it already holds these very
    // bytes nothing more is needed, and what would have gone there goes;
    // otherwise the next number is tried.
    constexpr int kMostNumbers = 1000;
    for (int number = 1; number <= kMostNumbers; ++number) {
        BackupResult result;
        result.backupPath = NumberedName(backupName, number);
        platform::Result moved =
            platform::MoveFileToNameFreeInAnyCase(copy.IsMade() ? copy.Path() : installedPath, result.backupPath);
        if (moved == platform::Outcome::OtherVolume && !copy.IsMade()) {
            // A rename cannot reach the backup folder: a copy made there takes the name instead.
            if (const platform::Result made = copy.Make(installedPath, backupFolder); !made) {
                return Failed("it could not be copied to the backup folder", made);
            }
            moved = platform::MoveFileToNameFreeInAnyCase(copy.Path(), result.backupPath);
        }
        const bool copied = copy.IsMade();
        const std::string source = copied ? copy.Path() : installedPath;
        if (moved) {
            copy.Keep();
            if (const platform::Result flushed = platform::FlushFolder(backupFolder); !flushed) {
                // A copy must not take the table's place, nor be its only
                // home, while its name may still vanish.
                if (copied) return Failed("its backup " + result.backupPath + " is not on the disk", flushed);
                result.warning = "the backup folder could not be written to the disk: " + flushed.Text();
            }
            result.outcome = BackupOutcome::BackedUp;
        } else if (moved != platform::Outcome::NameTaken) {
            return Failed("it could not be moved to " + result.backupPath, moved);
        } else if (platform::SameFileContent(source, result.backupPath)) {
            result.outcome = BackupOutcome::AlreadyBackedUp;
        } else {
            continue;
        }
        // A table taken out leaves the installed folder once its backup is
        // there, unless it has moved there itself.
        if (kind == BackupKind::Move && (copied || result.outcome == BackupOutcome::AlreadyBackedUp)) {
            if (const platform::Result removed = platform::RemoveFile(installedPath); !removed) {
                return Failed(
                    "it could not be deleted (a backup with the same content exists as " + result.backupPath + ")",
                    removed);
            }
        }
        return result;
    }
    return Failed(
        "no backup name up to " + NumberedName(backupName, kMostNumbers) + " is free", platform::Outcome::NameTaken);
}
