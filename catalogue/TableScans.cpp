#include "catalogue/TableScans.h"

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

#include "catalogue/DateText.h"
#include "catalogue/FilmRecorderModels.h"
#include "catalogue/SortEntries.h"
#include "platform/FileNames.h"
#include "platform/FileSystem.h"
#include "tablefile/ErrorAbort.h"
#include "tablefile/TableLoader.h"

namespace {

// Loads one found table into scratch and gives the times read with its
// bytes, so the file is opened only once. A table that cannot be used ends
// in the error abort, or, when damaged is given, is added there; false for
// either, and for a file that another run took away since the search listed
// it (scans run outside the operations' lock), which is skipped as if it
// had not been listed.
bool LoadFoundTable(const std::string& folder, const std::string& fileName, CalibrationTable& scratch,
    const LoadReport& report, std::vector<DamagedTable>* damaged, std::optional<platform::FileTimes>& times) {
    try {
        times = LoadTableFileWithTimes(folder + fileName, scratch, report);
        return true;
    } catch (const ErrorAbort& abort) {
        const auto* failed = dynamic_cast<const TableOpenFailed*>(&abort);
        if (failed != nullptr && failed->outcome == platform::Outcome::NotFound) return false;
        if (damaged == nullptr) throw;
        damaged->push_back({fileName, abort.what()});
        return false;
    }
}

// The entry of a loaded table, from its header and its times.
CatalogueEntry MakeEntry(const CalibrationTable& table, std::string fileName, std::string dateText,
    const std::optional<platform::FileTimes>& times) {
    CatalogueEntry entry;
    entry.DeviceName = DeviceTypeName(table.Header.DeviceType);
    entry.FileName = std::move(fileName);
    entry.Description = TitleText(table.Header);
    entry.DateText = std::move(dateText);
    if (times) entry.LastWrite = times->lastWrite;
    return entry;
}

// Every entry the search for the model's letter + "*.ztb" finds in folder,
// in the order the search returns them. A folder whose name matches is
// handed to the loader like a file, which rejects it.
std::vector<platform::FoundEntry> FindModelTables(const std::string& folder, const std::string& modelText) {
    return FindInFolder(folder, ModelTablePattern(modelText));
}

void SortByDescription(std::vector<CatalogueEntry>& entries) {
    if (!entries.empty()) {
        SortEntries(entries, 0, static_cast<int>(entries.size()) - 1, DescriptionLess);
    }
}

}  // namespace

std::vector<platform::FoundEntry> FindInFolder(const std::string& folder, const std::string& namePattern) {
    std::vector<platform::FoundEntry> found;
    const platform::Result searched = platform::FindFiles(folder + namePattern, found);
    if (!searched && searched != platform::Outcome::NotFound) {
        AbortWithMessage("The folder " + folder + " cannot be read: " + searched.Text() + ".");
    }
    return found;
}

std::vector<CatalogueEntry> ScanInstalled(const std::string& installedFolder, const std::string& modelText,
    const LoadReport& report, std::vector<DamagedTable>* damaged) {
    const auto scratch = std::make_unique<CalibrationTable>();
    std::vector<platform::FoundEntry> found = FindModelTables(installedFolder, modelText);
    std::vector<CatalogueEntry> entries;
    entries.reserve(found.size());
    std::optional<platform::FileTimes> times;
    for (platform::FoundEntry& table : found) {
        if (!LoadFoundTable(installedFolder, table.name, *scratch, report, damaged, times)) continue;
        entries.push_back(MakeEntry(*scratch, std::move(table.name), FormatDateText(times), times));
    }
    SortByDescription(entries);
    return entries;
}

std::vector<CatalogueEntry> ScanNew(const std::string& distributionFolder, const std::string& modelText,
    const std::vector<CatalogueEntry>& installed, const LoadReport& report, std::vector<DamagedTable>* damaged) {
    // Folded file name -> index of the first installed entry of that name.
    std::unordered_map<std::string, std::size_t> installedByName;
    installedByName.reserve(installed.size());
    for (std::size_t k = 0; k < installed.size(); ++k) {
        installedByName.emplace(platform::FoldFileNameCase(installed[k].FileName), k);
    }

    const auto scratch = std::make_unique<CalibrationTable>();
    std::vector<platform::FoundEntry> found = FindModelTables(distributionFolder, modelText);
    std::vector<CatalogueEntry> entries;
    entries.reserve(found.size());
    std::optional<platform::FileTimes> times;
    for (platform::FoundEntry& table : found) {
        // Every table is loaded (a damaged one ends the scan or is
        // reported); only those listed get an entry.
        if (!LoadFoundTable(distributionFolder, table.name, *scratch, report, damaged, times)) continue;
        std::string dateText = FormatDateText(times);

        const auto match = installedByName.find(platform::FoldFileNameCase(table.name));
        EntryStatus status;
        if (match == installedByName.end()) {
            status = EntryStatus::New;
        } else if (dateText.compare(installed[match->second].DateText) > 0) {
            status = EntryStatus::Updated;
        } else {
            continue;  // the installed copy is as new or newer
        }
        CatalogueEntry entry = MakeEntry(*scratch, std::move(table.name), std::move(dateText), times);
        entry.Status = status;
        entries.push_back(std::move(entry));
    }
    SortByDescription(entries);
    return entries;
}
