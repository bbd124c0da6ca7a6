// The temporary copies an install makes in the installed folder, and the
// sweep that removes those a killed process left behind.
//
// A copy is named ".~ztbinstall-<process id>-<number>.tmp": no scan pattern
// matches it (it starts with a dot, where a table name starts with its
// model's letter, and does not end in ".ztb"), and the process id tells
// whether its maker may still be working with it. Install and remove make
// and sweep copies only while they hold the installed folder's lock
// (TableOperations.h), so a sweep never meets the copy of a live operation,
// whatever process ids another system's processes have.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/FileSystem.h"

// The name of the temporary copy number (from 1) of the given process.
std::string TemporaryCopyName(std::uint32_t processId, int number);

// The process id in a name TemporaryCopyName could have made;
// nothing for any other name.
std::optional<std::uint32_t> TemporaryCopyProcessId(const std::string& name);

// Copies source, flushed, into folder (ending in the separator) under a
// temporary name of this process, and sets temporary to its path. The copy
// claims the first free number itself, so no name is probed first.
// sourceTimes, when given, receives the source's times, read with its bytes.
platform::Result CopyToTemporary(const std::string& source, const std::string& folder, std::string& temporary,
    platform::FileTimes* sourceTimes = nullptr);

// Removes the temporary copies in installedFolder (ending in the separator)
// whose maker is neither this process nor running. Copies of a running
// process, other names and folders stay; a removal that fails is skipped.
void SweepStaleTemporaryCopies(const std::string& installedFolder);
