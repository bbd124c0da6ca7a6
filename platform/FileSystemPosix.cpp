// File services on POSIX (Linux), giving the results the Windows calls give:
// names are found without regard to case, a move replaces its target only
// when asked to, a failed copy leaves no partial file, and times are Windows
// file times. Copies are flushed with fdatasync before they are closed; a
// move is a rename, made durable by FlushFolder (an fsync of the folder).
//
// Creation times: read from the file system's birth time (statx) where it
// reports one, else reported as the last-write time. Linux offers no way to
// set a birth time, so SetTimes leaves it as it is.
#include "platform/FaultSeam.h"
#include "platform/FileSystem.h"
#include "platform/FolderNameIndex.h"
#include "platform/Wildcard.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace platform {

const char kPathSeparator = '/';

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

// The outcome of the call that failed last.
Result Failure() { return OutcomeOf(errno); }

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

bool ReadTimes(int fd, FileTimes& times) {
    struct statx info;
    if (statx(fd, "", AT_EMPTY_PATH, STATX_ATIME | STATX_MTIME | STATX_BTIME, &info) != 0) {
        // Kernels or sandboxes without statx: no birth time, the rest from fstat.
        struct stat plain;
        if (errno != ENOSYS || fstat(fd, &plain) != 0) return false;
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

// ---- descriptors -------------------------------------------------------------

// Opens an existing regular file, by the name as written first and by
// another case of it only when that names nothing. Anything but a regular
// file (a folder, a device, a pipe) fails, as only files can be opened on
// Windows. O_NONBLOCK keeps a pipe from blocking the open; it stays set, as
// it has no effect on the regular files that are kept open. info receives
// the file's status when given.
int OpenRegularFile(const std::string& path, int access, struct stat* info = nullptr) {
    const int flags = access | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    int fd = open(path.c_str(), flags);
    if (fd < 0 && MissingAsWritten(errno)) {
        // The lookup of another case makes calls of its own: the outcome is
        // the first open's unless another name is found and opened.
        const int missing = errno;
        const std::string resolved = ResolveMissingPath(path);
        if (resolved != path)
            fd = open(resolved.c_str(), flags);
        else
            errno = missing;
    }
    if (fd < 0) return -1;
    struct stat own;
    struct stat& status = info != nullptr ? *info : own;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        const int error = S_ISREG(status.st_mode) ? errno : EACCES;
        close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

bool WriteAll(int fd, const void* buffer, std::size_t size) {
    const char* bytes = static_cast<const char*>(buffer);
    while (size > 0) {
        const ssize_t written = write(fd, bytes, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (written == 0) return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Reads size bytes, or up to the end or an error: from the current position,
// or with pread from offset when one is given.
std::size_t ReadAll(int fd, void* buffer, std::size_t size, std::optional<off_t> offset = std::nullopt) {
    char* bytes = static_cast<char*>(buffer);
    std::size_t total = 0;
    while (total < size) {
        const ssize_t got = offset ? pread(fd, bytes + total, size - total, *offset + static_cast<off_t>(total))
                                   : read(fd, bytes + total, size - total);
        if (got < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (got == 0) break;
        total += static_cast<std::size_t>(got);
    }
    return total;
}

bool CloseChecked(int fd) {
    // Linux releases the descriptor even when close reports an error, so it
    // is never retried.
    return close(fd) == 0;
}

bool CopyContent(int from, int to) {
    char buffer[64 * 1024];
    while (true) {
        const ssize_t got = read(from, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (got == 0) return true;
        if (!WriteAll(to, buffer, static_cast<std::size_t>(got))) return false;
    }
}

// Copies the open source into a new file named to, exactly as written
// (O_EXCL: a taken name fails), and closes the source. The times are read
// from the source before its bytes; the copy gets its last-write time and
// is flushed with fdatasync before it is closed (Call::Flush), so that it
// is on the disk before a caller gives it a table's name. A partial copy
// is removed.
Result CopyToNewFile(int source, const std::string& to, FileTimes* sourceTimes) {
    FileTimes times;
    if (!ReadTimes(source, times)) {
        const Result failure = Failure();
        close(source);
        return failure;
    }
    if (sourceTimes != nullptr) *sourceTimes = times;
    const int copy = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (copy < 0) {
        const Result failure = Failure();
        close(source);
        return failure;
    }
    const timespec both[2] = {{0, UTIME_NOW}, ToTimespec(times.lastWrite)};
    Result result;
    if (!CopyContent(source, copy) || futimens(copy, both) != 0) {
        result = Failure();
    } else if (const Outcome fault = BeforeCall(Call::Flush, to); fault != Outcome::Done) {
        result = fault;
    } else if (fdatasync(copy) != 0) {
        result = Failure();
    }
    if (!CloseChecked(copy) && result) result = Failure();
    close(source);
    const bool ok = static_cast<bool>(result);
    if (!ok) unlink(to.c_str());
    return result;
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

}  // namespace

// ---- calendar ----------------------------------------------------------------

std::optional<CalendarTime> FileTimeToCalendar(FileTime time) {
    // FileTimeToSystemTime rejects times with the top bit set.
    if (time >= 0x8000000000000000ULL) return std::nullopt;
    constexpr std::uint64_t kUnitsPerDay = 86400ULL * kUnitsPerSecond;
    const std::int64_t days = static_cast<std::int64_t>(time / kUnitsPerDay);
    const std::int64_t secondsOfDay = static_cast<std::int64_t>((time % kUnitsPerDay) / kUnitsPerSecond);

    // Civil date from a day count (days since 0000-03-01 in the proleptic
    // Gregorian calendar; 1601-01-01 is day 584694 of that count).
    const std::int64_t z = days + 584694;
    const std::int64_t era = z / 146097;
    const std::int64_t dayOfEra = z - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;  // 0 = March
    const std::int64_t day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    const std::int64_t month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);

    CalendarTime result;
    result.year = static_cast<int>(year);
    result.month = static_cast<int>(month);
    result.day = static_cast<int>(day);
    result.hour = static_cast<int>(secondsOfDay / 3600);
    result.minute = static_cast<int>(secondsOfDay / 60 % 60);
    result.second = static_cast<int>(secondsOfDay % 60);
    return result;
}

// ---- InFile ------------------------------------------------------------------

InFile::~InFile() { Close(); }

Result InFile::Open(const std::string& path) {
    Close();
    if (const Outcome fault = BeforeCall(Call::Open, path); fault != Outcome::Done) return fault;
    handle_ = OpenRegularFile(path, O_RDONLY);
    return IsOpen() ? Result() : Failure();
}

bool InFile::IsOpen() const { return handle_ >= 0; }

void InFile::Close() {
    if (IsOpen()) close(static_cast<int>(handle_));
    handle_ = -1;
}

std::size_t InFile::Read(void* buffer, std::size_t size) {
    if (!IsOpen() || BeforeCall(Call::Read, {}) != Outcome::Done) return 0;
    return ReadAll(static_cast<int>(handle_), buffer, size);
}

std::size_t InFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    if (!IsOpen() || offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()) - size ||
        BeforeCall(Call::Read, {}) != Outcome::Done) {
        return 0;
    }
    return ReadAll(static_cast<int>(handle_), buffer, size, static_cast<off_t>(offset));
}

std::optional<std::uint64_t> InFile::Size() const {
    struct stat info;
    if (!IsOpen() || fstat(static_cast<int>(handle_), &info) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

bool InFile::GetTimes(FileTimes& times) const {
    return IsOpen() && BeforeCall(Call::GetTimes, {}) == Outcome::Done && ReadTimes(static_cast<int>(handle_), times);
}

// ---- OutFile -----------------------------------------------------------------

OutFile::~OutFile() { Close(); }

Result OutFile::OpenExisting(const std::string& path) {
    Close();
    if (const Outcome fault = BeforeCall(Call::Open, path); fault != Outcome::Done) return fault;
    handle_ = OpenRegularFile(path, O_WRONLY);
    return IsOpen() ? Result() : Failure();
}

Result OutFile::Create(const std::string& path) {
    Close();
    if (const Outcome fault = BeforeCall(Call::Open, path); fault != Outcome::Done) return fault;
    handle_ = open(ResolvePath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0666);
    return IsOpen() ? Result() : Failure();
}

Result OutFile::Append(const std::string& path) {
    Close();
    if (const Outcome fault = BeforeCall(Call::Open, path); fault != Outcome::Done) return fault;
    handle_ = open(ResolvePath(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY, 0666);
    return IsOpen() ? Result() : Failure();
}

bool OutFile::IsOpen() const { return handle_ >= 0; }

bool OutFile::Close() {
    if (!IsOpen()) return true;
    const bool closed = CloseChecked(static_cast<int>(handle_));
    handle_ = -1;
    return closed;
}

Result OutFile::Write(const void* buffer, std::size_t size) {
    if (!IsOpen()) return Outcome::Other;
    if (const Outcome fault = BeforeCall(Call::Write, {}); fault != Outcome::Done) return fault;
    return WriteAll(static_cast<int>(handle_), buffer, size) ? Result() : Failure();
}

Result OutFile::SetTimes(const FileTimes& times) {
    if (!IsOpen()) return Outcome::Other;
    if (const Outcome fault = BeforeCall(Call::SetTimes, {}); fault != Outcome::Done) return fault;
    const timespec both[2] = {ToTimespecOrOmit(times.lastAccess), ToTimespecOrOmit(times.lastWrite)};
    return futimens(static_cast<int>(handle_), both) == 0 ? Result() : Failure();
}

Result OutFile::Flush() {
    if (!IsOpen()) return Outcome::Other;
    if (const Outcome fault = BeforeCall(Call::Flush, {}); fault != Outcome::Done) return fault;
    return fdatasync(static_cast<int>(handle_)) == 0 ? Result() : Failure();
}

std::optional<std::uint64_t> OutFile::Size() const {
    struct stat info;
    if (!IsOpen() || fstat(static_cast<int>(handle_), &info) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

// ---- folders and whole files -------------------------------------------------

Result FindFiles(const std::string& pattern, std::vector<FoundEntry>& found) {
    found.clear();
    const std::string folder = ParentFolder(pattern);
    const std::string leaf = pattern.substr(folder.size());
    if (const Outcome fault = BeforeCall(Call::Find, pattern); fault != Outcome::Done) return fault;
    if (leaf.empty()) return Outcome::NotFound;

    std::string resolvedFolder = folder;
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr && MissingAsWritten(errno)) {
        resolvedFolder = ResolveMissingPath(folder);
        if (resolvedFolder != folder)
            dir = opendir(resolvedFolder.c_str());
        else
            errno = ENOENT;
    }
    if (dir == nullptr) return Failure();
    while (true) {
        errno = 0;
        const dirent* entry = readdir(dir);
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
    const Result result = errno == 0 ? Result() : Failure();
    closedir(dir);
    return result;
}

Result PathStatus(const std::string& path) {
    if (const Outcome fault = BeforeCall(Call::Exists, path); fault != Outcome::Done) return fault;
    if (access(path.c_str(), F_OK) == 0) return {};
    if (!MissingAsWritten(errno)) return Failure();
    const std::string resolved = ResolveMissingPath(path);
    if (resolved == path) return Outcome::NotFound;
    return access(resolved.c_str(), F_OK) == 0 ? Result() : Failure();
}

Result CreateFolder(const std::string& path) {
    if (const Outcome fault = BeforeCall(Call::CreateFolder, path); fault != Outcome::Done) return fault;
    const std::string resolved = ResolvePath(path);
    if (EntryExists(resolved)) return Outcome::NameTaken;
    return mkdir(resolved.c_str(), 0777) == 0 ? Result() : Failure();
}

Result MoveFileToNameFreeInAnyCase(const std::string& from, const std::string& to) {
    if (const Outcome fault = BeforeCall(Call::Move, from, to); fault != Outcome::Done) return fault;
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

Result MoveFileToNameFreeAsWritten(const std::string& from, const std::string& to) {
    if (const Outcome fault = BeforeCall(Call::Move, from, to); fault != Outcome::Done) return fault;
    return RenameNoReplace(from, to);
}

Result MoveFileReplacing(const std::string& from, const std::string& to) {
    if (const Outcome fault = BeforeCall(Call::Move, from, to); fault != Outcome::Done) return fault;
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
    if (const Outcome fault = BeforeCall(Call::Flush, folder); fault != Outcome::Done) return fault;
    const int fd = open(folder.empty() ? "." : ResolvePath(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return Failure();
    // File systems that cannot sync a folder (EINVAL) keep their names
    // durable by themselves.
    const bool ok = fsync(fd) == 0 || errno == EINVAL;
    const Result result = ok ? Result() : Failure();
    close(fd);
    return result;
}

Result FlushFile(const std::string& path) {
    if (const Outcome fault = BeforeCall(Call::Flush, path); fault != Outcome::Done) return fault;
    const int fd = OpenRegularFile(path, O_RDONLY);
    if (fd < 0) return Failure();
    const Result result = fdatasync(fd) == 0 ? Result() : Failure();
    close(fd);
    return result;
}

Result RemoveFile(const std::string& path) {
    if (const Outcome fault = BeforeCall(Call::Delete, path); fault != Outcome::Done) return fault;
    if (unlink(path.c_str()) == 0) return {};
    if (!MissingAsWritten(errno)) return Failure();
    const std::string resolved = ResolveMissingPath(path);
    if (resolved == path) return Outcome::NotFound;
    return unlink(resolved.c_str()) == 0 ? Result() : Failure();
}

Result CopyFileToNameFreeAsWritten(const std::string& from, const std::string& to, FileTimes* sourceTimes) {
    if (const Outcome fault = BeforeCall(Call::Copy, from, to); fault != Outcome::Done) return fault;
    const int source = OpenRegularFile(from, O_RDONLY);
    if (source < 0) return Failure();
    return CopyToNewFile(source, to, sourceTimes);
}

std::optional<std::vector<unsigned char>> ReadWholeFile(const std::string& path) {
    if (BeforeCall(Call::Read, path) != Outcome::Done) return std::nullopt;
    const int fd = OpenRegularFile(path, O_RDONLY);
    if (fd < 0) return std::nullopt;
    std::vector<unsigned char> bytes;
    unsigned char buffer[64 * 1024];
    while (true) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            close(fd);
            if (got < 0) return std::nullopt;
            return bytes;
        }
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
}

// ---- locks -------------------------------------------------------------------

FileLock::~FileLock() { Release(); }

Result FileLock::Acquire(const std::string& path) {
    Release();
    if (const Outcome fault = BeforeCall(Call::Lock, path); fault != Outcome::Done) return fault;
    const std::string resolved = ResolvePath(path);
    // Never through a link (O_NOFOLLOW), and only a plain file of one name:
    // a name planted there must not make a privileged run create or lock
    // a file elsewhere.
    const int fd = open(resolved.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) return errno == ELOOP || errno == EISDIR ? Result(Outcome::NotAFile) : Failure();
    struct stat opened;
    if (fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_nlink != 1) {
        close(fd);
        return Outcome::NotAFile;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const Result failure = errno == EWOULDBLOCK ? Result(Outcome::InUse) : Failure();
        close(fd);
        return failure;
    }
    // A holder deletes the file before it lets go: a lock taken on a file
    // that is no longer the one under the name counts as still in use, and
    // the next attempt takes the name's new file.
    struct stat held;
    struct stat named;
    if (fstat(fd, &held) != 0 || stat(resolved.c_str(), &named) != 0 || held.st_dev != named.st_dev ||
        held.st_ino != named.st_ino) {
        close(fd);
        return Outcome::InUse;
    }
    handle_ = fd;
    path_ = resolved;
    return {};
}

bool FileLock::IsHeld() const { return handle_ >= 0; }

void FileLock::Release() {
    if (!IsHeld()) return;
    unlink(path_.c_str());
    close(static_cast<int>(handle_));
    handle_ = -1;
}

}  // namespace platform
