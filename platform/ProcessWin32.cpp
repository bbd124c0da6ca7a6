#include "platform/Process.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "platform/WideText.h"

#include <cstdio>
#include <optional>
#include <string_view>

namespace platform {

// ---- system folders ----------------------------------------------------------

std::string WindowsFolder() {
    // Asked again with the size the system names until the folder fits.
    std::wstring buffer(MAX_PATH, L'\0');
    UINT length = 0;
    while ((length = GetWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()))) >= buffer.size()) {
        if (length > kLongestPath + 1) return {};
        buffer.resize(length);
    }
    std::optional<std::string> folder = Utf8FromWide(std::wstring_view(buffer).substr(0, length));
    if (!folder || folder->empty()) return {};
    if (folder->back() == '\\') folder->pop_back();  // only a root folder ends in one
    return *folder;
}

std::string ExecutablePath(std::size_t bufferSize) {
    // A full buffer means the path was cut short: asked again with more room.
    std::wstring buffer(MAX_PATH, L'\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()))) >= buffer.size()) {
        if (buffer.size() > kLongestPath) return {};
        buffer.resize(buffer.size() * 2);
    }
    std::wstring_view path = std::wstring_view(buffer).substr(0, length);
    // A program started by its long path is named so; shown in its usual form.
    std::wstring usual;
    if (path.starts_with(L"\\\\?\\UNC\\")) {
        usual = L"\\\\" + std::wstring(path.substr(8));
        path = usual;
    } else if (path.starts_with(L"\\\\?\\")) {
        path.remove_prefix(4);
    }
    std::optional<std::string> utf8 = Utf8FromWide(path);
    if (!utf8 || utf8->empty() || utf8->size() >= bufferSize) return {};
    return *utf8;
}

// ---- who runs it --------------------------------------------------------------

std::string ComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(name, &length)) return {};
    return Utf8FromWide(std::wstring_view(name, length)).value_or("");
}

std::string UserName() {
    wchar_t name[257];  // UNLEN + 1
    DWORD length = 257;
    if (!GetUserNameW(name, &length) || length == 0) return {};
    return Utf8FromWide(std::wstring_view(name, length - 1)).value_or("");  // length counts the terminator
}

// ---- processes ---------------------------------------------------------------

std::uint32_t CurrentProcessId() { return static_cast<std::uint32_t>(GetCurrentProcessId()); }

bool ProcessIsRunning(std::uint32_t id) {
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

void BufferStandardOutput() {
    static char buffer[256 * 1024];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    if (_isatty(_fileno(stdout))) _setmode(_fileno(stdout), _O_BINARY);
}

}  // namespace platform
