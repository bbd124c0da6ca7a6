// Finding a name in a folder without regard to case, on a POSIX file system
// that tells case apart. Used by FileSystemPosix.cpp only.
//
// Reading the folder for every lookup would make a run over many names cost
// the square of the folder's size ("Add All" of 300 tables beside 30,000
// others read 9 million names). So the names of the folders looked up last
// are kept, folded to lower case, and kept true by the kernel's change
// notifications (inotify) for the folder: every name created, deleted or
// moved there, by this process or any other, is applied before a lookup is
// answered. A folder is read again when it is no longer the folder its path
// named (moved or replaced), when the notifications overflowed, and when its
// modification or change time moved without a notification (file systems
// that report no changes, such as some network mounts). Without inotify every
// lookup reads the folder.
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
