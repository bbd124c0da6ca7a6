#include "install/TemporaryCopies.h"

#include <cstddef>
#include <limits>

#include "platform/FileSystem.h"
#include "platform/Process.h"

namespace {

constexpr const char* kPrefix = ".~ztbinstall-";
constexpr const char* kSuffix = ".tmp";

// A number written as std::to_string writes it: digits only, no leading
// zero, from 1 up to max. Nothing otherwise.
std::optional<std::uint64_t> ParseNumber(const std::string& text, std::uint64_t max) {
    if (text.empty() || text.size() > 10 || text[0] == '0') return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > max) return std::nullopt;
    return value;
}

}  // namespace

std::string TemporaryCopyName(std::uint32_t processId, int number) {
    return kPrefix + std::to_string(processId) + "-" + std::to_string(number) + kSuffix;
}

std::optional<std::uint32_t> TemporaryCopyProcessId(const std::string& name) {
    const std::string prefix = kPrefix;
    const std::string suffix = kSuffix;
    if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return std::nullopt;
    }
    const std::string middle = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    const std::size_t dash = middle.find('-');
    if (dash == std::string::npos) return std::nullopt;
    const auto id = ParseNumber(middle.substr(0, dash), std::numeric_limits<std::uint32_t>::max());
    const auto number = ParseNumber(middle.substr(dash + 1), std::numeric_limits<int>::max());
    if (!id || !number) return std::nullopt;
    return static_cast<std::uint32_t>(*id);
}

TemporaryCopy::~TemporaryCopy() {
    if (IsMade()) platform::RemoveFile(path_);
}

platform::Result TemporaryCopy::Make(
    const std::string& source, const std::string& folder, platform::FileTimes* sourceTimes) {
    // A taken name moves on to the next number; any other failure ends here.
    constexpr int kMostNumbers = 1000;
    const std::uint32_t processId = platform::CurrentProcessId();
    platform::Result copied = platform::Outcome::NameTaken;
    for (int number = 1; number <= kMostNumbers && copied == platform::Outcome::NameTaken; ++number) {
        const std::string path = folder + TemporaryCopyName(processId, number);
        copied = platform::CopyFileToNameFreeAsWritten(source, path, sourceTimes);
        if (copied) path_ = path;
    }
    return copied;
}

void SweepStaleTemporaryCopies(const std::string& folder) {
    const std::uint32_t self = platform::CurrentProcessId();
    for (const platform::FoundEntry& entry : platform::FindFiles(folder + kPrefix + "*" + kSuffix)) {
        if (entry.isFolder) continue;
        const std::optional<std::uint32_t> maker = TemporaryCopyProcessId(entry.name);
        if (!maker || *maker == self || platform::ProcessIsRunning(*maker)) continue;
        // A copy that cannot be removed now is tried again by the next sweep.
        platform::RemoveFile(folder + entry.name);
    }
}
