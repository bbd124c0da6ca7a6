// File services of the operating system, as the rest of the system needs
// them. FileSystem.cpp defines each service once: it asks the fault seam
// (FaultSeam.h) and then the backend (FileSystemBackend.h), which the build
// takes from FileSystemWin32.cpp on Windows and FileSystemPosix.cpp
// elsewhere. Nothing outside this folder calls the operating system for
// files.
//
// Paths are UTF-8 texts. Folder texts used by the core end in
// kPathSeparator; a path is a folder text followed by a name.
//
// On Windows the services call the wide (UTF-16) functions, with absolute
// paths in their long form ("\\?\C:\..."), so a path may pass 260
// characters; a path that is not valid UTF-8 fails with BadName. A call on
// an existing name acts only on the file whose long name it is, never on
// another file that has it as its short (8.3) alias. Another process's
// hold on a file (a sharing violation) is waited out for about a second
// before a call fails with InUse.
//
// On POSIX the services give the results the Windows calls give: names are
// found without regard to case, a move replaces its target only when asked
// to, a failed copy leaves no partial file, and file times are Windows file
// times.
//
// Durability: a copy is on the disk before it is closed (Windows:
// FlushFileBuffers; POSIX: fdatasync). A move is a rename within one volume,
// never a copy; the new name is on the disk once FlushFolder of the folder
// that received it returns, which callers ask for on their own, so that a
// rename that is done is never reported as failed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// What a file service did: Done, or why it failed.
enum class Outcome {
    Done,
    NameTaken,     // the target name exists
    NotFound,      // the file or a folder on its path does not exist
    AccessDenied,  // no permission, or a read-only file or medium
    InUse,         // another process holds the file (a sharing violation)
    DiskFull,      // no room on the disk, or a file size limit
    BadName,       // the path cannot be used: not UTF-8, or a name or path too long
    OtherVolume,   // a move whose target is on another volume (a mount, a junction)
    NotAFile,      // a link, a folder or a device where a plain file of our own must be
    Other,
};

// A file service's result: true only when it was done. A failure the system
// reported keeps the system's own code (errno, GetLastError) beside it.
class Result {
public:
    constexpr Result(Outcome outcome = Outcome::Done, std::uint32_t systemCode = 0)
        : outcome_(outcome), systemCode_(systemCode) {}
    constexpr Outcome outcome() const { return outcome_; }
    constexpr std::uint32_t systemCode() const { return systemCode_; }  // 0 when none
    constexpr explicit operator bool() const { return outcome_ == Outcome::Done; }
    constexpr bool operator==(Outcome outcome) const { return outcome_ == outcome; }

    // The outcome in words for messages; Other says the system's code
    // where there is one: "system error 1117".
    std::string Text() const;

private:
    Outcome outcome_;
    std::uint32_t systemCode_;
};

// The kinds of call the file services make, for the fault seam
// (FaultSeam.h). Each service below says which kind it is.
enum class Call { Open, Read, Write, GetTimes, SetTimes, Find, Exists, CreateFolder, Copy, Move, Delete, Flush, Lock };

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
using NativeFile = void*;  // a HANDLE; nullptr when none
inline constexpr NativeFile kNoFile = nullptr;
#else
inline constexpr char kPathSeparator = '/';
using NativeFile = int;  // a file descriptor
inline constexpr NativeFile kNoFile = -1;
#endif

// An open file of the system, closed when its owner goes or is given
// another: InFile, OutFile and FileLock hold one, and so do the backends
// for what they open along the way.
class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(NativeFile native) : native_(native) {}
    ~FileHandle() { Close(); }
    FileHandle(FileHandle&& other) noexcept : native_(std::exchange(other.native_, kNoFile)) {}
    FileHandle& operator=(FileHandle&& other) noexcept {
        if (this != &other) {
            Close();
            native_ = std::exchange(other.native_, kNoFile);
        }
        return *this;
    }

    bool IsOpen() const { return native_ != kNoFile; }
    NativeFile native() const { return native_; }
    // Closes the file; fails when pending data could not be written.
    Result Close();

private:
    NativeFile native_ = kNoFile;
};

// A Windows file time: 100-nanosecond intervals since 1601-01-01, UTC.
using FileTime = std::uint64_t;

// On POSIX the creation time is the file system's birth time where it
// reports one (statx), else the last-write time; it cannot be set there.
struct FileTimes {
    FileTime creation = 0;
    FileTime lastAccess = 0;
    FileTime lastWrite = 0;
};

// Calendar fields of a file time in UTC, as FileTimeToSystemTime gives them.
struct CalendarTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Empty when the time cannot be converted to calendar fields.
std::optional<CalendarTime> FileTimeToCalendar(FileTime time);

// A file opened for reading, existing files only (GENERIC_READ,
// OPEN_EXISTING). Others may read it, rename it or delete it meanwhile
// (FILE_SHARE_READ | FILE_SHARE_DELETE), but not write it. Opening a
// folder fails.
class InFile {
public:
    InFile() = default;
    InFile(const InFile&) = delete;
    InFile& operator=(const InFile&) = delete;

    Result Open(const std::string& path);  // Call::Open
    bool IsOpen() const;
    void Close();

    // Reads up to size bytes from the current position; returns how many
    // arrived (0 at the end of the file or on failure). Call::Read
    std::size_t Read(void* buffer, std::size_t size);
    // Reads up to size bytes from offset bytes after the start, whatever the
    // current position. Call::Read
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size);
    // The size in bytes; empty when it cannot be told.
    std::optional<std::uint64_t> Size() const;
    bool GetTimes(FileTimes& times) const;  // Call::GetTimes

private:
    FileHandle file_;
};

// A file opened for writing. OpenExisting serves only to set the file times
// (FILE_WRITE_ATTRIBUTES, which readers do not exclude, OPEN_EXISTING);
// Create makes or empties a file for writing content; Append opens one, or
// makes it, for writing after its end (a log).
class OutFile {
public:
    OutFile() = default;
    OutFile(const OutFile&) = delete;
    OutFile& operator=(const OutFile&) = delete;

    Result OpenExisting(const std::string& path);  // Call::Open
    Result Create(const std::string& path);        // Call::Open
    Result Append(const std::string& path);        // Call::Open
    bool IsOpen() const;
    // Closes the file; false when pending data could not be written.
    bool Close();

    // Writes all size bytes; fails when any could not be written. Call::Write
    Result Write(const void* buffer, std::size_t size);
    // Sets all three times. On POSIX the creation time cannot be set and is
    // left as it is. Call::SetTimes
    Result SetTimes(const FileTimes& times);
    // Writes what the system still holds of the file to the disk. Call::Flush
    Result Flush();
    // The size in bytes; empty when it cannot be told.
    std::optional<std::uint64_t> Size() const;

private:
    FileHandle file_;
};

// An entry found by a wildcard search.
struct FoundEntry {
    std::string name;  // as stored, without folder
    bool isFolder = false;
};

// The entries of one folder whose names match the last component of
// pattern ("*" any run of characters, "?" one character, letters without
// regard to case), in the order the system returns them. Folders are found
// too; "." and ".." are not. Done when the folder was read (found may then
// be empty), NotFound when it does not exist, else why it cannot be read.
// Call::Find
Result FindFiles(const std::string& pattern, std::vector<FoundEntry>& found);

// The same, empty when the folder does not exist or cannot be read.
std::vector<FoundEntry> FindFiles(const std::string& pattern);

// Done when something exists under path, NotFound when nothing does, else
// why that cannot be told (for example AccessDenied). Call::Exists
Result PathStatus(const std::string& path);

// True when PathStatus is Done.
bool PathExists(const std::string& path);

// Creates one folder level. Call::CreateFolder
Result CreateFolder(const std::string& path);

// Moves (renames) a file; fails with NameTaken and changes nothing when the
// target exists in any case, with OtherVolume when it is on another volume.
// Call::Move
Result MoveFileToNameFreeInAnyCase(const std::string& from, const std::string& to);

// The same for a target name the caller has just found free in every case:
// it is taken exactly as written, never looked up without regard to case.
// Still fails with NameTaken when the name is taken as written. Call::Move
Result MoveFileToNameFreeAsWritten(const std::string& from, const std::string& to);

// Moves a file onto to in one step: a file under that name in any case is
// replaced, so the name holds the old file or the new one at every moment.
// Where only the case differs, the file then takes the name as written, by
// a rename of its own (a system that cannot rename by case alone keeps the
// stored case). Both names must be in one folder. Call::Move
Result MoveFileReplacing(const std::string& from, const std::string& to);

// Makes the names a folder received by moves durable (POSIX: fsync of the
// folder; Windows journals a rename by itself). Call::Flush
Result FlushFolder(const std::string& folder);

// Writes what the system still holds of a file's content to the disk. On
// Windows this needs the file open for writing; a read-only file, which
// cannot be, is left as it is. Call::Flush
Result FlushFile(const std::string& path);

// Deletes a file. Call::Delete
Result RemoveFile(const std::string& path);

// Copies a file to a new file named exactly as written, never looked up
// without regard to case (for fresh names, which have no other case), and
// flushes the copy to the disk (Call::Flush) before it is closed. Fails
// with NameTaken when that name is taken, and then leaves it alone; on any
// other failure no copy remains. The bytes and the times come from one open
// handle of the source, the times read before the bytes: the copy gets the
// source's last-write time (on Windows all three), and sourceTimes, when
// given, receives the three. Call::Copy
Result CopyFileToNameFreeAsWritten(const std::string& from, const std::string& to, FileTimes* sourceTimes = nullptr);

// The whole content of a file; empty when it cannot be read. Call::Read
std::optional<std::vector<unsigned char>> ReadWholeFile(const std::string& path);

// Creates or replaces a file with the given bytes.
Result WriteWholeFile(const std::string& path, const std::vector<unsigned char>& bytes);

// True when both files can be read and hold the same bytes.
bool SameFileContent(const std::string& a, const std::string& b);

// The longest path the system takes, in characters.
inline constexpr std::size_t kLongestPath = 32767;

// An exclusive lock on a lock file, held from Acquire until Release or the
// holder's end, also against other handles of the same process (Windows: the
// file open with no sharing, deleted when it closes; POSIX: flock).
class FileLock {
public:
    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // One attempt, no waiting: creates the lock file when it is missing and
    // takes it. InUse while another holder has it; NotAFile when the name
    // holds a link, a folder or anything but a file with no other name,
    // which is then never followed (Windows may delete such a name of the
    // folder's own as it lets go). Call::Lock
    Result Acquire(const std::string& path);
    bool IsHeld() const;
    // Deletes the lock file and lets it go; nothing when not held.
    void Release();

private:
    FileHandle file_;
    std::string path_;
};

}  // namespace platform
