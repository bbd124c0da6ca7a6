// Installing, removing and restoring the tables of selected rows. Rows are
// processed from the highest index down. An installed copy that fails to
// load ends the operation in the error abort (OperationAborted): rows done
// before stay done, the others are untouched. Everything else that fails, a
// distribution copy or backup that no longer loads and a file that cannot
// be opened among it, is reported per row with its reason; a row done whose
// last step did not reach the disk is done, with a warning.
//
// Install and restore first create KVData and KVData\ZTB under the Windows
// directory where they are missing (a fresh workstation). Each operation
// holds the installed folder's lock (kLockFileName) for its whole run, so one
// install or remove at a time changes the folder, from any process. Under
// it, before the first row, both remove the temporary copies that a killed
// operation left in the installed and backup folders (TemporaryCopies.h).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "catalogue/BackupList.h"
#include "catalogue/CatalogueEntry.h"
#include "catalogue/Folders.h"
#include "install/HistoryLog.h"
#include "tablefile/ErrorAbort.h"
#include "tablefile/LoadReport.h"

// The lock file in the installed folder. No scan lists it and the sweep
// leaves it; its holder deletes it when done.
inline constexpr const char* kLockFileName = ".~ztbinstall.lock";

// How long an operation waits for another one's lock before it gives up.
inline constexpr int kLockWaitSeconds = 5;

// What an operation did with a row's table.
enum class RowOutcome {
    Changed,    // installed, removed or restored
    Unchanged,  // nothing needed doing: a table to remove was gone already
    Failed,     // nothing was changed, or only what a failure names
};

// The word the history log and ztbtool's reports use for an outcome:
// "done", "unchanged" or "failed".
const char* RowOutcomeWord(RowOutcome outcome);

struct RowReport {
    int row = 0;
    std::string fileName;
    RowOutcome outcome = RowOutcome::Changed;
    std::string reason;                 // why it failed, or why it changed nothing
    std::vector<std::string> warnings;  // what a done row did not get onto the disk
    // For the history log: the table's installed name (a restore's fileName
    // is its backup's name), its title, the file installed, and the backup
    // that holds the table replaced or removed.
    std::string table;
    std::string description;
    std::string source;
    std::string backupName;

    bool Done() const { return outcome != RowOutcome::Failed; }
    void Fail(std::string why) {
        outcome = RowOutcome::Failed;
        reason = std::move(why);
    }
};

struct OperationReport {
    // True when nothing was done at all: the installed folder could not be
    // locked. message says why; no file was touched. busy when another
    // install or remove held it, so that a later try may succeed.
    bool refused = false;
    bool busy = false;
    // The refusal, or the count text ("%d ZTB(s) have been installed.",
    // "... removed." or "... restored.") with the number of rows that
    // succeeded.
    std::string message;
    std::vector<RowReport> rows;  // in processing order
    int succeeded = 0;
    std::vector<std::string> warnings;  // of the operation as a whole: a history log not written

    // One line per failed row, naming its file (once) and the reason, one
    // per warning of a done row ("FILE: done, but ..."), then the
    // operation's warnings; empty when there are none.
    std::string FailureText() const;
};

// The error abort of an operation, with its rows until then: those done
// before it and, last, the row that met it, failed with its message
// preceded by the file's name.
class OperationAborted : public ErrorAbort {
public:
    OperationAborted(const ErrorAbort& abort, OperationReport rowsSoFar)
        : ErrorAbort(abort), report(std::move(rowsSoFar)) {}
    OperationReport report;
};

// Installs the distribution copies of the selected rows of newEntries. Each
// operation names who runs it for the history log and passes report to the
// loader.
OperationReport InstallTables(const CatalogueFolders& folders, const std::vector<CatalogueEntry>& newEntries,
    const std::vector<int>& selectedRows, const HistorySource& history, const LoadReport& report = {});

// Takes the selected rows of installedEntries out of the installed folder
// through the backup step. A table gone already is a row done unchanged.
OperationReport RemoveTables(const CatalogueFolders& folders, const std::vector<CatalogueEntry>& installedEntries,
    const std::vector<int>& selectedRows, const HistorySource& history, const LoadReport& report = {});

// Installs the backups of the selected rows as their tables, as an install
// does, the installed copy going to the backup folder first; the backups
// stay where they are. A row's file name is its backup name. Two selected
// backups of one table both fail.
OperationReport RestoreTables(const CatalogueFolders& folders, const std::vector<BackupEntry>& backups,
    const std::vector<int>& selectedRows, const HistorySource& history, const LoadReport& report = {});
