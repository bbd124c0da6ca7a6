// The two scans behind the dialog's lists. Each loads and validates every
// matching table file of its folder and returns the entries sorted by
// description. A file that fails to load ends the scan in the error abort,
// and the caller keeps what it had; a caller that passes damaged instead
// gets that file there and the scan goes on. A folder that exists but
// cannot be read ("The folder FOLDER cannot be read: access denied.") ends
// the scan in the error abort either way. A missing folder holds no tables.
#pragma once

#include <string>
#include <vector>

#include "catalogue/CatalogueEntry.h"
#include "platform/FileSystem.h"
#include "tablefile/LoadReport.h"

// A table file that cannot be used, and the loader's message.
struct DamagedTable {
    std::string FileName;
    std::string Error;
};

// The tables in installedFolder whose names match the model's letter
// followed by "*.ztb". Both scans pass report to the loader.
std::vector<CatalogueEntry> ScanInstalled(const std::string& installedFolder, const std::string& modelText,
    const LoadReport& report = {}, std::vector<DamagedTable>* damaged = nullptr);

// The tables in distributionFolder for the model that are not installed
// (New) or whose installed copy has a smaller date text (Updated).
std::vector<CatalogueEntry> ScanNew(const std::string& distributionFolder, const std::string& modelText,
    const std::vector<CatalogueEntry>& installed, const LoadReport& report = {},
    std::vector<DamagedTable>* damaged = nullptr);

// The entries of folder whose names match namePattern, in the order the
// search returns them. A missing folder holds none; one that exists but
// cannot be read ends in the error abort, so that it never shows as empty.
std::vector<platform::FoundEntry> FindInFolder(const std::string& folder, const std::string& namePattern);

// A file name with A-Z folded to a-z and every other character kept: two
// names are the same table when their folded forms are equal.
std::string FoldFileNameCase(const std::string& fileName);
