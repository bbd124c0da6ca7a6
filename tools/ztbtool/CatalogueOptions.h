// What the catalogue commands share: the options that name the model and
// the folders, and the pair of scans the dialog runs.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "catalogue/CatalogueEntry.h"
#include "catalogue/Folders.h"
#include "catalogue/TableScans.h"
#include "platform/FileNames.h"
#include "tablefile/LoadReport.h"

struct CatalogueOptions {
    std::string model;
    std::string programFolder;  // empty: the folder of ztbtool itself
    std::string windowsFolder;  // empty: the system's Windows directory
};

// --model TEXT (a model's text in any case, stored as the model box names
// it), --program-folder DIR, --windows-dir DIR.
void AddCatalogueOptions(CLI::App& command, CatalogueOptions& options);

// --windows-dir DIR alone.
void AddWindowsDirOption(CLI::App& command, CatalogueOptions& options);

// Resolves the folders (exit status 2 when one cannot be known, 1 when the
// program folder does not exist) and hands them to run, whose result is the
// exit status. An error abort of run is written as the dialog's message box
// shows it, preceded by the file's name, and gives status 1.
int WithFolders(const CatalogueOptions& options, const std::function<int(const CatalogueFolders&)>& run);

// Both lists as the dialog builds them, and the tables of each folder that
// cannot be used.
struct CatalogueLists {
    std::vector<CatalogueEntry> installed;
    std::vector<CatalogueEntry> newEntries;
    std::vector<DamagedTable> damagedInstalled;
    std::vector<DamagedTable> damagedNew;  // in the distribution folder
};

// Installed first, then new and updated against it, as the dialog scans;
// a table that cannot be used goes to its damaged list, and the scans go on.
CatalogueLists ScanCatalogue(const CatalogueFolders& folders, const std::string& model, const LoadReport& report);

// Where the loader reports: for --json its trace goes to standard error as
// its warnings do, so that standard output holds the JSON alone.
LoadReport LoaderReport(bool json);

// The first of items (each with a FileName) whose file name equals name
// without regard to case, or null.
template <class Item>
const Item* FindByFileName(const std::vector<Item>& items, const std::string& name) {
    for (const Item& item : items) {
        if (platform::FoldFileNameCase(item.FileName) == platform::FoldFileNameCase(name)) return &item;
    }
    return nullptr;
}
