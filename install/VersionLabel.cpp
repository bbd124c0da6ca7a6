#include "install/VersionLabel.h"

#include <cstring>

std::string ExtractVersionLabel(const std::string& title) {
    const std::size_t v = title.rfind('v');
    if (v == std::string::npos) return "1";
    return title.substr(v + 1);
}

std::string FileNameSafeLabel(const std::string& label) {
    // The characters a Windows file name cannot hold; the path separators
    // among them would otherwise lead out of the backup folder.
    static const char kForbidden[] = "\\/:*?\"<>|";
    std::string safe = label;
    for (char& c : safe) {
        const unsigned char code = static_cast<unsigned char>(c);
        if (code < 32 || std::strchr(kForbidden, c) != nullptr) c = '_';
    }
    // Windows drops trailing dots and spaces from a file name; replaced, they
    // give the same backup name on every system.
    for (auto c = safe.rbegin(); c != safe.rend() && (*c == '.' || *c == ' '); ++c) *c = '_';
    return safe;
}

std::string BackupFileName(const std::string& fileName, const std::string& title) {
    return fileName + ", v" + FileNameSafeLabel(ExtractVersionLabel(title));
}
