// File services on Windows: thin wrappers over the kernel's ANSI file calls.
// Copies are flushed with FlushFileBuffers before they are closed, and moves
// are written through (MOVEFILE_WRITE_THROUGH).
#include "platform/FileSystem.h"
#include "platform/FaultSeam.h"
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

constexpr DWORD kMaxPath = MAX_PATH;  // 260, the buffers the system's own calls use

HANDLE ToHandle(std::intptr_t value) { return reinterpret_cast<HANDLE>(value); }
std::intptr_t FromHandle(HANDLE handle) { return reinterpret_cast<std::intptr_t>(handle); }

FILETIME ToFiletime(FileTime time)
{
    FILETIME result;
    result.dwLowDateTime = static_cast<DWORD>(time & 0xFFFFFFFFu);
    result.dwHighDateTime = static_cast<DWORD>(time >> 32);
    return result;
}

FileTime FromFiletime(const FILETIME& time)
{
    return (static_cast<FileTime>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The outcome a failed call's last error stands for.
Outcome OutcomeOf(DWORD error)
{
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
    default:
        return Outcome::Other;
    }
}

// The outcome of the call that failed last.
Result Failure() { return OutcomeOf(GetLastError()); }

// Opens an existing file. A folder cannot be opened this way (that would
// take FILE_FLAG_BACKUP_SEMANTICS); devices such as "CON" can, so anything
// that is not a disk file is refused.
HANDLE OpenDiskFile(const std::string& path, DWORD access, DWORD disposition)
{
    HANDLE handle = CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return handle;
}

// ReadFile and WriteFile take 32-bit counts; larger requests go in pieces.
constexpr std::size_t kMaxChunk = 1u << 30;

std::size_t ReadAll(HANDLE handle, void* buffer, std::size_t size, bool& failed)
{
    char* bytes = static_cast<char*>(buffer);
    std::size_t total = 0;
    failed = false;
    while (total < size) {
        const DWORD request = static_cast<DWORD>(std::min(size - total, kMaxChunk));
        DWORD got = 0;
        if (!ReadFile(handle, bytes + total, request, &got, nullptr)) {
            failed = true;
            break;
        }
        if (got == 0) break;
        total += got;
    }
    return total;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

bool WriteAll(HANDLE handle, const void* buffer, std::size_t size, Result& failure)
{
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
Result CopyOpenFile(HANDLE source, HANDLE copy, const std::string& to, FileTimes* sourceTimes)
{
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

std::optional<CalendarTime> FileTimeToCalendar(FileTime time)
{
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

Result InFile::Open(const std::string& path)
{
    Close();
    if (const Outcome fault = BeforeCall(Call::Open, path); fault != Outcome::Done) return fault;
    handle_ = FromHandle(OpenDiskFile(path, GENERIC_READ, OPEN_EXISTING));
    return IsOpen() ? Result() : Failure();
}

bool InFile::IsOpen() const { return ToHandle(handle_) != INVALID_HANDLE_VALUE; }

void InFile::Close()
{
    if (IsOpen()) CloseHandle(ToHandle(handle_));
    handle_ = FromHandle(INVALID_HANDLE_VALUE);
}

std::size_t InFile::Read(void* buffer, std::size_t size)
{
    if (!IsOpen() || BeforeCall(Call::Read, {}) != Outcome::Done) return 0;
    bool failed = false;
    return ReadAll(ToHandle(handle_), buffer, size, failed);
}

bool InFile::Seek(std::uint64_t offset)
{
    if (!IsOpen() || offset > static_cast<std::uint64_t>(std::numeric_limits<LONGLONG>::max())) return false;
    // The high part carries offsets of 2^31 and more; without it the low part
    // alone would be taken as a negative distance.
    LONG high = static_cast<LONG>(offset >> 32);
    const DWORD low = SetFilePointer(ToHandle(handle_), static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN);
    return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

std::optional<std::uint64_t> InFile::Size() const
{
    LARGE_INTEGER size;
    if (!IsOpen() || !GetFileSizeEx(ToHandle(handle_), &size)) return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
}

bool InFile::GetTimes(FileTimes& times) const
{
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

Result OutFile::OpenExisting(const std::string& path)
{
    Close();
    if (const Outcome fault = BeforeCall(Call::Open, path); fault != Outcome::Done) return fault;
    handle_ = FromHandle(OpenDiskFile(path, GENERIC_WRITE, OPEN_EXISTING));
    return IsOpen() ? Result() : Failure();
}

Result OutFile::Create(const std::string& path)
{
    Close();
    if (const Outcome fault = BeforeCall(Call::Open, path); fault != Outcome::Done) return fault;
    handle_ = FromHandle(OpenDiskFile(path, GENERIC_WRITE, CREATE_ALWAYS));
    return IsOpen() ? Result() : Failure();
}

bool OutFile::IsOpen() const { return ToHandle(handle_) != INVALID_HANDLE_VALUE; }

bool OutFile::Close()
{
    if (!IsOpen()) return true;
    const bool closed = CloseHandle(ToHandle(handle_)) != 0;
    handle_ = FromHandle(INVALID_HANDLE_VALUE);
    return closed;
}

Result OutFile::Write(const void* buffer, std::size_t size)
{
    if (!IsOpen()) return Outcome::Other;
    if (const Outcome fault = BeforeCall(Call::Write, {}); fault != Outcome::Done) return fault;
    Result failure;
    return WriteAll(ToHandle(handle_), buffer, size, failure) ? Result() : failure;
}

Result OutFile::SetTimes(const FileTimes& times)
{
    if (!IsOpen()) return Outcome::Other;
    if (const Outcome fault = BeforeCall(Call::SetTimes, {}); fault != Outcome::Done) return fault;
    // A zero time leaves that time as it is (SetFileTime's own rule).
    const FILETIME creation = ToFiletime(times.creation);
    const FILETIME lastAccess = ToFiletime(times.lastAccess);
    const FILETIME lastWrite = ToFiletime(times.lastWrite);
    return SetFileTime(ToHandle(handle_), &creation, &lastAccess, &lastWrite) ? Result() : Failure();
}

// ---- folders and whole files -------------------------------------------------

Result FindFiles(const std::string& pattern, std::vector<FoundEntry>& found)
{
    found.clear();
    if (const Outcome fault = BeforeCall(Call::Find, pattern); fault != Outcome::Done) return fault;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        // ERROR_FILE_NOT_FOUND: the folder was read and nothing matches;
        // a missing folder is ERROR_PATH_NOT_FOUND.
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? Result() : Result(OutcomeOf(error));
    }

    // The system also matches the generated 8.3 names, so "*.ztb" would find
    // "A.ztbak" through "A~1.ZTB"; only names that match as stored count.
    const std::string leaf = pattern.substr(FolderOf(pattern).size());
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == ".." || !WildcardMatches(name, leaf)) continue;
        FoundEntry entry;
        entry.name = name;
        entry.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        found.push_back(std::move(entry));
    } while (FindNextFileA(search, &data));
    const DWORD error = GetLastError();
    FindClose(search);
    return error == ERROR_NO_MORE_FILES ? Result() : Result(OutcomeOf(error));
}

Result PathStatus(const std::string& path)
{
    if (const Outcome fault = BeforeCall(Call::Exists, path); fault != Outcome::Done) return fault;
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES ? Result() : Failure();
}

Result CreateFolder(const std::string& path)
{
    if (const Outcome fault = BeforeCall(Call::CreateFolder, path); fault != Outcome::Done) return fault;
    return CreateDirectoryA(path.c_str(), nullptr) ? Result() : Failure();
}

// MoveFileA's own flags, written through.
constexpr DWORD kMoveFlags = MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH;

Result MoveFileNoReplace(const std::string& from, const std::string& to)
{
    if (const Outcome fault = BeforeCall(Call::Move, from, to); fault != Outcome::Done) return fault;
    return MoveFileExA(from.c_str(), to.c_str(), kMoveFlags) ? Result() : Failure();
}

Result MoveFileToFreeName(const std::string& from, const std::string& to)
{
    if (const Outcome fault = BeforeCall(Call::Move, from, to); fault != Outcome::Done) return fault;
    return MoveFileExA(from.c_str(), to.c_str(), kMoveFlags) ? Result() : Failure();
}

Result MoveFileReplacing(const std::string& from, const std::string& to)
{
    if (const Outcome fault = BeforeCall(Call::Move, from, to); fault != Outcome::Done) return fault;
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    return MoveFileExA(from.c_str(), to.c_str(), flags) ? Result() : Failure();
}

Result FlushFile(const std::string& path)
{
    if (const Outcome fault = BeforeCall(Call::Flush, path); fault != Outcome::Done) return fault;
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const Result failure = Failure();
        // FlushFileBuffers needs a handle open for writing, which a
        // read-only file refuses: it is left as it is.
        const DWORD attributes = GetFileAttributesA(path.c_str());
        const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
        return failure == Outcome::AccessDenied && readOnly ? Result() : failure;
    }
    const Result result = FlushFileBuffers(handle) ? Result() : Failure();
    CloseHandle(handle);
    return result;
}

Result RemoveFile(const std::string& path)
{
    if (const Outcome fault = BeforeCall(Call::Delete, path); fault != Outcome::Done) return fault;
    return DeleteFileA(path.c_str()) ? Result() : Failure();
}

Result CopyFileNoReplace(const std::string& from, const std::string& to, FileTimes* sourceTimes)
{
    if (const Outcome fault = BeforeCall(Call::Copy, from, to); fault != Outcome::Done) return fault;
    // Our own loop rather than CopyFileA: the bytes and the times come from
    // one handle of the source, and the copy is flushed before it closes. It
    // is created with normal attributes, so it stays writable whatever the
    // source's are.
    HANDLE source = OpenDiskFile(from, GENERIC_READ, OPEN_EXISTING);
    if (source == INVALID_HANDLE_VALUE) return Failure();
    HANDLE copy = CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (copy == INVALID_HANDLE_VALUE) {
        const Result failure = Failure();
        CloseHandle(source);
        return failure;
    }
    Result result = CopyOpenFile(source, copy, to, sourceTimes);
    if (!CloseHandle(copy) && result) result = Failure();
    CloseHandle(source);
    // A failure part way leaves no partial copy; the name was free before.
    if (!result) DeleteFileA(to.c_str());
    return result;
}

std::optional<std::vector<unsigned char>> ReadWholeFile(const std::string& path)
{
    if (BeforeCall(Call::Read, path) != Outcome::Done) return std::nullopt;
    HANDLE handle = OpenDiskFile(path, GENERIC_READ, OPEN_EXISTING);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
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

Result FileLock::Acquire(const std::string& path)
{
    Release();
    if (const Outcome fault = BeforeCall(Call::Lock, path); fault != Outcome::Done) return fault;
    // No sharing: every other open fails while this handle lives, and the
    // file goes with the handle, also when the holder is ended.
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const Result failure = Failure();
        // A lock file that a holder has just let go may wait for its
        // deletion a moment; opening it is then denied.
        if (failure == Outcome::AccessDenied && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
            return Outcome::InUse;
        }
        return failure;
    }
    handle_ = FromHandle(handle);
    path_ = path;
    return {};
}

bool FileLock::IsHeld() const { return ToHandle(handle_) != INVALID_HANDLE_VALUE; }

void FileLock::Release()
{
    if (!IsHeld()) return;
    CloseHandle(ToHandle(handle_));
    handle_ = FromHandle(INVALID_HANDLE_VALUE);
}

// ---- system folders ----------------------------------------------------------

std::string WindowsFolder()
{
    char buffer[kMaxPath];
    const UINT length = GetWindowsDirectoryA(buffer, kMaxPath);
    if (length == 0 || length >= kMaxPath) return {};
    std::string folder(buffer, length);
    if (folder.back() == '\\') folder.pop_back();  // only a root folder ends in one
    return folder;
}

std::string ExecutablePath(std::size_t bufferSize)
{
    if (bufferSize == 0 || bufferSize > std::numeric_limits<DWORD>::max()) return {};
    std::vector<char> buffer(bufferSize);
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(bufferSize));
    // A full buffer means the path was cut short.
    if (length == 0 || length >= bufferSize) return {};
    return std::string(buffer.data(), length);
}

// ---- processes ---------------------------------------------------------------

std::uint32_t CurrentProcessId()
{
    return static_cast<std::uint32_t>(GetCurrentProcessId());
}

bool ProcessIsRunning(std::uint32_t id)
{
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
    if (process == nullptr) {
        // ERROR_INVALID_PARAMETER: no process has this id. Anything else,
        // ERROR_ACCESS_DENIED among it, leaves the answer open.
        return GetLastError() != ERROR_INVALID_PARAMETER;
    }
    // A process that ended with the code STILL_ACTIVE counts as running.
    DWORD exitCode = 0;
    const bool ended = GetExitCodeProcess(process, &exitCode) != 0 && exitCode != STILL_ACTIVE;
    CloseHandle(process);
    return !ended;
}

}  // namespace platform
