#include <string>

#include "platform/FileSystem.h"
#include "tests/tools/RunProgram.h"

// Reads a captured stream; Windows programs write text-mode line ends.
std::string ReadCapturedStream(const std::string& path) {
    const auto bytes = platform::ReadWholeFile(path);
    std::string text;
    if (!bytes) return text;
    for (std::size_t i = 0; i < bytes->size(); ++i) {
        const char c = static_cast<char>((*bytes)[i]);
        if (c == '\r' && i + 1 < bytes->size() && (*bytes)[i + 1] == '\n') continue;
        text += c;
    }
    return text;
}

std::string BuiltProgramPath(const std::string& relativePath) {
    std::string path = platform::ExecutablePath();
    path.erase(path.find_last_of(platform::kPathSeparator) + 1);
    for (char c : relativePath) path += c == '/' ? platform::kPathSeparator : c;
    return path;
}
