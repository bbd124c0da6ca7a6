// The backup step shared by install and remove: an installed copy is moved
// into the backup folder under a name that carries its version label.
#pragma once

#include <string>

enum class BackupOutcome {
    NoInstalledCopy,  // nothing to do; the backup folder is not created
    MovedToBackup,    // moved under its backup name (or a numbered variant)
    DeletedDuplicate, // a backup with the same bytes existed; copy deleted
    Failed,           // the installed copy stays where it is
};

struct BackupResult {
    BackupOutcome outcome = BackupOutcome::NoInstalledCopy;
    std::string backupPath;  // where the copy went, for MovedToBackup
    std::string failure;     // why, for Failed
};

// Loads folder + fileName (the error abort when it cannot be loaded;
// nothing has been moved then) and moves it to backupFolder + fileName +
// ", v" + label, creating the backup folder first if needed. When that name
// is taken by a file with the same bytes the installed copy is deleted;
// when by different bytes, the first free name of " (2)", " (3)", ... is
// used. Any other failure leaves the installed copy in place.
BackupResult BackUpInstalledTable(std::string fileName, std::string folder,
                                  std::string backupFolder);
