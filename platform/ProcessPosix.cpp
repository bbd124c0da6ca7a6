#include "platform/Process.h"

#include <pwd.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

namespace platform {

// ---- system folders ----------------------------------------------------------

std::string WindowsFolder() {
    const char* value = std::getenv("WINDIR");
    std::string folder = value != nullptr ? value : "";
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

std::string ExecutablePath(std::size_t bufferSize) {
    if (bufferSize == 0) return {};
    std::vector<char> buffer(bufferSize);
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), bufferSize);
    // A path that fills the buffer may have been cut short; GetModuleFileNameA
    // would give a truncated path there, which is no path at all.
    if (length <= 0 || static_cast<std::size_t>(length) >= bufferSize) return {};
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}

// ---- who runs it --------------------------------------------------------------

std::string ComputerName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

std::string UserName() {
    if (const passwd* account = getpwuid(geteuid()); account != nullptr && account->pw_name != nullptr) {
        return account->pw_name;
    }
    const char* value = std::getenv("USER");
    return value != nullptr ? value : "";
}

// ---- processes ---------------------------------------------------------------

std::uint32_t CurrentProcessId() { return static_cast<std::uint32_t>(getpid()); }

bool ProcessIsRunning(std::uint32_t id) {
    // 0 would signal our own process group and an id beyond pid_t a
    // negative one: neither names a single process.
    if (id == 0 || id > static_cast<std::uint32_t>(std::numeric_limits<pid_t>::max())) return false;
    // Signal 0 only checks. EPERM: the process exists but is another user's.
    return kill(static_cast<pid_t>(id), 0) == 0 || errno != ESRCH;
}

void BufferStandardOutput() {
    static char buffer[256 * 1024];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
}

}  // namespace platform
