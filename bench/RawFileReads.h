// The baselines of the benchmarks: the plainest way to do the same file
// work straight on the POSIX calls, with no checks beyond the results. The
// benchmarks compare the system's operations with these, measured in the
// same run on the same files.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace raw {

// open, read to the end, fstat, close; the number of bytes read.
std::size_t OpenReadStatClose(const std::string& path);

// The names in a folder (opendir, readdir, closedir), "." and ".." left out.
std::vector<std::string> ListFolder(const std::string& folder);

// Copies from to to with the flushes an install makes before a table takes
// its name: into a new file beside to, with the source's access and write
// times, flushed, then renamed to to and the folder synced (open, fstat,
// open, read, write, futimens, fdatasync, close, close, rename, open,
// fsync, close).
bool DurableCopyWithTimes(const std::string& from, const std::string& to);

}  // namespace raw
