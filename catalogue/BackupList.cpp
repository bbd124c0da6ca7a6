#include "catalogue/BackupList.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

#include "catalogue/DateText.h"
#include "catalogue/FilmRecorderModels.h"
#include "catalogue/TableScans.h"
#include "platform/FileNames.h"
#include "tablefile/ErrorAbort.h"
#include "tablefile/TableLoader.h"

namespace {

// The length of a " (n)" ending, n from 2 up without leading zeros, as the
// backup step numbers a taken name; 0 when the text has none.
std::size_t NumberSuffixLength(const std::string& text) {
    const std::size_t open = text.rfind(" (");
    if (open == std::string::npos || text.back() != ')') return 0;
    const std::string digits = text.substr(open + 2, text.size() - open - 3);
    if (digits.empty() || digits.size() > 9 || digits[0] == '0' || digits == "1" ||
        digits.find_first_not_of("0123456789") != std::string::npos) {
        return 0;
    }
    return text.size() - open;
}

// FILE and LABEL of "FILE, vLABEL" or "FILE, vLABEL (n)" when FILE matches
// the model's pattern. A label holds no 'v' (it is what follows the last
// one of a Title), so the last ", v" is the one the backup step wrote.
bool ParseBackupName(
    const std::string& name, const std::string& tablePattern, std::string& fileName, std::string& label) {
    const std::size_t mark = name.rfind(", v");
    if (mark == std::string::npos) return false;
    fileName = name.substr(0, mark);
    if (!platform::WildcardMatches(fileName, tablePattern)) return false;
    label = name.substr(mark + 3);
    label.resize(label.size() - NumberSuffixLength(label));
    return true;
}

}  // namespace

std::vector<BackupEntry> ScanBackups(const std::string& backupFolder, const std::string& installedFolder,
    const std::string& modelText, const LoadReport& report) {
    const std::string prefix = ModelFilePrefix(modelText), tablePattern = ModelTablePattern(modelText);
    const auto scratch = std::make_unique<CalibrationTable>();
    std::vector<BackupEntry> entries;
    for (platform::FoundEntry& found : FindInFolder(backupFolder, prefix + "*, v*")) {
        BackupEntry entry;
        if (found.isFolder || !ParseBackupName(found.name, tablePattern, entry.FileName, entry.Label)) continue;
        const std::string path = backupFolder + found.name;
        // One damaged backup must not hide the others: it is listed with
        // the loader's message.
        try {
            const std::optional<platform::FileTimes> times = LoadTableFileWithTimes(path, *scratch, report);
            entry.Description = TitleText(scratch->Header);
            entry.DateText = FormatDateText(times);
            if (times) entry.LastWrite = times->lastWrite;
        } catch (const ErrorAbort& abort) {
            entry.Error = abort.what();
        }
        entry.SameAsInstalled = platform::SameFileContent(path, installedFolder + entry.FileName);
        entry.BackupName = std::move(found.name);
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(), [](const BackupEntry& a, const BackupEntry& b) {
        const int byName = platform::FoldFileNameCase(a.FileName).compare(platform::FoldFileNameCase(b.FileName));
        if (byName != 0) return byName < 0;
        if (a.LastWrite != b.LastWrite) return a.LastWrite > b.LastWrite;
        return a.BackupName < b.BackupName;
    });
    return entries;
}
