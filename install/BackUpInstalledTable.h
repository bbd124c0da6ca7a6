// The backup step shared by install and remove: an installed copy goes into
// the backup folder under a name that carries its version label.
#pragma once

#include <string>

#include "tablefile/LoadReport.h"

enum class BackupOutcome {
    NoInstalledCopy,  // nothing to do; the backup folder is not created
    BackedUp,         // the backup name (or a numbered variant) holds it now
    AlreadyBackedUp,  // a backup with the same bytes exists; a moved copy was deleted
    Failed,           // the installed copy stays where it is, unchanged
};

// How the installed copy reaches the backup folder: moved (remove), or
// copied (install, which then replaces the installed copy in one step, so
// that its name never stands empty).
enum class BackupKind { Move, Copy };

struct BackupResult {
    BackupOutcome outcome = BackupOutcome::NoInstalledCopy;
    std::string backupPath;  // where the backup is, for BackedUp and AlreadyBackedUp
    std::string failure;     // why, for Failed
    std::string warning;     // what did not reach the disk after it was done, or empty
};

// Loads folder + fileName (the error abort when it opens and cannot be
// loaded; nothing has been made, moved or deleted then; a copy that cannot
// be opened fails with the reason) and puts it at backupFolder + fileName +
// ", v" + label, creating the backup folder first if needed. A copy is made
// under a temporary name in the backup folder, flushed, and renamed there;
// a moved copy is flushed and renamed, or, when the backup folder is on
// another volume, copied in the same way and deleted only once its backup
// is on the disk. When that name is taken by a file with the same bytes
// nothing more is needed (a moved copy is deleted); when by different
// bytes, the first free name of " (2)", " (3)", ... is used. Any other
// failure leaves the installed copy as it was. The loader reports to report.
BackupResult BackUpInstalledTable(
    std::string fileName, std::string folder, std::string backupFolder, BackupKind kind, const LoadReport& report);
