#include "install/TableOperations.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

#include "install/BackUpInstalledTable.h"
#include "install/TemporaryCopies.h"
#include "platform/FileSystem.h"
#include "tablefile/ErrorAbort.h"
#include "tablefile/TableLoader.h"

namespace {

// Copies source into the installed folder under a temporary name of this
// process (TemporaryCopies.h). The copy claims the first free number
// itself, so no name is probed first. Returns the copy's path, or nothing
// when the copy failed.
std::optional<std::string> CopyToTemporary(const std::string& source,
                                           const std::string& installedFolder) {
    const std::uint32_t processId = platform::CurrentProcessId();
    for (int number = 1;; ++number) {
        std::string path = installedFolder + TemporaryCopyName(processId, number);
        const platform::Result copied = platform::CopyFileNoReplace(source, path);
        if (copied) return path;
        // A taken name moves on to the next number; any other failure ends
        // here. Finitely many names are taken, so the loop ends.
        if (copied != platform::Outcome::NameTaken) return std::nullopt;
    }
}

// Gives target the creation, last-access and last-write times of source.
// A failure is not reported: the copy already carries the last-write time,
// the one the scans compare.
void CopyFileTimes(const std::string& source, const std::string& target) {
    platform::InFile in;
    platform::OutFile out;
    platform::FileTimes times;
    if (in.Open(source) && out.OpenExisting(target) && in.GetTimes(times)) {
        out.SetTimes(times);
    }
}

// Installs one table; returns why it failed, or the empty text. The
// previous installed copy ends in the installed folder or in the backup
// folder, and the temporary copy never stays behind. Only the installed
// copy's load, in the backup step, ends in the error abort.
std::string InstallOne(const CatalogueFolders& folders, const std::string& fileName) {
    const std::string installedFolder = folders.Installed();
    if (!platform::PathExists(installedFolder)) {
        return "the installed folder " + installedFolder + " does not exist";
    }
    const std::string source = folders.Distribution() + fileName;
    if (!platform::PathExists(source)) return "the distribution copy " + source + " is gone";

    const std::optional<std::string> copied = CopyToTemporary(source, installedFolder);
    if (!copied) return "the copy from " + source + " failed";
    const std::string& temporary = *copied;

    // The distribution copy may have changed since the scan checked it. A
    // copy that cannot be loaded would end every later scan of its model,
    // so it must not take the place of the installed table.
    try {
        const auto table = std::make_unique<CalibrationTable>();
        LoadTableFile(temporary, *table);
    } catch (const ErrorAbort& abort) {
        platform::RemoveFile(temporary);
        return std::string("the distribution copy cannot be used: ") + abort.what();
    }

    BackupResult backup;
    try {
        backup = BackUpInstalledTable(fileName, installedFolder, folders.Backup());
    } catch (...) {
        platform::RemoveFile(temporary);
        throw;
    }
    if (backup.outcome == BackupOutcome::Failed) {
        platform::RemoveFile(temporary);
        return "the backup of the installed copy failed: " + backup.failure;
    }

    // The backup step has looked the name up in every case and, where it
    // found a copy, moved it away: the name is free, and is taken as written.
    const std::string target = installedFolder + fileName;
    if (!platform::MoveFileToFreeName(temporary, target)) {
        platform::RemoveFile(temporary);
        return "the new copy could not be moved to " + target;
    }
    // After the move, so that a file system that hands a vacated name's
    // creation time on to its successor cannot override it.
    CopyFileTimes(source, target);
    return {};
}

// Takes one table out of the installed folder; returns why it failed, or
// the empty text. A table that is gone already counts as removed.
std::string RemoveOne(const CatalogueFolders& folders, const std::string& fileName) {
    const BackupResult backup =
        BackUpInstalledTable(fileName, folders.Installed(), folders.Backup());
    if (backup.outcome == BackupOutcome::Failed) {
        return "the backup failed: " + backup.failure;
    }
    return {};
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

using RowAction = std::string (*)(const CatalogueFolders&, const std::string&);

OperationReport RunRows(const CatalogueFolders& folders,
                        const std::vector<CatalogueEntry>& entries,
                        const std::vector<int>& selectedRows, RowAction action,
                        const char* countFormat) {
    OperationReport report;
    for (int row : DescendingRows(selectedRows)) {
        RowReport rowReport;
        rowReport.row = row;
        if (row < 0 || static_cast<std::size_t>(row) >= entries.size()) {
            rowReport.failure = "there is no row " + std::to_string(row);
        } else {
            rowReport.fileName = entries[static_cast<std::size_t>(row)].FileName;
            rowReport.failure = action(folders, rowReport.fileName);
        }
        rowReport.ok = rowReport.failure.empty();
        if (rowReport.ok) ++report.succeeded;
        report.rows.push_back(std::move(rowReport));
    }
    report.message = CountText(countFormat, report.succeeded);
    return report;
}

OperationReport Refusal(const char* message) {
    OperationReport report;
    report.refused = true;
    report.message = message;
    return report;
}

}  // namespace

std::string OperationReport::FailureText() const {
    std::string text;
    for (const RowReport& row : rows) {
        if (row.ok) continue;
        if (!text.empty()) text += '\n';
        text += (row.fileName.empty() ? "Row " + std::to_string(row.row) : row.fileName) +
                ": " + row.failure;
    }
    return text;
}

OperationReport InstallTables(const CatalogueFolders& folders,
                              const std::vector<CatalogueEntry>& newEntries,
                              const std::vector<int>& selectedRows) {
    if (newEntries.empty()) return Refusal(NothingToInstallMessage);
    SweepStaleTemporaryCopies(folders.Installed());
    return RunRows(folders, newEntries, selectedRows, InstallOne,
                   "%d ZTB(s) have been installed.");
}

OperationReport RemoveTables(const CatalogueFolders& folders,
                             const std::vector<CatalogueEntry>& installedEntries,
                             const std::vector<int>& selectedRows) {
    if (installedEntries.empty()) return Refusal(NothingToRemoveMessage);
    SweepStaleTemporaryCopies(folders.Installed());
    return RunRows(folders, installedEntries, selectedRows, RemoveOne,
                   "%d ZTB(s) have been removed.");
}
