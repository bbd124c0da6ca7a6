#include "install/TableOperations.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <thread>
#include <utility>

#include "install/BackUpInstalledTable.h"
#include "install/TemporaryCopies.h"
#include "platform/AnsiText.h"
#include "platform/FileNames.h"
#include "platform/FileSystem.h"
#include "tablefile/ErrorAbort.h"
#include "tablefile/TableLoader.h"

namespace {

// ": " and the outcome in words, for a failure text.
std::string Why(platform::Result result) { return ": " + result.Text(); }

// Where a path could not be reached: what is said of it when it does not
// exist, else why it could not be looked at.
std::string Unreachable(platform::Result result, const char* whenMissing) {
    if (result == platform::Outcome::NotFound) return whenMissing;
    return " cannot be reached" + Why(result);
}

// Gives the installed copy the times read with its bytes. After the move,
// so that a file system that hands a vacated name's creation time on to its
// successor cannot override them. A failure is not reported: the copy
// already carries the last-write time, the one the scans compare.
void SetInstalledTimes(const std::string& path, const platform::FileTimes& times) {
    platform::OutFile out;
    if (out.OpenExisting(path)) out.SetTimes(times);
}

// The name of the backup that holds the installed copy now, if one does.
std::string BackupNameOf(const BackupResult& backup) {
    if (backup.outcome != BackupOutcome::BackedUp && backup.outcome != BackupOutcome::AlreadyBackedUp) return {};
    return backup.backupPath.substr(backup.backupPath.rfind(platform::kPathSeparator) + 1);
}

// Gives the row the warning of a step done that did not reach the disk.
void WarnIfNotFlushed(RowReport& row, platform::Result flushed, const std::string& what) {
    if (!flushed) row.warnings.push_back(what + " could not be written to the disk" + Why(flushed));
}

// Installs the table at source (a distribution copy, or a backup that is
// restored) as fileName; a failure fails the row. Messages
// name the source as sourceNoun. The installed name holds the previous
// table or the new one, whole, at every moment, the previous one is also in
// the backup folder once replaced, and the temporary copies never stay
// behind. The source itself is only read. Only the installed copy's load,
// in the backup step, ends in the error abort.
void InstallOne(const CatalogueFolders& folders, const std::string& source, const std::string& sourceNoun,
    const std::string& fileName, RowReport& row, const LoadReport& report) {
    const std::string installedFolder = folders.Installed();
    if (const platform::Result found = platform::PathStatus(installedFolder); !found) {
        row.Fail("the installed folder " + installedFolder + Unreachable(found, " does not exist"));
        return;
    }
    if (const platform::Result found = platform::PathStatus(source); !found) {
        row.Fail(sourceNoun + " " + source + Unreachable(found, " is gone"));
        return;
    }

    TemporaryCopy copy;
    platform::FileTimes times;
    if (const platform::Result copied = copy.Make(source, installedFolder, &times); !copied) {
        row.Fail("the copy from " + source + " failed" + Why(copied));
        return;
    }

    // The source may have changed since the scan checked it. A copy that
    // cannot be loaded would end every later scan of its model, so it must
    // not take the place of the installed table.
    try {
        const auto table = std::make_unique<CalibrationTable>();
        LoadTableFile(copy.Path(), *table, report);
    } catch (const TableOpenFailed& failed) {
        row.Fail("the new copy " + copy.Path() + " could not be opened" + Why(failed.outcome));
        return;
    } catch (ErrorAbort& abort) {
        abort.path = source;  // named as the source, not as its temporary copy
        row.Fail(NamedMessage(abort));
        return;
    }

    const BackupResult backup =
        BackUpInstalledTable(fileName, installedFolder, folders.Backup(), BackupKind::Copy, report);
    row.backupName = BackupNameOf(backup);
    if (backup.outcome == BackupOutcome::Failed) {
        row.Fail("the backup of the installed copy failed: " + backup.failure);
        return;
    }

    // An installed copy is replaced in one step; without one, the backup
    // step has looked the name up in every case and found it free, and it
    // is taken as written.
    const std::string target = installedFolder + fileName;
    if (backup.outcome == BackupOutcome::NoInstalledCopy) {
        if (const platform::Result moved = platform::MoveFileToNameFreeAsWritten(copy.Path(), target); !moved) {
            row.Fail("the new copy could not be moved to " + target + Why(moved));
            return;
        }
    } else if (const platform::Result replaced = platform::MoveFileReplacing(copy.Path(), target); !replaced) {
        row.Fail("the new copy could not replace " + target + Why(replaced));
        return;
    }
    copy.Keep();
    SetInstalledTimes(target, times);
    WarnIfNotFlushed(row, platform::FlushFolder(installedFolder), "the installed folder");
}

// Takes one table out of the installed folder; a failure fails the row. A
// table that is gone already is done, unchanged.
void RemoveOne(const CatalogueFolders& folders, RowReport& row, const LoadReport& report) {
    const BackupResult backup =
        BackUpInstalledTable(row.fileName, folders.Installed(), folders.Backup(), BackupKind::Move, report);
    row.backupName = BackupNameOf(backup);
    if (backup.outcome == BackupOutcome::NoInstalledCopy) {
        row.outcome = RowOutcome::Unchanged;
        row.reason = "not installed";
    }
    if (backup.outcome == BackupOutcome::Failed) row.Fail("the backup failed: " + backup.failure);
    if (!backup.warning.empty()) row.warnings.push_back(backup.warning);
}

// The selected rows, each once, from the highest index down.
std::vector<int> DescendingRows(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

std::string CountText(const char* format, int count) {
    char text[64];
    std::snprintf(text, sizeof text, format, count);
    return text;
}

// One row's work on entry k: names the row's file and says why it failed,
// if it did, and what it did not get onto the disk.
using RowAction = std::function<void(std::size_t k, RowReport& row)>;

// The row's line in the history log, which is UTF-8: titles are stored in
// the ANSI code page.
HistoryEntry EntryOf(const RowReport& row) {
    HistoryEntry entry{row.table, platform::Utf8FromAnsi(row.description), RowOutcomeWord(row.outcome), row.reason,
        row.source, row.backupName};
    if (row.outcome == RowOutcome::Changed) {
        for (const std::string& warning : row.warnings) entry.reason += (entry.reason.empty() ? "" : "; ") + warning;
    }
    return entry;
}

// Each row's report once it is complete, for the history log.
using RowDone = std::function<void(const RowReport& row)>;

OperationReport RunRows(std::size_t entryCount, const std::vector<int>& selectedRows, const RowAction& action,
    const char* countFormat, const RowDone& done) {
    OperationReport report;
    for (int row : DescendingRows(selectedRows)) {
        RowReport rowReport;
        rowReport.row = row;
        if (row < 0 || static_cast<std::size_t>(row) >= entryCount) {
            rowReport.Fail("there is no row " + std::to_string(row));
        } else {
            try {
                action(static_cast<std::size_t>(row), rowReport);
            } catch (const ErrorAbort& abort) {
                // The rows done so far go with the abort, and this one as failed.
                rowReport.Fail(NamedMessage(abort));
                done(rowReport);
                report.rows.push_back(std::move(rowReport));
                throw OperationAborted(abort, std::move(report));
            }
        }
        if (rowReport.Done()) ++report.succeeded;
        done(rowReport);
        report.rows.push_back(std::move(rowReport));
    }
    report.message = CountText(countFormat, report.succeeded);
    return report;
}

void AddWarning(OperationReport& report, std::string warning) {
    if (!warning.empty()) report.warnings.push_back(std::move(warning));
}

OperationReport Refusal(std::string message, bool busy) {
    OperationReport report;
    report.refused = true;
    report.busy = busy;
    report.message = std::move(message);
    return report;
}

// Takes the lock of folder, waiting up to kLockWaitSeconds while another
// operation holds it.
platform::Result LockFolder(const std::string& folder, platform::FileLock& lock) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kLockWaitSeconds);
    while (true) {
        const platform::Result locked = lock.Acquire(folder + kLockFileName);
        if (locked != platform::Outcome::InUse || std::chrono::steady_clock::now() >= deadline) return locked;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

// A fresh workstation has the Windows directory but not yet KVData or
// KVData\ZTB: an install creates them, as the backup step creates Backup.
// Without the Windows directory nothing is made, and every row says that
// the installed folder does not exist.
platform::Result CreateInstalledFolder(const CatalogueFolders& folders) {
    if (!platform::PathExists(folders.windowsFolder)) return platform::Outcome::Done;
    for (const std::string& folder : {KVDataFolder(folders.windowsFolder), folders.Installed()}) {
        if (platform::PathExists(folder)) continue;
        if (const platform::Result created = platform::CreateFolder(folder); !created) return created;
    }
    return platform::Outcome::Done;
}

// Runs the rows under the installed folder's lock, after the sweep, each
// logged in its history, then the tables the caller settled; an install
// first creates the installed folder where it is missing. When the lock
// cannot be had, nothing is done and the refusal says why; a missing
// installed folder has nothing to guard and no log, and every row says so.
OperationReport RunLocked(const CatalogueFolders& folders, bool installs, const HistorySource& source,
    const char* operation, std::size_t entryCount, const std::vector<int>& selectedRows, const RowAction& action,
    const char* countFormat) {
    const std::string installedFolder = folders.Installed();
    const std::string named = installedFolder.substr(0, installedFolder.size() - 1);
    if (const platform::Result created = installs ? CreateInstalledFolder(folders) : platform::Result(); !created) {
        return Refusal("The installed folder " + named + " cannot be created" + Why(created) + ".", false);
    }
    platform::FileLock lock;
    const platform::Result locked = LockFolder(installedFolder, lock);
    if (locked == platform::Outcome::InUse) {
        return Refusal("Another install or remove is running in " + named + ". Try again when it has finished.", true);
    }
    if (locked == platform::Outcome::NotAFile) {
        return Refusal(
            "The lock file " + installedFolder + kLockFileName + " is not a plain file: nothing was changed.", false);
    }
    if (!locked && locked != platform::Outcome::NotFound) {
        return Refusal("The installed folder " + named + " cannot be locked" + Why(locked) + ".", false);
    }
    SweepStaleTemporaryCopies(installedFolder);
    SweepStaleTemporaryCopies(folders.Backup());
    if (!locked) return RunRows(entryCount, selectedRows, action, countFormat, [](const RowReport&) {});

    HistoryWriter history(installedFolder, source, operation);
    OperationReport report;
    try {
        report = RunRows(entryCount, selectedRows, action, countFormat,
            [&history](const RowReport& row) { history.Append(EntryOf(row)); });
        for (const HistoryEntry& entry : source.settled) history.Append(entry);
    } catch (OperationAborted& aborted) {
        AddWarning(aborted.report, history.Finish());
        throw;
    }
    AddWarning(report, history.Finish());
    return report;
}

}  // namespace

const char* RowOutcomeWord(RowOutcome outcome) {
    switch (outcome) {
    case RowOutcome::Changed:
        return "done";
    case RowOutcome::Unchanged:
        return "unchanged";
    case RowOutcome::Failed:
        break;
    }
    return "failed";
}

std::string OperationReport::FailureText() const {
    std::string text;
    const auto line = [&](const RowReport& row, const std::string& what) {
        if (!text.empty()) text += '\n';
        // A table's own fault names it already.
        const std::string name = (row.fileName.empty() ? "Row " + std::to_string(row.row) : row.fileName) + ": ";
        text += (what.starts_with(name) ? "" : name) + what;
    };
    for (const RowReport& row : rows) {
        if (!row.Done()) line(row, row.reason);
        for (const std::string& warning : row.warnings) line(row, "done, but " + warning);
    }
    for (const std::string& warning : warnings) text += (text.empty() ? "" : "\n") + warning;
    return text;
}

OperationReport InstallTables(const CatalogueFolders& folders, const std::vector<CatalogueEntry>& newEntries,
    const std::vector<int>& selectedRows, const HistorySource& history, const LoadReport& report) {
    const auto install = [&](std::size_t k, RowReport& row) {
        row.fileName = row.table = newEntries[k].FileName;
        row.description = newEntries[k].Description;
        row.source = folders.Distribution() + row.fileName;
        InstallOne(folders, row.source, "the distribution copy", row.fileName, row, report);
    };
    return RunLocked(
        folders, true, history, "install", newEntries.size(), selectedRows, install, "%d ZTB(s) have been installed.");
}

OperationReport RemoveTables(const CatalogueFolders& folders, const std::vector<CatalogueEntry>& installedEntries,
    const std::vector<int>& selectedRows, const HistorySource& history, const LoadReport& report) {
    const auto remove = [&](std::size_t k, RowReport& row) {
        row.fileName = row.table = installedEntries[k].FileName;
        row.description = installedEntries[k].Description;
        RemoveOne(folders, row, report);
    };
    return RunLocked(folders, false, history, "remove", installedEntries.size(), selectedRows, remove,
        "%d ZTB(s) have been removed.");
}

OperationReport RestoreTables(const CatalogueFolders& folders, const std::vector<BackupEntry>& backups,
    const std::vector<int>& selectedRows, const HistorySource& history, const LoadReport& report) {
    // Two backups of one table in one run: which should win is not clear,
    // so neither is restored.
    std::map<std::string, int> selectedPerName;
    for (int row : DescendingRows(selectedRows)) {
        if (row >= 0 && static_cast<std::size_t>(row) < backups.size()) {
            ++selectedPerName[platform::FoldFileNameCase(backups[static_cast<std::size_t>(row)].FileName)];
        }
    }
    const auto restore = [&](std::size_t k, RowReport& row) {
        const BackupEntry& backup = backups[k];
        row.fileName = row.source = backup.BackupName;
        row.table = backup.FileName;
        row.description = backup.Description;
        if (selectedPerName[platform::FoldFileNameCase(backup.FileName)] > 1) {
            row.Fail("another selected backup restores " + backup.FileName + " too");
        } else {
            InstallOne(
                folders, folders.Backup() + backup.BackupName, "the backed-up table", backup.FileName, row, report);
        }
    };
    return RunLocked(
        folders, true, history, "restore", backups.size(), selectedRows, restore, "%d ZTB(s) have been restored.");
}
