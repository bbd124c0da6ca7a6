// The calls each system's file layer makes for the services of
// FileSystem.h: FileSystemPosix.cpp and FileSystemWin32.cpp define them,
// FileSystem.cpp alone calls them, after the fault seam. A failure that
// the system reported carries its code. What a service promises is said in
// FileSystem.h; what a call adds to it is said here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace platform::backend {

Result Close(NativeFile file);

// Opens an existing file for reading, or to set its times; creates or
// empties one for writing; opens or creates one for writing at its end.
Result OpenForReading(const std::string& path, FileHandle& file);
Result OpenForTimes(const std::string& path, FileHandle& file);
Result CreateForWriting(const std::string& path, FileHandle& file);
Result OpenForAppending(const std::string& path, FileHandle& file);

// got receives how many bytes arrived before the end or a failure: from the
// current position, or from offset when one is given.
Result Read(NativeFile file, void* buffer, std::size_t size, std::optional<std::uint64_t> offset, std::size_t& got);
std::optional<std::uint64_t> Size(NativeFile file);
bool GetTimes(NativeFile file, FileTimes& times);
Result Write(NativeFile file, const void* buffer, std::size_t size);
Result SetTimes(NativeFile file, const FileTimes& times);

Result FindFiles(const std::string& pattern, std::vector<FoundEntry>& found);
Result PathStatus(const std::string& path);
Result CreateFolder(const std::string& path);
Result MoveToNameFreeInAnyCase(const std::string& from, const std::string& to);
Result MoveToNameFreeAsWritten(const std::string& from, const std::string& to);
Result MoveReplacing(const std::string& from, const std::string& to);
Result FlushFolder(const std::string& folder);
Result FlushFile(const std::string& path);
Result RemoveFile(const std::string& path);

// The copy in steps: the source's bytes and times into a new file named to
// exactly as written, left open in copy when it was created; then its data
// to the disk; on a failure, the removal of the copy made.
Result CopyToNewFile(const std::string& from, const std::string& to, FileHandle& copy, FileTimes* sourceTimes);
// The rest of from's bytes written to to; one loop over Read and Write for
// both systems (FileSystem.cpp).
Result CopyContent(NativeFile from, NativeFile to);
Result FlushData(NativeFile file);
void RemoveOwnFile(const std::string& path);

// Takes the lock file at path into lock; lockedPath receives the name to
// give up in Unlock, which is done before the handle closes.
Result Lock(const std::string& path, FileHandle& lock, std::string& lockedPath);
void Unlock(const std::string& lockedPath);

}  // namespace platform::backend
