// Finding a name in a folder without regard to case, on a POSIX file system
// that tells case apart, from a kept index of the folder's names instead of
// a read of the folder. Used by FileSystemPosix.cpp only.
#pragma once

#include <optional>
#include <string>

namespace platform {

// The name of the entry in folder ("" for the current folder, else ending in
// '/') that equals name without regard to case; when several do, the least
// in byte order, so the choice is repeatable. Empty when none does or the
// folder cannot be read.
std::optional<std::string> FindEntryIgnoringCase(const std::string& folder, const std::string& name);

}  // namespace platform
