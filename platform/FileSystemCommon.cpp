// File services written only over other services of the layer, the same on
// every system.
#include "platform/FileSystem.h"

namespace platform {

const char* OutcomeText(Outcome outcome) {
    switch (outcome) {
    case Outcome::Done:
        return "done";
    case Outcome::NameTaken:
        return "the name is taken";
    case Outcome::NotFound:
        return "not found";
    case Outcome::AccessDenied:
        return "access denied";
    case Outcome::InUse:
        return "in use";
    case Outcome::DiskFull:
        return "disk full";
    case Outcome::BadName:
        return "the name cannot be used";
    case Outcome::OtherVolume:
        return "it is on another volume";
    case Outcome::NotAFile:
        return "it is not a plain file";
    case Outcome::Other:
        break;
    }
    return "system error";
}

std::vector<FoundEntry> FindFiles(const std::string& pattern) {
    std::vector<FoundEntry> found;
    if (!FindFiles(pattern, found)) found.clear();
    return found;
}

bool PathExists(const std::string& path) { return static_cast<bool>(PathStatus(path)); }

Result WriteWholeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    OutFile file;
    if (const Result created = file.Create(path); !created) return created;
    const Result written = file.Write(bytes.data(), bytes.size());
    if (!file.Close() && written) return Outcome::Other;
    return written;
}

}  // namespace platform
