// The history log of an installed folder: one line per table that an
// install, remove or restore handled, by the dialog or by ztbtool, in
// kHistoryFileName there. UTF-8 text, tab-separated, CR LF line ends, the
// header line (kHistoryColumns) first. The operations append to it under
// their lock (TableOperations.cpp); no scan lists it, the sweep of temporary
// copies leaves it, and nothing else writes it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

inline constexpr const char* kHistoryFileName = "ztbinstall-history.log";

// The columns of a line, in order, as the header line names them.
inline constexpr const char* kHistoryColumns[] = {"Time", "Computer", "User", "Program", "Version", "Operation",
    "Model", "FileName", "Description", "Result", "Reason", "Source", "Backup"};

// What a line says of its table; the writer adds the rest.
struct HistoryEntry {
    std::string fileName;     // the table's installed name
    std::string description;  // its title
    std::string result;       // "done", "failed" or "unchanged"
    std::string reason;       // why it failed or changed nothing, or what a done one did not get onto the disk
    std::string source;       // the file installed: a distribution copy's path or a backup's name
    std::string backup;       // the backup that holds the table replaced or removed, if any
};

// Who changes the tables: the program and the model whose rows it handles,
// and the tables it settled without a row (a named table that needs no
// change, a damaged one it fails), logged after the rows.
struct HistorySource {
    std::string program;  // "ZTBInstall" or "ztbtool"
    std::string model;
    std::vector<HistoryEntry> settled = {};
};

// Appends the lines of one operation to installedFolder's log, opened at the
// first line and made with its header when it is missing or empty. Each
// line is written at once, so it stays even when the process ends before
// Finish. Tabs and line ends within a field become spaces.
class HistoryWriter {
public:
    HistoryWriter(const std::string& installedFolder, const HistorySource& source, std::string operation);

    void Append(const HistoryEntry& entry);

    // Writes the log to the disk and closes it. The warning of the first
    // failure since the log was opened, or the empty text.
    std::string Finish();

private:
    std::string path_;
    std::string fixed_;  // computer, user, program, version, operation and model, each after a tab
    platform::OutFile file_;
    bool opened_ = false;
    platform::Result failed_;
};

// A log as read: the columns its header line names and its lines, oldest
// first, each with as many fields as there are columns.
struct History {
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> lines;

    // The column's index, if the log has it.
    std::optional<std::size_t> Column(const std::string& name) const;
};

// Reads installedFolder's log; a log that does not exist is a history with
// the usual columns and no lines.
platform::Result ReadHistory(const std::string& installedFolder, History& history);
