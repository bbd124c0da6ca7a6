// File services on Windows: thin wrappers over the kernel's wide file calls.
// Paths arrive in UTF-8 and go to the system as UTF-16 long paths
// ("\\?\C:\...", "\\?\UNC\server\share\..."), so no path is cut at 260
// characters. Copies are flushed with FlushFileBuffers before they are
// closed; moves are renames within one volume (no MOVEFILE_COPY_ALLOWED),
// written through.
#include "platform/FileNames.h"
#include "platform/FileSystemBackend.h"
#include "platform/WideText.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <memory>

namespace platform::backend {

namespace {

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

// The outcome of a failed call's last error, with the error.
Result FailureOf(DWORD error) { return Result(OutcomeOf(error), error); }

// The outcome of the call that failed last.
Result Failure() { return FailureOf(GetLastError()); }

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

// A folder search, closed when it goes; nullptr when none.
struct SearchCloser {
    void operator()(HANDLE search) const { FindClose(search); }
};
using Search = std::unique_ptr<void, SearchCloser>;

// The first entry that matches the wide pattern, in data; none when the
// search fails (GetLastError tells why).
Search FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW& data) {
    const HANDLE search = FindFirstFileW(pattern.c_str(), &data);
    return Search(search == INVALID_HANDLE_VALUE ? nullptr : search);
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
    if (FindFirst(path, data) == nullptr) return false;  // the call itself tells what is missing
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

// Takes a handle that CreateFileW returned: Done, or the open's failure.
Result Opened(HANDLE handle, FileHandle& file) {
    if (handle == INVALID_HANDLE_VALUE) return Failure();
    file = FileHandle(handle);
    return {};
}

// Opens a disk file into file. A folder cannot be opened this way (that
// would take FILE_FLAG_BACKUP_SEMANTICS); devices such as "CON" can, so
// anything that is not a disk file is refused.
Result OpenDiskFile(const std::wstring& path, DWORD access, DWORD sharing, DWORD disposition, FileHandle& file) {
    HANDLE handle = INVALID_HANDLE_VALUE;
    Retrying([&] {
        handle = CreateFileW(path.c_str(), access, sharing, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
        return handle != INVALID_HANDLE_VALUE;
    });
    FileHandle opened;
    if (const Result result = Opened(handle, opened); !result) return result;
    if (GetFileType(handle) != FILE_TYPE_DISK) return FailureOf(ERROR_ACCESS_DENIED);
    file = std::move(opened);
    return {};
}

// ReadFile and WriteFile take 32-bit counts; larger requests go in pieces.
constexpr std::size_t kMaxChunk = 1u << 30;

std::string FolderOf(const std::string& path) {
    const std::size_t cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

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

// ---- open files --------------------------------------------------------------

Result Close(NativeFile file) { return CloseHandle(file) ? Result() : Failure(); }

Result OpenForReading(const std::string& path, FileHandle& file) {
    std::wstring wide;
    if (const Result usable = ExistingPath(path, wide); !usable) return usable;
    return OpenDiskFile(wide, GENERIC_READ, kReadSharing, OPEN_EXISTING, file);
}

Result OpenForTimes(const std::string& path, FileHandle& file) {
    std::wstring wide;
    if (const Result usable = ExistingPath(path, wide); !usable) return usable;
    // Only the times are set through this handle: attribute access, which
    // no reader's sharing excludes.
    return OpenDiskFile(wide, FILE_WRITE_ATTRIBUTES, kAllSharing, OPEN_EXISTING, file);
}

Result CreateForWriting(const std::string& path, FileHandle& file) {
    std::wstring wide;
    if (const Result usable = WidePath(path, wide); !usable) return usable;
    // Never empties another file that has this name as its alias.
    if (IsAliasOfAnother(wide)) return Outcome::NameTaken;
    return OpenDiskFile(wide, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS, file);
}

Result OpenForAppending(const std::string& path, FileHandle& file) {
    std::wstring wide;
    if (const Result usable = WidePath(path, wide); !usable) return usable;
    if (IsAliasOfAnother(wide)) return Outcome::NameTaken;
    // GENERIC_WRITE rather than FILE_APPEND_DATA alone, which
    // FlushFileBuffers does not take; every write goes to the end.
    if (const Result opened = OpenDiskFile(wide, GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS, file); !opened) {
        return opened;
    }
    if (!SetFilePointerEx(file.native(), LARGE_INTEGER{}, nullptr, FILE_END)) {
        const Result failure = Failure();
        file.Close();
        return failure;
    }
    return {};
}

// Where ReadFile is given an offset it fails with ERROR_HANDLE_EOF at the
// end of the file. From where the handle stands (where the last read ended:
// a table's first read, just after its open) it reads without the offset,
// which under Wine costs about 12 us more, a fifth of a table's open, read
// and close.
Result Read(NativeFile file, void* buffer, std::size_t size, std::optional<std::uint64_t> offset, std::size_t& got) {
    LARGE_INTEGER standing{};
    const bool atOffset = offset && !(SetFilePointerEx(file, {}, &standing, FILE_CURRENT) &&
                                        static_cast<std::uint64_t>(standing.QuadPart) == *offset);
    char* bytes = static_cast<char*>(buffer);
    got = 0;
    while (got < size) {
        const DWORD request = static_cast<DWORD>(std::min(size - got, kMaxChunk));
        DWORD part = 0;
        OVERLAPPED position{};  // the offset's high part carries 2^32 and more
        if (atOffset) {
            position.Offset = static_cast<DWORD>((*offset + got) & 0xFFFFFFFFu);
            position.OffsetHigh = static_cast<DWORD>((*offset + got) >> 32);
        }
        if (!ReadFile(file, bytes + got, request, &part, atOffset ? &position : nullptr)) return Failure();
        if (part == 0) break;
        got += part;
    }
    return {};
}

std::optional<std::uint64_t> Size(NativeFile file) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
}

bool GetTimes(NativeFile file, FileTimes& times) {
    FILETIME creation;
    FILETIME lastAccess;
    FILETIME lastWrite;
    if (!GetFileTime(file, &creation, &lastAccess, &lastWrite)) return false;
    times.creation = FromFiletime(creation);
    times.lastAccess = FromFiletime(lastAccess);
    times.lastWrite = FromFiletime(lastWrite);
    return true;
}

Result Write(NativeFile file, const void* buffer, std::size_t size) {
    const char* bytes = static_cast<const char*>(buffer);
    while (size > 0) {
        const DWORD request = static_cast<DWORD>(std::min(size, kMaxChunk));
        DWORD written = 0;
        if (!WriteFile(file, bytes, request, &written, nullptr)) return Failure();
        if (written == 0) return Outcome::DiskFull;
        bytes += written;
        size -= written;
    }
    return {};
}

Result SetTimes(NativeFile file, const FileTimes& times) {
    // A zero time leaves that time as it is (SetFileTime's own rule).
    const FILETIME creation = ToFiletime(times.creation);
    const FILETIME lastAccess = ToFiletime(times.lastAccess);
    const FILETIME lastWrite = ToFiletime(times.lastWrite);
    return SetFileTime(file, &creation, &lastAccess, &lastWrite) ? Result() : Failure();
}

// ---- folders and names -------------------------------------------------------

Result FindFiles(const std::string& pattern, std::vector<FoundEntry>& found) {
    std::wstring wide;
    if (const Result usable = WidePath(pattern, wide); !usable) return usable;
    WIN32_FIND_DATAW data;
    const Search search = FindFirst(wide, data);
    if (search == nullptr) {
        // ERROR_FILE_NOT_FOUND: the folder was read and nothing matches;
        // a missing folder is ERROR_PATH_NOT_FOUND.
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? Result() : FailureOf(error);
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
    } while (FindNextFileW(search.get(), &data));
    const DWORD error = GetLastError();
    return error == ERROR_NO_MORE_FILES ? Result() : FailureOf(error);
}

Result PathStatus(const std::string& path) {
    std::wstring wide;
    if (const Result usable = ExistingPath(path, wide); !usable) return usable;
    return GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES ? Result() : Failure();
}

Result CreateFolder(const std::string& path) {
    std::wstring wide;
    if (const Result usable = WidePath(path, wide); !usable) return usable;
    return CreateDirectoryW(wide.c_str(), nullptr) ? Result() : Failure();
}

Result MoveToNameFreeInAnyCase(const std::string& from, const std::string& to) {
    return MoveByLongName(from, to, kMoveFlags);
}

Result MoveToNameFreeAsWritten(const std::string& from, const std::string& to) {
    return MoveByLongName(from, to, kMoveFlags);
}

Result MoveReplacing(const std::string& from, const std::string& to) {
    if (const Result moved = MoveByLongName(from, to, MOVEFILE_REPLACE_EXISTING | kMoveFlags); !moved) return moved;
    // A system that keeps the replaced file's stored case (Wine) gets a
    // rename by case alone, which leaves the table in place either way.
    std::wstring target;
    WIN32_FIND_DATAW data;
    if (!WidePath(to, target) || FindFirst(target, data) == nullptr) return {};
    const std::wstring_view written = LastName(target);
    if (written != data.cFileName) {
        const std::wstring stored = target.substr(0, target.size() - written.size()) + data.cFileName;
        MoveFileExW(stored.c_str(), target.c_str(), kMoveFlags);
    }
    return {};
}

// NTFS journals a rename, and MOVEFILE_WRITE_THROUGH has waited for it.
Result FlushFolder(const std::string&) { return {}; }

Result FlushFile(const std::string& path) {
    std::wstring wide;
    if (const Result usable = ExistingPath(path, wide); !usable) return usable;
    FileHandle file;
    if (const Result opened = OpenDiskFile(wide, GENERIC_WRITE, kAllSharing, OPEN_EXISTING, file); !opened) {
        // FlushFileBuffers needs a handle open for writing, which a
        // read-only file refuses: it is left as it is.
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
        return opened == Outcome::AccessDenied && readOnly ? Result() : opened;
    }
    return FlushData(file.native());
}

Result RemoveFile(const std::string& path) {
    std::wstring wide;
    if (const Result usable = ExistingPath(path, wide); !usable) return usable;
    return Retrying([&] { return DeleteFileW(wide.c_str()) != 0; }) ? Result() : Failure();
}

// ---- copies ------------------------------------------------------------------

// Our own loop rather than CopyFileW: the bytes and the times come from one
// handle of the source, and the copy is flushed before it closes. It is
// created with normal attributes, so it stays writable whatever the
// source's are, and gets all three of the source's times.
Result CopyToNewFile(const std::string& from, const std::string& to, FileHandle& copy, FileTimes* sourceTimes) {
    std::wstring target;
    if (const Result usable = WidePath(to, target); !usable) return usable;
    FileHandle source;
    if (const Result opened = OpenForReading(from, source); !opened) return opened;
    FILETIME creation;
    FILETIME lastAccess;
    FILETIME lastWrite;
    if (!GetFileTime(source.native(), &creation, &lastAccess, &lastWrite)) return Failure();
    if (sourceTimes != nullptr) {
        sourceTimes->creation = FromFiletime(creation);
        sourceTimes->lastAccess = FromFiletime(lastAccess);
        sourceTimes->lastWrite = FromFiletime(lastWrite);
    }
    const HANDLE created =
        CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (const Result opened = Opened(created, copy); !opened) return opened;
    if (const Result copied = CopyContent(source.native(), copy.native()); !copied) return copied;
    return SetFileTime(copy.native(), &creation, &lastAccess, &lastWrite) ? Result() : Failure();
}

Result FlushData(NativeFile file) { return FlushFileBuffers(file) ? Result() : Failure(); }

void RemoveOwnFile(const std::string& path) {
    std::wstring wide;
    if (WidePath(path, wide)) Retrying([&] { return DeleteFileW(wide.c_str()) != 0; });
}

// ---- locks -------------------------------------------------------------------

Result Lock(const std::string& path, FileHandle& lock, std::string& lockedPath) {
    std::wstring wide;
    if (const Result usable = WidePath(path, wide); !usable) return usable;
    // No sharing: every other open fails while this handle lives, and the
    // file goes with the handle, also when the holder is ended. No retry
    // here: the caller waits for a holder in its own way. A link or
    // junction planted under the name is opened as itself, never followed.
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    constexpr DWORD kNotAFile = FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kNotAFile) != 0) return Outcome::NotAFile;
    FileHandle file;
    const HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
        FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (const Result opened = Opened(handle, file); !opened) {
        // A lock file that a holder has just let go may wait for its
        // deletion a moment; opening it is then denied.
        if (opened == Outcome::AccessDenied && attributes != INVALID_FILE_ATTRIBUTES) return Outcome::InUse;
        return opened;
    }
    // Planted between the look and the open: given up, the handle's close
    // deleting only the planted name of this folder.
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & kNotAFile) != 0 || info.nNumberOfLinks != 1) {
        return Outcome::NotAFile;
    }
    lock = std::move(file);
    lockedPath = path;
    return {};
}

// The handle's close deletes the lock file.
void Unlock(const std::string&) {}

}  // namespace platform::backend
