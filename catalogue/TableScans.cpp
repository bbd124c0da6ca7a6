#include "catalogue/TableScans.h"

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

#include "catalogue/DateText.h"
#include "catalogue/FilmRecorderModels.h"
#include "catalogue/SortEntries.h"
#include "platform/FileSystem.h"
#include "platform/Wildcard.h"
#include "tablefile/ErrorAbort.h"
#include "tablefile/TableLoader.h"

namespace {

// Loads one found table into scratch (the error abort when it cannot be
// used) and gives the date text of its last-write time. The times come from
// the loader's open handle, so the file is opened only once. Scans run
// outside the operations' lock: a file that another run took away since the
// search listed it is skipped (nothing), as if it had not been listed.
std::optional<std::string> LoadFoundTable(
    const std::string& folder, const std::string& fileName, CalibrationTable& scratch, const LoadReport& report) {
    try {
        return FormatDateText(LoadTableFileWithTimes(folder + fileName, scratch, report));
    } catch (const TableOpenFailed& failed) {
        if (failed.outcome != platform::Outcome::NotFound) throw;
        return std::nullopt;
    }
}

// The entry of a loaded table, from its header.
CatalogueEntry MakeEntry(const CalibrationTable& table, std::string fileName, std::string dateText) {
    CatalogueEntry entry;
    entry.DeviceName = DeviceTypeName(table.Header.DeviceType);
    entry.FileName = std::move(fileName);
    entry.Description = TitleText(table.Header);
    entry.DateText = std::move(dateText);
    return entry;
}

// folded receives fileName with A-Z folded to a-z.
void FoldFileNameCaseInto(const std::string& fileName, std::string& folded) {
    folded = fileName;
    for (char& c : folded) c = platform::LowerAscii(c);
}

// Every entry the search for the model's letter + "*.ztb" finds in folder,
// in the order the search returns them. A folder whose name matches is
// handed to the loader like a file, which rejects it.
std::vector<platform::FoundEntry> FindModelTables(const std::string& folder, const std::string& modelText) {
    return FindInFolder(folder, ModelFilePrefix(modelText) + "*.ztb");
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
        AbortWithMessage(
            "The folder " + folder + " cannot be read: " + platform::OutcomeText(searched.outcome()) + ".");
    }
    return found;
}

std::string FoldFileNameCase(const std::string& fileName) {
    std::string folded;
    FoldFileNameCaseInto(fileName, folded);
    return folded;
}

std::vector<CatalogueEntry> ScanInstalled(
    const std::string& installedFolder, const std::string& modelText, const LoadReport& report) {
    const auto scratch = std::make_unique<CalibrationTable>();
    std::vector<platform::FoundEntry> found = FindModelTables(installedFolder, modelText);
    std::vector<CatalogueEntry> entries;
    entries.reserve(found.size());
    for (platform::FoundEntry& table : found) {
        std::optional<std::string> dateText = LoadFoundTable(installedFolder, table.name, *scratch, report);
        if (dateText) entries.push_back(MakeEntry(*scratch, std::move(table.name), std::move(*dateText)));
    }
    SortByDescription(entries);
    return entries;
}

std::vector<CatalogueEntry> ScanNew(const std::string& distributionFolder, const std::string& modelText,
    const std::vector<CatalogueEntry>& installed, const LoadReport& report) {
    // Folded file name -> index of the first installed entry of that name.
    std::unordered_map<std::string, std::size_t> installedByName;
    installedByName.reserve(installed.size());
    for (std::size_t k = 0; k < installed.size(); ++k) {
        installedByName.emplace(FoldFileNameCase(installed[k].FileName), k);
    }

    const auto scratch = std::make_unique<CalibrationTable>();
    std::vector<platform::FoundEntry> found = FindModelTables(distributionFolder, modelText);
    std::vector<CatalogueEntry> entries;
    entries.reserve(found.size());
    std::string folded;
    for (platform::FoundEntry& table : found) {
        // Every table is loaded (a damaged one ends the scan); only those
        // listed get an entry.
        std::optional<std::string> dateText = LoadFoundTable(distributionFolder, table.name, *scratch, report);
        if (!dateText) continue;

        FoldFileNameCaseInto(table.name, folded);
        const auto match = installedByName.find(folded);
        EntryStatus status;
        if (match == installedByName.end()) {
            status = EntryStatus::New;
        } else if (dateText->compare(installed[match->second].DateText) > 0) {
            status = EntryStatus::Updated;
        } else {
            continue;  // the installed copy is as new or newer
        }
        CatalogueEntry entry = MakeEntry(*scratch, std::move(table.name), std::move(*dateText));
        entry.Status = status;
        entries.push_back(std::move(entry));
    }
    SortByDescription(entries);
    return entries;
}
