#include "catalogue/TableScans.h"

#include <memory>
#include <optional>
#include <unordered_map>

#include "catalogue/DateText.h"
#include "catalogue/FilmRecorderModels.h"
#include "catalogue/SortEntries.h"
#include "platform/FileSystem.h"
#include "tablefile/TableLoader.h"

namespace {

// Loads one found table (the error abort when it cannot be used) and fills
// an entry from its header and the file's last-write time. The times come
// from the loader's open handle, so the file is opened only once.
CatalogueEntry LoadEntry(const std::string& folder, const std::string& fileName,
                         CalibrationTable& scratch) {
    std::optional<platform::FileTimes> times;
    LoadTableFile(folder + fileName, scratch, &times);

    CatalogueEntry entry;
    entry.DeviceName = DeviceTypeName(scratch.Header.DeviceType);
    entry.FileName = fileName;
    entry.Description = std::string(TitleText(scratch.Header));
    entry.DateText = FormatDateText(times);
    return entry;
}

// Every entry the search for the model's letter + "*.ztb" finds in folder,
// in the order the search returns them. A folder whose name matches is
// handed to the loader like a file, which rejects it.
std::vector<platform::FoundEntry> FindModelTables(const std::string& folder,
                                                  const std::string& modelText) {
    return platform::FindFiles(folder + ModelFilePrefix(modelText) + "*.ztb");
}

void SortByDescription(std::vector<CatalogueEntry>& entries) {
    if (!entries.empty()) {
        SortEntries(entries, 0, static_cast<int>(entries.size()) - 1, DescriptionLess);
    }
}

}  // namespace

std::string FoldFileNameCase(const std::string& fileName) {
    std::string folded = fileName;
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

std::vector<CatalogueEntry> ScanInstalled(const std::string& installedFolder,
                                          const std::string& modelText) {
    const auto scratch = std::make_unique<CalibrationTable>();
    std::vector<CatalogueEntry> entries;
    for (const platform::FoundEntry& found : FindModelTables(installedFolder, modelText)) {
        entries.push_back(LoadEntry(installedFolder, found.name, *scratch));
    }
    SortByDescription(entries);
    return entries;
}

std::vector<CatalogueEntry> ScanNew(const std::string& distributionFolder,
                                    const std::string& modelText,
                                    const std::vector<CatalogueEntry>& installed) {
    // Folded file name -> index of the first installed entry of that name.
    std::unordered_map<std::string, std::size_t> installedByName;
    installedByName.reserve(installed.size());
    for (std::size_t k = 0; k < installed.size(); ++k) {
        installedByName.emplace(FoldFileNameCase(installed[k].FileName), k);
    }

    const auto scratch = std::make_unique<CalibrationTable>();
    std::vector<CatalogueEntry> entries;
    for (const platform::FoundEntry& found : FindModelTables(distributionFolder, modelText)) {
        CatalogueEntry entry = LoadEntry(distributionFolder, found.name, *scratch);

        const auto match = installedByName.find(FoldFileNameCase(found.name));
        if (match == installedByName.end()) {
            entry.Status = EntryStatus::New;
        } else if (entry.DateText.compare(installed[match->second].DateText) > 0) {
            entry.Status = EntryStatus::Updated;
        } else {
            continue;  // the installed copy is as new or newer
        }
        entries.push_back(std::move(entry));
    }
    SortByDescription(entries);
    return entries;
}
