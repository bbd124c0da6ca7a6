// File services on POSIX (Linux), giving the results the Windows calls give:
// names are found without regard to case, a move replaces its target only
// when asked to, a failed copy leaves no partial file, and times are Windows
// file times. Copies are flushed with fdatasync before they are closed; a
// move is a rename, made durable by FlushFolder (an fsync of the folder).
//
// Creation times: read from the file system's birth time (statx) where it
// reports one, else reported as the last-write time. Linux offers no way to
// set a birth time, so SetTimes leaves it as it is.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>

#include "platform/FileNames.h"
#include "platform/FileSystemBackend.h"
#include "platform/FolderNameIndex.h"

namespace platform::backend {

namespace {

// Seconds between 1601-01-01 and 1970-01-01, and file time units per second.
constexpr std::int64_t kEpochDifferenceSeconds = 11644473600;
constexpr std::int64_t kUnitsPerSecond = 10000000;
constexpr std::int64_t kNanosecondsPerUnit = 100;

// The outcome a failed call's errno stands for.
Outcome OutcomeOf(int error) {
    switch (error) {
    case EEXIST:
        return Outcome::NameTaken;
    case ENOENT:
    case ENOTDIR:
        return Outcome::NotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return Outcome::AccessDenied;
    case EBUSY:
    case ETXTBSY:
        return Outcome::InUse;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return Outcome::DiskFull;
    case ENAMETOOLONG:
        return Outcome::BadName;
    case EXDEV:
        return Outcome::OtherVolume;
    default:
        return Outcome::Other;
    }
}

// The outcome of the call that failed last, with its errno.
Result Failure() { return Result(OutcomeOf(errno), static_cast<std::uint32_t>(errno)); }

// ---- case-insensitive names --------------------------------------------------

bool EntryExists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

std::string ParentFolder(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// True when a call failed because the path, as written, names nothing:
// only then can another case of it name something.
bool MissingAsWritten(int error) { return error == ENOENT || error == ENOTDIR; }

// The path with each component replaced by the existing entry that matches
// it without regard to case, for a path that does not exist as written.
// From the first component that matches nothing on, the rest is kept as
// given, so a file created under the result takes the name as given.
// Separators are kept as they are.
std::string ResolveMissingPath(const std::string& path) {
    if (path.empty()) return path;

    // Usually only the last name differs: when the folder exists as
    // written, every level of it does, and only that name is looked up.
    const std::string parent = ParentFolder(path);
    const std::string leaf = path.substr(parent.size());
    if (!leaf.empty() && leaf != "." && leaf != ".." && (parent.empty() || EntryExists(parent))) {
        return parent + FindEntryIgnoringCase(parent, leaf).value_or(leaf);
    }

    std::string resolved;
    bool matching = true;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        std::string component = path.substr(start, end - start);
        if (matching && !component.empty() && component != "." && component != "..") {
            if (!EntryExists(resolved + component)) {
                if (auto match = FindEntryIgnoringCase(resolved, component)) {
                    component = *match;
                } else {
                    matching = false;
                }
            }
        }
        resolved += component;
        if (end == path.size()) break;
        resolved += '/';
        start = end + 1;
    }
    return resolved;
}

// The path itself when something exists under it as written, else as
// ResolveMissingPath finds it.
std::string ResolvePath(const std::string& path) {
    if (path.empty() || EntryExists(path)) return path;
    return ResolveMissingPath(path);
}

// ---- times -------------------------------------------------------------------

FileTime ToFileTime(std::int64_t seconds, std::int64_t nanoseconds) {
    constexpr std::int64_t kMaxSeconds =
        std::numeric_limits<std::int64_t>::max() / kUnitsPerSecond - kEpochDifferenceSeconds - 1;
    if (seconds < -kEpochDifferenceSeconds) return 0;
    if (seconds > kMaxSeconds) return static_cast<FileTime>(std::numeric_limits<std::int64_t>::max());
    return static_cast<FileTime>(
        (seconds + kEpochDifferenceSeconds) * kUnitsPerSecond + nanoseconds / kNanosecondsPerUnit);
}

timespec ToTimespec(FileTime time) {
    // FileTime is unsigned; values above the signed range are far beyond any
    // date a file system keeps, so they are held at the largest one.
    const std::int64_t units = time > static_cast<FileTime>(std::numeric_limits<std::int64_t>::max())
                                   ? std::numeric_limits<std::int64_t>::max()
                                   : static_cast<std::int64_t>(time);
    timespec result{};
    result.tv_sec = static_cast<time_t>(units / kUnitsPerSecond - kEpochDifferenceSeconds);
    result.tv_nsec = static_cast<long>((units % kUnitsPerSecond) * kNanosecondsPerUnit);
    return result;
}

// A zero time leaves that time unchanged, as SetFileTime does.
timespec ToTimespecOrOmit(FileTime time) {
    if (time == 0) {
        timespec omit{};
        omit.tv_nsec = UTIME_OMIT;
        return omit;
    }
    return ToTimespec(time);
}

// ---- descriptors -------------------------------------------------------------

// Opens path with flags (O_CLOEXEC and O_NOCTTY added; a file it creates
// gets mode 0666 less the umask) into file.
Result OpenFile(const std::string& path, int flags, FileHandle& file) {
    const int fd = open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) return Failure();
    file = FileHandle(fd);
    return {};
}

// Opens an existing regular file, by the name as written first and by
// another case of it only when that names nothing. Anything but a regular
// file (a folder, a device, a pipe) fails, as only files can be opened on
// Windows. O_NONBLOCK keeps a pipe from blocking the open; it stays set, as
// it has no effect on the regular files that are kept open.
Result OpenRegularFile(const std::string& path, int access, FileHandle& file) {
    FileHandle opened;
    Result result = OpenFile(path, access | O_NONBLOCK, opened);
    if (!result && MissingAsWritten(errno)) {
        // The lookup of another case makes calls of its own: the outcome is
        // the first open's unless another name is found and opened.
        const std::string resolved = ResolveMissingPath(path);
        if (resolved != path) result = OpenFile(resolved, access | O_NONBLOCK, opened);
    }
    if (!result) return result;
    struct stat info;
    if (fstat(opened.native(), &info) != 0) return Failure();
    if (!S_ISREG(info.st_mode)) return Result(Outcome::AccessDenied, EACCES);
    file = std::move(opened);
    return {};
}

// Renames source to destination, both exactly as written, never replacing
// what exists under destination. Not yet flushed: callers flush the
// destination's folder.
Result RenameNoReplace(const std::string& source, const std::string& destination) {
    if (renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, destination.c_str(), RENAME_NOREPLACE) == 0) {
        return {};
    }
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return Failure();

    // The file system cannot rename without replacing: a hard link fails
    // when the target exists, and then the old name goes.
    if (link(source.c_str(), destination.c_str()) == 0) {
        if (unlink(source.c_str()) == 0) return {};
        const Result failure = Failure();
        unlink(destination.c_str());
        return failure;
    }
    if (errno != EPERM && errno != EOPNOTSUPP) return Failure();

    // Neither is supported (some removable-media file systems): test and
    // rename. Only a second writer racing for the same name can defeat this.
    if (EntryExists(destination)) return Outcome::NameTaken;
    return rename(source.c_str(), destination.c_str()) == 0 ? Result() : Failure();
}

// A folder being read, closed when it goes.
using FolderReader = std::unique_ptr<DIR, int (*)(DIR*)>;

}  // namespace

// ---- open files --------------------------------------------------------------

Result Close(NativeFile file) {
    // Linux releases the descriptor even when close reports an error, so it
    // is never retried.
    return close(file) == 0 ? Result() : Failure();
}

Result OpenForReading(const std::string& path, FileHandle& file) { return OpenRegularFile(path, O_RDONLY, file); }

Result OpenForTimes(const std::string& path, FileHandle& file) { return OpenRegularFile(path, O_WRONLY, file); }

Result CreateForWriting(const std::string& path, FileHandle& file) {
    return OpenFile(ResolvePath(path), O_WRONLY | O_CREAT | O_TRUNC, file);
}

Result OpenForAppending(const std::string& path, FileHandle& file) {
    return OpenFile(ResolvePath(path), O_WRONLY | O_CREAT | O_APPEND, file);
}

Result Read(NativeFile file, void* buffer, std::size_t size, std::optional<std::uint64_t> offset, std::size_t& got) {
    char* bytes = static_cast<char*>(buffer);
    got = 0;
    while (got < size) {
        const ssize_t part = offset ? pread(file, bytes + got, size - got, static_cast<off_t>(*offset + got))
                                    : read(file, bytes + got, size - got);
        if (part < 0) {
            if (errno == EINTR) continue;
            return Failure();
        }
        if (part == 0) break;
        got += static_cast<std::size_t>(part);
    }
    return {};
}

std::optional<std::uint64_t> Size(NativeFile file) {
    struct stat info;
    if (fstat(file, &info) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

bool GetTimes(NativeFile file, FileTimes& times) {
    struct statx info;
    if (statx(file, "", AT_EMPTY_PATH, STATX_ATIME | STATX_MTIME | STATX_BTIME, &info) != 0) {
        // Kernels or sandboxes without statx: no birth time, the rest from fstat.
        struct stat plain;
        if (errno != ENOSYS || fstat(file, &plain) != 0) return false;
        times.lastAccess = ToFileTime(plain.st_atim.tv_sec, plain.st_atim.tv_nsec);
        times.lastWrite = ToFileTime(plain.st_mtim.tv_sec, plain.st_mtim.tv_nsec);
        times.creation = times.lastWrite;
        return true;
    }
    times.lastAccess = ToFileTime(info.stx_atime.tv_sec, info.stx_atime.tv_nsec);
    times.lastWrite = ToFileTime(info.stx_mtime.tv_sec, info.stx_mtime.tv_nsec);
    times.creation = (info.stx_mask & STATX_BTIME) != 0 ? ToFileTime(info.stx_btime.tv_sec, info.stx_btime.tv_nsec)
                                                        : times.lastWrite;
    return true;
}

Result Write(NativeFile file, const void* buffer, std::size_t size) {
    const char* bytes = static_cast<const char*>(buffer);
    while (size > 0) {
        const ssize_t written = write(file, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return Failure();
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return {};
}

Result SetTimes(NativeFile file, const FileTimes& times) {
    const timespec both[2] = {ToTimespecOrOmit(times.lastAccess), ToTimespecOrOmit(times.lastWrite)};
    return futimens(file, both) == 0 ? Result() : Failure();
}

// ---- folders and names -------------------------------------------------------

Result FindFiles(const std::string& pattern, std::vector<FoundEntry>& found) {
    const std::string folder = ParentFolder(pattern);
    const std::string leaf = pattern.substr(folder.size());
    if (leaf.empty()) return Outcome::NotFound;

    std::string resolvedFolder = folder;
    FolderReader dir(opendir(folder.empty() ? "." : folder.c_str()), closedir);
    if (dir == nullptr && MissingAsWritten(errno)) {
        resolvedFolder = ResolveMissingPath(folder);
        if (resolvedFolder == folder) return Result(Outcome::NotFound, ENOENT);
        dir.reset(opendir(resolvedFolder.c_str()));
    }
    if (dir == nullptr) return Failure();
    while (true) {
        errno = 0;
        const dirent* entry = readdir(dir.get());
        if (entry == nullptr) break;
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
        if (!WildcardMatches(entry->d_name, leaf)) continue;
        FoundEntry item;
        item.name = entry->d_name;
        if (entry->d_type == DT_DIR) {
            item.isFolder = true;
        } else if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat info;
            item.isFolder = stat((resolvedFolder + item.name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        }
        found.push_back(std::move(item));
    }
    return errno == 0 ? Result() : Failure();
}

Result PathStatus(const std::string& path) {
    if (access(path.c_str(), F_OK) == 0) return {};
    if (!MissingAsWritten(errno)) return Failure();
    const std::string resolved = ResolveMissingPath(path);
    if (resolved == path) return Outcome::NotFound;
    return access(resolved.c_str(), F_OK) == 0 ? Result() : Failure();
}

Result CreateFolder(const std::string& path) {
    const std::string resolved = ResolvePath(path);
    if (EntryExists(resolved)) return Outcome::NameTaken;
    return mkdir(resolved.c_str(), 0777) == 0 ? Result() : Failure();
}

Result MoveToNameFreeInAnyCase(const std::string& from, const std::string& to) {
    std::string source = from;
    struct stat sourceInfo;
    if (lstat(source.c_str(), &sourceInfo) != 0) {
        if (!MissingAsWritten(errno)) return Failure();
        source = ResolveMissingPath(from);
        if (source == from) return Outcome::NotFound;
        if (lstat(source.c_str(), &sourceInfo) != 0) return Failure();
    }
    const std::string target = ResolvePath(to);

    // The target resolves to the source itself when only the case differs:
    // that is a rename to the name as given, which Windows allows.
    std::string destination = target;
    if (target == source) {
        destination = ParentFolder(source) + to.substr(ParentFolder(to).size());
        if (destination == source) return {};
    }

    return RenameNoReplace(source, destination);
}

Result MoveToNameFreeAsWritten(const std::string& from, const std::string& to) { return RenameNoReplace(from, to); }

Result MoveReplacing(const std::string& from, const std::string& to) {
    // rename replaces in one step; onto the name as it is stored, so that
    // no second file of another case appears beside it.
    const std::string stored = ResolvePath(to);
    if (rename(from.c_str(), stored.c_str()) != 0) return Failure();
    // Then the name as written, where only its case differs. The table is
    // in place either way: when this rename fails, it keeps the stored case.
    const std::string asWritten = ParentFolder(stored) + to.substr(ParentFolder(to).size());
    if (asWritten != stored) RenameNoReplace(stored, asWritten);
    return {};
}

Result FlushFolder(const std::string& folder) {
    FileHandle opened;
    if (const Result result = OpenFile(folder.empty() ? "." : ResolvePath(folder), O_RDONLY | O_DIRECTORY, opened);
        !result) {
        return result;
    }
    // File systems that cannot sync a folder (EINVAL) keep their names
    // durable by themselves.
    return fsync(opened.native()) == 0 || errno == EINVAL ? Result() : Failure();
}

Result FlushFile(const std::string& path) {
    FileHandle file;
    if (const Result opened = OpenRegularFile(path, O_RDONLY, file); !opened) return opened;
    return FlushData(file.native());
}

Result RemoveFile(const std::string& path) {
    if (unlink(path.c_str()) == 0) return {};
    if (!MissingAsWritten(errno)) return Failure();
    const std::string resolved = ResolveMissingPath(path);
    if (resolved == path) return Outcome::NotFound;
    return unlink(resolved.c_str()) == 0 ? Result() : Failure();
}

// ---- copies ------------------------------------------------------------------

// O_EXCL: a taken name fails. The times are read from the source before its
// bytes; the copy gets its last-write time.
Result CopyToNewFile(const std::string& from, const std::string& to, FileHandle& copy, FileTimes* sourceTimes) {
    FileHandle source;
    if (const Result opened = OpenRegularFile(from, O_RDONLY, source); !opened) return opened;
    FileTimes times;
    if (!GetTimes(source.native(), times)) return Failure();
    if (sourceTimes != nullptr) *sourceTimes = times;
    if (const Result created = OpenFile(to, O_WRONLY | O_CREAT | O_EXCL, copy); !created) return created;
    const timespec both[2] = {{0, UTIME_NOW}, ToTimespec(times.lastWrite)};
    if (const Result copied = CopyContent(source.native(), copy.native()); !copied) return copied;
    return futimens(copy.native(), both) == 0 ? Result() : Failure();
}

Result FlushData(NativeFile file) { return fdatasync(file) == 0 ? Result() : Failure(); }

void RemoveOwnFile(const std::string& path) { unlink(path.c_str()); }

// ---- locks -------------------------------------------------------------------

Result Lock(const std::string& path, FileHandle& lock, std::string& lockedPath) {
    const std::string resolved = ResolvePath(path);
    // Never through a link (O_NOFOLLOW), and only a plain file of one name:
    // a name planted there must not make a privileged run create or lock
    // a file elsewhere.
    FileHandle file;
    if (const Result opened = OpenFile(resolved, O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK, file); !opened) {
        return opened.systemCode() == ELOOP || opened.systemCode() == EISDIR ? Result(Outcome::NotAFile) : opened;
    }
    struct stat opened;
    if (fstat(file.native(), &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_nlink != 1) {
        return Outcome::NotAFile;
    }
    if (flock(file.native(), LOCK_EX | LOCK_NB) != 0) {
        return errno == EWOULDBLOCK ? Result(Outcome::InUse) : Failure();
    }
    // A holder deletes the file before it lets go: a lock taken on a file
    // that is no longer the one under the name counts as still in use, and
    // the next attempt takes the name's new file.
    struct stat named;
    if (stat(resolved.c_str(), &named) != 0 || opened.st_dev != named.st_dev || opened.st_ino != named.st_ino) {
        return Outcome::InUse;
    }
    lock = std::move(file);
    lockedPath = resolved;
    return {};
}

void Unlock(const std::string& lockedPath) { unlink(lockedPath.c_str()); }

}  // namespace platform::backend
