// The process services of the layer over the operating system: the
// system's folders and processes. Nothing outside this folder asks the
// operating system for them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/FileSystem.h"

namespace platform {

// The Windows directory without a trailing separator (GetWindowsDirectoryW;
// the WINDIR environment variable on POSIX); empty when unknown.
std::string WindowsFolder();

// Full path of the running executable (GetModuleFileNameW, without a
// "\\?\" prefix); empty when it cannot be obtained or does not fit in
// bufferSize bytes with a terminating zero (a path cut short is none).
std::string ExecutablePath(std::size_t bufferSize = kLongestPath + 1);

// The computer's name (GetComputerNameW; gethostname on POSIX); empty when
// unknown.
std::string ComputerName();

// The name of the account the process runs as (GetUserNameW; the effective
// user's login name on POSIX, or USER); empty when unknown.
std::string UserName();

// The id of the running process.
std::uint32_t CurrentProcessId();

// False only when no process with this id exists; when that cannot be told
// (for example the process belongs to another user), true.
bool ProcessIsRunning(std::uint32_t id);

// Makes standard output fully buffered, whatever it is. On Windows, where it
// is a character device (a console, NUL), it is also switched to binary
// mode: the C runtime writes text there a piece at a time, and a console
// shows a bare line feed as a new line. Files and pipes keep CR LF.
void BufferStandardOutput();

}  // namespace platform
