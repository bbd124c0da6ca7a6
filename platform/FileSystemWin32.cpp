// File services on Windows: thin wrappers over the kernel's wide file calls.
// Paths arrive in UTF-8 and go to the system as UTF-16 long paths
// ("\\?\C:\...", "\\?\UNC\server\share\..."), so no path is cut at 260
// characters. Copies are flushed with FlushFileBuffers before they are
// closed; moves are renames within one volume (no MOVEFILE_COPY_ALLOWED),
// written through.
#include "platform/FaultSeam.h"
#include "platform/FileSystem.h"
#include "platform/WideText.h"
#include "platform/Wildcard.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <limits>

namespace platform {

const char kPathSeparator = '\\';

namespace {

HANDLE ToHandle(std::intptr_t value) { return reinterpret_cast<HANDLE>(value); }
std::intptr_t FromHandle(HANDLE handle) { return reinterpret_cast<std::intptr_t>(handle); }

FILETIME ToFiletime(FileTime time) {
    FILETIME result;
    result.dwLowDateTime = static_cast<DWORD>(time & 0xFFFFFFFFu);
    result.dwHighDateTime = static_cast<DWORD>(time >> 32);
    return result;
}

FileTime FromFiletime(const FILETIME& time) {
    return (static_cast<FileTime>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The outcome a failed call's last error stands for.
Outcome OutcomeOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return Outcome::NameTaken;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
        return Outcome::NotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return Outcome::AccessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return Outcome::InUse;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return Outcome::DiskFull;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW:
    case ERROR_NO_UNICODE_TRANSLATION:
        return Outcome::BadName;
    case ERROR_NOT_SAME_DEVICE:
        return Outcome::OtherVolume;
    default:
        return Outcome::Other;
    }
}

// The outcome of the call that failed last.
Result Failure() { return OutcomeOf(GetLastError()); }

// ---- paths -------------------------------------------------------------------

// A path for the wide calls: '/' taken for '\', made absolute with its '.'
// and '..' resolved (GetFullPathNameW, which also drops a last name's
// trailing dots and spaces as every Windows call does), then in its long
// form. Device paths ("\\.\CON") and long forms stay as they are. Fails
// with BadName when the path is not UTF-8 or holds a zero.
Result WidePath(const std::string& path, std::wstring& wide) {
    std::optional<std::wstring> converted = WideFromUtf8(path);
    if (!converted || converted->find(L'\0') != std::wstring::npos) return Outcome::BadName;
    std::wstring& given = *converted;
    for (wchar_t& c : given) {
        if (c == L'/') c = L'\\';
    }
    if (given.empty() || given.starts_with(L"\\\\?\\")) {
        wide = std::move(given);
        return {};
    }
    std::wstring full(MAX_PATH, L'\0');
    while (true) {
        const DWORD length = GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) return Failure();
        if (length < full.size()) {
            full.resize(length);
            break;
        }
        if (length > kLongestPath + 1) return Outcome::BadName;
        full.resize(length);
    }
    if (full.starts_with(L"\\\\.\\") || full.starts_with(L"\\\\?\\")) {
        wide = std::move(full);
    } else if (full.starts_with(L"\\\\")) {
        wide = L"\\\\?\\UNC\\" + full.substr(2);
    } else {
        wide = L"\\\\?\\" + full;
    }
    return {};
}

// The last name of a wide path.
std::wstring_view LastName(const std::wstring& path) {
    const std::size_t cut = path.find_last_of(L'\\');
    return cut == std::wstring::npos ? std::wstring_view(path) : std::wstring_view(path).substr(cut + 1);
}

// True when two names are one for the file system: equal without regard to
// case, as NTFS compares them.
bool SameName(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// True when the path's last name reaches an existing entry whose long name
// is another: Windows also opens "DFILMLONGNAME.ztb" as "DFILML~1.ZTB", and
// a call must not act on that file for a table of the alias's name. The
// generated aliases always hold a '~', so only such names are looked up.
bool IsAliasOfAnother(const std::wstring& path) {
    const std::wstring_view name = LastName(path);
    if (name.find(L'~') == std::wstring_view::npos || name.find_first_of(L"*?") != std::wstring_view::npos) {
        return false;
    }
    WIN32_FIND_DATAW data;
    const HANDLE search = FindFirstFileW(path.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return false;  // the call itself tells what is missing
    FindClose(search);
    return !SameName(data.cFileName, name);
}

// The wide form of a path that names an existing file by its long name:
// BadName when it cannot be converted, NotFound when it is another file's
// short alias.
Result ExistingPath(const std::string& path, std::wstring& wide) {
    if (const Result converted = WidePath(path, wide); !converted) return converted;
    return IsAliasOfAnother(wide) ? Result(Outcome::NotFound) : Result();
}

// ---- sharing -----------------------------------------------------------------

// Another process that holds a file without sharing it (a scanner, an
// indexer, a virus checker) usually lets go within moments: a sharing or
// lock violation is retried for about a second before the call fails.
constexpr int kShareAttempts = 20;
constexpr DWORD kShareWaitMilliseconds = 50;

template <typename Attempt>
bool Retrying(Attempt attempt) {
    for (int tries = 1;; ++tries) {
        if (attempt()) return true;
        const DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) || tries >= kShareAttempts) {
            return false;
        }
        Sleep(kShareWaitMilliseconds);
        SetLastError(error);
    }
}

// Sharing of files opened for reading: others may read them, rename them or
// delete them meanwhile, but not change their bytes under the reader.
constexpr DWORD kReadSharing = FILE_SHARE_READ | FILE_SHARE_DELETE;
constexpr DWORD kAllSharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opens a file. A folder cannot be opened this way (that would take
// FILE_FLAG_BACKUP_SEMANTICS); devices such as "CON" can, so anything that
// is not a disk file is refused.
HANDLE OpenDiskFile(const std::wstring& path, DWORD access, DWORD sharing, DWORD disposition) {
    HANDLE handle = INVALID_HANDLE_VALUE;
    Retrying([&] {
        handle = CreateFileW(path.c_str(), access, sharing, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
        return handle != INVALID_HANDLE_VALUE;
    });
    if (handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return handle;
}

// Opens an existing file for reading, by its long name only.
Result OpenForReading(const std::string& path, HANDLE& handle) {
    std::wstring wide;
    if (const Result usable = ExistingPath(path, wide); !usable) return usable;
    handle = OpenDiskFile(wide, GENERIC_READ, kReadSharing, OPEN_EXISTING);
    return handle != INVALID_HANDLE_VALUE ? Result() : Failure();
}

// Deletes a file whose name the caller made (a partial or surplus copy).
void DeleteOwnFile(const std::wstring& path) {
    Retrying([&] { return DeleteFileW(path.c_str()) != 0; });
}

// ReadFile and WriteFile take 32-bit counts; larger requests go in pieces.
constexpr std::size_t kMaxChunk = 1u << 30;

// Reads size bytes, or up to the end or an error: from the current position,
// or from offset when one is given (where ReadFile fails with
// ERROR_HANDLE_EOF at the end of the file).
std::size_t ReadAll(
    HANDLE handle, void* buffer, std::size_t size, bool& failed, std::optional<std::uint64_t> offset = std::nullopt) {
    char* bytes = static_cast<char*>(buffer);
    std::size_t total = 0;
    failed = false;
    while (total < size) {
        const DWORD request = static_cast<DWORD>(std::min(size - total, kMaxChunk));
        DWORD got = 0;
        OVERLAPPED position{};  // the offset's high part carries 2^32 and more
        if (offset) {
            position.Offset = static_cast<DWORD>((*offset + total) & 0xFFFFFFFFu);
            position.OffsetHigh = static_cast<DWORD>((*offset + total) >> 32);
        }
        if (!ReadFile(handle, bytes + total, request, &got, offset ? &position : nullptr)) {
            failed = true;
            break;
        }
        if (got == 0) break;
        total += got;
    }
    return total;
}

std::string FolderOf(const std::string& path) {
    const std::size_t cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

bool WriteAll(HANDLE handle, const void* buffer, std::size_t size, Result& failure) {
    const char* bytes = static_cast<const char*>(buffer);
    while (size > 0) {
        const DWORD request = static_cast<DWORD>(std::min(size, kMaxChunk));
        DWORD written = 0;
        if (!WriteFile(handle, bytes, request, &written, nullptr)) {
            failure = Failure();
            return false;
        }
        if (written == 0) {
            failure = Outcome::DiskFull;
            return false;
        }
        bytes += written;
        size -= written;
    }
    return true;
}

// Copies the open source into the open copy with its three times, read
// before the bytes, and flushes the copy (Call::Flush, path to).
Result CopyOpenFile(HANDLE source, HANDLE copy, const std::string& to, FileTimes* sourceTimes) {
    FILETIME creation;
    FILETIME lastAccess;
    FILETIME lastWrite;
    if (!GetFileTime(source, &creation, &lastAccess, &lastWrite)) return Failure();
    if (sourceTimes != nullptr) {
        sourceTimes->creation = FromFiletime(creation);
        sourceTimes->lastAccess = FromFiletime(lastAccess);
        sourceTimes->lastWrite = FromFiletime(lastWrite);
    }
    char buffer[64 * 1024];
    while (true) {
        DWORD got = 0;
        if (!ReadFile(source, buffer, sizeof buffer, &got, nullptr)) return Failure();
        if (got == 0) break;
        Result failure;
        if (!WriteAll(copy, buffer, got, failure)) return failure;
    }
    if (!SetFileTime(copy, &creation, &lastAccess, &lastWrite)) return Failure();
    if (const Outcome fault = BeforeCall(Call::Flush, to); fault != Outcome::Done) return fault;
    return FlushFileBuffers(copy) ? Result() : Failure();
}

}  // namespace

// ---- calendar ----------------------------------------------------------------

std::optional<CalendarTime> FileTimeToCalendar(FileTime time) {
    const FILETIME fileTime = ToFiletime(time);
    SYSTEMTIME system;
    if (!FileTimeToSystemTime(&fileTime, &system)) return std::nullopt;
    CalendarTime result;
    result.year = system.wYear;
    result.month = system.wMonth;
    result.day = system.wDay;
    result.hour = system.wHour;
    result.minute = system.wMinute;
    result.second = system.wSecond;
    return result;
}

// ---- InFile ------------------------------------------------------------------

InFile::~InFile() { Close(); }

Result InFile::Open(const std::string& path) {
    Close();
    if (const Outcome fault = BeforeCall(Call::Open, path); fault != Outcome::Done) return fault;
    HANDLE handle = INVALID_HANDLE_VALUE;
    const Result opened = OpenForReading(path, handle);
    handle_ = FromHandle(handle);
    return opened;
}

bool InFile::IsOpen() const { return ToHandle(handle_) != INVALID_HANDLE_VALUE; }

void InFile::Close() {
    if (IsOpen()) CloseHandle(ToHandle(handle_));
    handle_ = FromHandle(INVALID_HANDLE_VALUE);
}

std::size_t InFile::Read(void* buffer, std::size_t size) {
    if (!IsOpen() || BeforeCall(Call::Read, {}) != Outcome::Done) return 0;
    bool failed = false;
    return ReadAll(ToHandle(handle_), buffer, size, failed);
}

std::size_t InFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    if (!IsOpen() || offset > static_cast<std::uint64_t>(std::numeric_limits<LONGLONG>::max()) - size ||
        BeforeCall(Call::Read, {}) != Outcome::Done) {
        return 0;
    }
    bool failed = false;
    return ReadAll(ToHandle(handle_), buffer, size, failed, offset);
}

std::optional<std::uint64_t> InFile::Size() const {
    LARGE_INTEGER size;
    if (!IsOpen() || !GetFileSizeEx(ToHandle(handle_), &size)) return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
}

bool InFile::GetTimes(FileTimes& times) const {
    FILETIME creation;
    FILETIME lastAccess;
    FILETIME lastWrite;
    if (!IsOpen() || BeforeCall(Call::GetTimes, {}) != Outcome::Done ||
        !GetFileTime(ToHandle(handle_), &creation, &lastAccess, &lastWrite)) {
        return false;
    }
    times.creation = FromFiletime(creation);
    times.lastAccess = FromFiletime(lastAccess);
    times.lastWrite = FromFiletime(lastWrite);
    return true;
}

// ---- OutFile -----------------------------------------------------------------

OutFile::~OutFile() { Close(); }

Result OutFile::OpenExisting(const std::string& path) {
    Close();
    if (const Outcome fault = BeforeCall(Call::Open, path); fault != Outcome::Done) return fault;
    std::wstring wide;
    if (const Result usable = ExistingPath(path, wide); !usable) return usable;
    // Only the times are set through this handle: attribute access, which
    // no reader's sharing excludes.
    handle_ = FromHandle(OpenDiskFile(wide, FILE_WRITE_ATTRIBUTES, kAllSharing, OPEN_EXISTING));
    return IsOpen() ? Result() : Failure();
}

Result OutFile::Create(const std::string& path) {
    Close();
    if (const Outcome fault = BeforeCall(Call::Open, path); fault != Outcome::Done) return fault;
    std::wstring wide;
    if (const Result usable = WidePath(path, wide); !usable) return usable;
    // Never empties another file that has this name as its alias.
    if (IsAliasOfAnother(wide)) return Outcome::NameTaken;
    handle_ = FromHandle(OpenDiskFile(wide, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS));
    return IsOpen() ? Result() : Failure();
}

Result OutFile::Append(const std::string& path) {
    Close();
    if (const Outcome fault = BeforeCall(Call::Open, path); fault != Outcome::Done) return fault;
    std::wstring wide;
    if (const Result usable = WidePath(path, wide); !usable) return usable;
    if (IsAliasOfAnother(wide)) return Outcome::NameTaken;
    // GENERIC_WRITE rather than FILE_APPEND_DATA alone, which
    // FlushFileBuffers does not take; every write goes to the end.
    handle_ = FromHandle(OpenDiskFile(wide, GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS));
    if (!IsOpen()) return Failure();
    if (!SetFilePointerEx(ToHandle(handle_), LARGE_INTEGER{}, nullptr, FILE_END)) {
        const Result failure = Failure();
        Close();
        return failure;
    }
    return {};
}

bool OutFile::IsOpen() const { return ToHandle(handle_) != INVALID_HANDLE_VALUE; }

bool OutFile::Close() {
    if (!IsOpen()) return true;
    const bool closed = CloseHandle(ToHandle(handle_)) != 0;
    handle_ = FromHandle(INVALID_HANDLE_VALUE);
    return closed;
}

Result OutFile::Write(const void* buffer, std::size_t size) {
    if (!IsOpen()) return Outcome::Other;
    if (const Outcome fault = BeforeCall(Call::Write, {}); fault != Outcome::Done) return fault;
    Result failure;
    return WriteAll(ToHandle(handle_), buffer, size, failure) ? Result() : failure;
}

Result OutFile::SetTimes(const FileTimes& times) {
    if (!IsOpen()) return Outcome::Other;
    if (const Outcome fault = BeforeCall(Call::SetTimes, {}); fault != Outcome::Done) return fault;
    // A zero time leaves that time as it is (SetFileTime's own rule).
    const FILETIME creation = ToFiletime(times.creation);
    const FILETIME lastAccess = ToFiletime(times.lastAccess);
    const FILETIME lastWrite = ToFiletime(times.lastWrite);
    return SetFileTime(ToHandle(handle_), &creation, &lastAccess, &lastWrite) ? Result() : Failure();
}

Result OutFile::Flush() {
    if (!IsOpen()) return Outcome::Other;
    if (const Outcome fault = BeforeCall(Call::Flush, {}); fault != Outcome::Done) return fault;
    return FlushFileBuffers(ToHandle(handle_)) ? Result() : Failure();
}

std::optional<std::uint64_t> OutFile::Size() const {
    LARGE_INTEGER size;
    if (!IsOpen() || !GetFileSizeEx(ToHandle(handle_), &size)) return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
}

// ---- folders and whole files -------------------------------------------------

Result FindFiles(const std::string& pattern, std::vector<FoundEntry>& found) {
    found.clear();
    if (const Outcome fault = BeforeCall(Call::Find, pattern); fault != Outcome::Done) return fault;
    std::wstring wide;
    if (const Result usable = WidePath(pattern, wide); !usable) return usable;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(wide.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        // ERROR_FILE_NOT_FOUND: the folder was read and nothing matches;
        // a missing folder is ERROR_PATH_NOT_FOUND.
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? Result() : Result(OutcomeOf(error));
    }

    // The system also matches the generated 8.3 names, so "*.ztb" would find
    // "A.ztbak" through "A~1.ZTB"; only names that match as stored count. A
    // name that is not valid UTF-16 cannot be named in UTF-8 and is left out.
    const std::string leaf = pattern.substr(FolderOf(pattern).size());
    do {
        std::optional<std::string> name = Utf8FromWide(data.cFileName);
        if (!name || *name == "." || *name == ".." || !WildcardMatches(*name, leaf)) continue;
        FoundEntry entry;
        entry.name = std::move(*name);
        entry.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        found.push_back(std::move(entry));
    } while (FindNextFileW(search, &data));
    const DWORD error = GetLastError();
    FindClose(search);
    return error == ERROR_NO_MORE_FILES ? Result() : Result(OutcomeOf(error));
}

Result PathStatus(const std::string& path) {
    if (const Outcome fault = BeforeCall(Call::Exists, path); fault != Outcome::Done) return fault;
    std::wstring wide;
    if (const Result usable = ExistingPath(path, wide); !usable) return usable;
    return GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES ? Result() : Failure();
}

Result CreateFolder(const std::string& path) {
    if (const Outcome fault = BeforeCall(Call::CreateFolder, path); fault != Outcome::Done) return fault;
    std::wstring wide;
    if (const Result usable = WidePath(path, wide); !usable) return usable;
    return CreateDirectoryW(wide.c_str(), nullptr) ? Result() : Failure();
}

namespace {

// A rename, never a copy to another volume: that one the caller makes in
// steps that keep the file whole in one place at least.
constexpr DWORD kMoveFlags = MOVEFILE_WRITE_THROUGH;

// Moves the file that from names by its long name. A target that exists
// is never replaced unless flags ask for it, and then only when it is the
// target's long name.
Result MoveByLongName(const std::string& from, const std::string& to, DWORD flags) {
    std::wstring source;
    std::wstring target;
    if (const Result usable = ExistingPath(from, source); !usable) return usable;
    if (const Result usable = WidePath(to, target); !usable) return usable;
    if ((flags & MOVEFILE_REPLACE_EXISTING) != 0 && IsAliasOfAnother(target)) return Outcome::NameTaken;
    const bool moved = Retrying([&] { return MoveFileExW(source.c_str(), target.c_str(), flags) != 0; });
    return moved ? Result() : Failure();
}

}  // namespace

Result MoveFileToNameFreeInAnyCase(const std::string& from, const std::string& to) {
    if (const Outcome fault = BeforeCall(Call::Move, from, to); fault != Outcome::Done) return fault;
    return MoveByLongName(from, to, kMoveFlags);
}

Result MoveFileToNameFreeAsWritten(const std::string& from, const std::string& to) {
    if (const Outcome fault = BeforeCall(Call::Move, from, to); fault != Outcome::Done) return fault;
    return MoveByLongName(from, to, kMoveFlags);
}

Result MoveFileReplacing(const std::string& from, const std::string& to) {
    if (const Outcome fault = BeforeCall(Call::Move, from, to); fault != Outcome::Done) return fault;
    if (const Result moved = MoveByLongName(from, to, MOVEFILE_REPLACE_EXISTING | kMoveFlags); !moved) return moved;
    // A system that keeps the replaced file's stored case (Wine) gets a
    // rename by case alone, which leaves the table in place either way.
    std::wstring target;
    WIN32_FIND_DATAW data;
    if (!WidePath(to, target)) return {};
    const HANDLE search = FindFirstFileW(target.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return {};
    FindClose(search);
    const std::wstring_view written = LastName(target);
    if (written != data.cFileName) {
        const std::wstring stored = target.substr(0, target.size() - written.size()) + data.cFileName;
        MoveFileExW(stored.c_str(), target.c_str(), kMoveFlags);
    }
    return {};
}

Result FlushFolder(const std::string& folder) {
    // NTFS journals a rename, and MOVEFILE_WRITE_THROUGH has waited for it.
    return BeforeCall(Call::Flush, folder);
}

Result FlushFile(const std::string& path) {
    if (const Outcome fault = BeforeCall(Call::Flush, path); fault != Outcome::Done) return fault;
    std::wstring wide;
    if (const Result usable = ExistingPath(path, wide); !usable) return usable;
    HANDLE handle = OpenDiskFile(wide, GENERIC_WRITE, kAllSharing, OPEN_EXISTING);
    if (handle == INVALID_HANDLE_VALUE) {
        const Result failure = Failure();
        // FlushFileBuffers needs a handle open for writing, which a
        // read-only file refuses: it is left as it is.
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
        return failure == Outcome::AccessDenied && readOnly ? Result() : failure;
    }
    const Result result = FlushFileBuffers(handle) ? Result() : Failure();
    CloseHandle(handle);
    return result;
}

Result RemoveFile(const std::string& path) {
    if (const Outcome fault = BeforeCall(Call::Delete, path); fault != Outcome::Done) return fault;
    std::wstring wide;
    if (const Result usable = ExistingPath(path, wide); !usable) return usable;
    return Retrying([&] { return DeleteFileW(wide.c_str()) != 0; }) ? Result() : Failure();
}

Result CopyFileToNameFreeAsWritten(const std::string& from, const std::string& to, FileTimes* sourceTimes) {
    if (const Outcome fault = BeforeCall(Call::Copy, from, to); fault != Outcome::Done) return fault;
    // Our own loop rather than CopyFileW: the bytes and the times come from
    // one handle of the source, and the copy is flushed before it closes. It
    // is created with normal attributes, so it stays writable whatever the
    // source's are.
    std::wstring target;
    if (const Result usable = WidePath(to, target); !usable) return usable;
    HANDLE source = INVALID_HANDLE_VALUE;
    if (const Result opened = OpenForReading(from, source); !opened) return opened;
    HANDLE copy = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (copy == INVALID_HANDLE_VALUE) {
        const Result failure = Failure();
        CloseHandle(source);
        return failure;
    }
    Result result = CopyOpenFile(source, copy, to, sourceTimes);
    if (!CloseHandle(copy) && result) result = Failure();
    CloseHandle(source);
    // A failure part way leaves no partial copy; the name was free before.
    if (!result) DeleteOwnFile(target);
    return result;
}

std::optional<std::vector<unsigned char>> ReadWholeFile(const std::string& path) {
    if (BeforeCall(Call::Read, path) != Outcome::Done) return std::nullopt;
    HANDLE handle = INVALID_HANDLE_VALUE;
    if (!OpenForReading(path, handle)) return std::nullopt;
    std::vector<unsigned char> bytes;
    unsigned char buffer[64 * 1024];
    bool failed = false;
    while (const std::size_t got = ReadAll(handle, buffer, sizeof buffer, failed)) {
        bytes.insert(bytes.end(), buffer, buffer + got);
        if (failed) break;
    }
    CloseHandle(handle);
    if (failed) return std::nullopt;
    return bytes;
}

// ---- locks -------------------------------------------------------------------

FileLock::~FileLock() { Release(); }

Result FileLock::Acquire(const std::string& path) {
    Release();
    if (const Outcome fault = BeforeCall(Call::Lock, path); fault != Outcome::Done) return fault;
    std::wstring wide;
    if (const Result usable = WidePath(path, wide); !usable) return usable;
    // No sharing: every other open fails while this handle lives, and the
    // file goes with the handle, also when the holder is ended. No retry
    // here: the caller waits for a holder in its own way. A link or
    // junction planted under the name is opened as itself, never followed.
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    constexpr DWORD kNotAFile = FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kNotAFile) != 0) return Outcome::NotAFile;
    HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
        FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const Result failure = Failure();
        // A lock file that a holder has just let go may wait for its
        // deletion a moment; opening it is then denied.
        if (failure == Outcome::AccessDenied && attributes != INVALID_FILE_ATTRIBUTES) return Outcome::InUse;
        return failure;
    }
    // Planted between the look and the open: given up, the handle's close
    // deleting only the planted name of this folder.
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & kNotAFile) != 0 || info.nNumberOfLinks != 1) {
        CloseHandle(handle);
        return Outcome::NotAFile;
    }
    handle_ = FromHandle(handle);
    path_ = path;
    return {};
}

bool FileLock::IsHeld() const { return ToHandle(handle_) != INVALID_HANDLE_VALUE; }

void FileLock::Release() {
    if (!IsHeld()) return;
    CloseHandle(ToHandle(handle_));
    handle_ = FromHandle(INVALID_HANDLE_VALUE);
}

}  // namespace platform
