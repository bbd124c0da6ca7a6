// The temporary copies an install makes in the installed folder and the
// backup step in the backup folder, and the sweep that removes those a
// killed process left behind.
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

// A copy of a file under a temporary name of this process, deleted when it
// goes out of scope unless it was kept (once it has taken another name).
class TemporaryCopy {
public:
    TemporaryCopy() = default;
    ~TemporaryCopy();
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;

    // Copies source, flushed, into folder (ending in the separator); the copy
    // claims the first free number itself, so no name is probed first.
    // sourceTimes, when given, receives the source's times, read with its
    // bytes.
    platform::Result Make(
        const std::string& source, const std::string& folder, platform::FileTimes* sourceTimes = nullptr);
    bool IsMade() const { return !path_.empty(); }
    const std::string& Path() const { return path_; }
    void Keep() { path_.clear(); }

private:
    std::string path_;
};

// Removes the temporary copies in folder (ending in the separator) whose
// maker is neither this process nor running. Copies of a running process,
// other names and folders stay; a removal that fails is skipped.
void SweepStaleTemporaryCopies(const std::string& folder);
