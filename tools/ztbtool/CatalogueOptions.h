// What list, install and remove share: the options that name the model and
// the folders, and the pair of scans the dialog runs.
#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "catalogue/CatalogueEntry.h"
#include "catalogue/Folders.h"

struct CatalogueOptions {
    std::string model;
    std::string programFolder;  // empty: the folder of ztbtool itself
    std::string windowsFolder;  // empty: the system's Windows directory
};

// --model TEXT, --program-folder DIR, --windows-dir DIR.
void AddCatalogueOptions(CLI::App& command, CatalogueOptions& options);

// The folders the options name, the system's where they name none. False,
// with a message on standard error, when a folder cannot be known.
bool ResolveFolders(const CatalogueOptions& options, CatalogueFolders& folders);

// A line on standard error when the model text names no model: the scans
// then take the default model's letter, as the dialog does.
void WarnAboutUnknownModel(const std::string& model);

// Both lists as the dialog builds them: installed first, then new and
// updated against it. Ends in the error abort like the scans.
struct CatalogueLists {
    std::vector<CatalogueEntry> installed;
    std::vector<CatalogueEntry> newEntries;
};
CatalogueLists ScanCatalogue(const CatalogueFolders& folders, const std::string& model);

// Writes the error abort's message as the dialog's message box shows it.
void ReportErrorAbort(const char* message);
