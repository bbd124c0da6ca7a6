#include "tools/ztbtool/CatalogueOptions.h"

#include <cstdio>

#include "catalogue/FilmRecorderModels.h"
#include "catalogue/TableScans.h"
#include "platform/FileSystem.h"
#include "tablefile/ErrorAbort.h"

namespace {

// A folder given on the command line may or may not end in a separator;
// '/' is taken for one on Windows too.
bool EndsInSeparator(const std::string& folder) {
    return !folder.empty() && (folder.back() == platform::kPathSeparator || folder.back() == '/');
}

// The folders the options name, the system's where they name none. False,
// with a message on standard error, when a folder cannot be known.
bool ResolveFolders(const CatalogueOptions& options, CatalogueFolders& folders) {
    folders = CatalogueFolders::FromSystem();
    if (!options.programFolder.empty()) {
        folders.programFolder = options.programFolder;
        if (!EndsInSeparator(folders.programFolder)) folders.programFolder += platform::kPathSeparator;
    }
    if (!options.windowsFolder.empty()) {
        folders.windowsFolder = options.windowsFolder;
        while (folders.windowsFolder.size() > 1 && EndsInSeparator(folders.windowsFolder)) {
            folders.windowsFolder.pop_back();
        }
    }
    if (folders.programFolder.empty()) {
        std::fflush(stdout);
        std::fprintf(stderr, "ztbtool: the folder of ztbtool cannot be known; name one with --program-folder\n");
        return false;
    }
    if (folders.windowsFolder.empty()) {
        std::fflush(stdout);
        std::fprintf(stderr, "ztbtool: the Windows directory is unknown; name it with --windows-dir\n");
        return false;
    }
    return true;
}

// A line on standard error when the model text names no model: the scans
// then take the default model's letter, as the dialog does.
void WarnAboutUnknownModel(const std::string& model) {
    if (IsFilmRecorderModel(model)) return;
    std::fflush(stdout);
    std::fprintf(stderr, "ztbtool: \"%s\" names no film recorder model; its tables are those of letter %s\n",
        model.c_str(), ModelFilePrefix(model).c_str());
}

// Writes the error abort's message as the dialog's message box shows it.
void ReportErrorAbort(const char* message) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", message);
}

}  // namespace

CatalogueLists ScanCatalogue(const CatalogueFolders& folders, const std::string& model, const LoadReport& report) {
    CatalogueLists lists;
    lists.installed = ScanInstalled(folders.Installed(), model, report);
    lists.newEntries = ScanNew(folders.Distribution(), model, lists.installed, report);
    return lists;
}

LoadReport LoaderReport(bool json) { return json ? LoadReport{.trace = WriteToStandardError} : LoadReport{}; }

void AddCatalogueOptions(CLI::App& command, CatalogueOptions& options) {
    options.model = DefaultModel;
    command.add_option("--model", options.model, "The film recorder model, as the dialog's model box names it.")
        ->type_name("TEXT")
        ->capture_default_str();
    command
        .add_option("--program-folder", options.programFolder,
            "The folder whose ZTB subfolder holds the distribution tables (default: the folder of "
            "ztbtool).")
        ->type_name("DIR");
    AddWindowsDirOption(command, options);
}

void AddWindowsDirOption(CLI::App& command, CatalogueOptions& options) {
    command
        .add_option("--windows-dir", options.windowsFolder,
            "The Windows directory, below which KVData/ZTB holds the installed tables (default: "
            "the system's).")
        ->type_name("DIR");
}

int WithFolders(const CatalogueOptions& options, const std::function<int(const CatalogueFolders&)>& run) {
    CatalogueFolders folders;
    if (!ResolveFolders(options, folders)) return 2;
    WarnAboutUnknownModel(options.model);
    try {
        return run(folders);
    } catch (const ErrorAbort& abort) {
        ReportErrorAbort(abort.what());
        return 1;
    }
}
