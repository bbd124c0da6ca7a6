#include "tools/ztbtool/CatalogueOptions.h"

#include <cstdio>

#include "catalogue/FilmRecorderModels.h"
#include "catalogue/TableScans.h"
#include "platform/FileSystem.h"
#include "tablefile/ErrorAbort.h"
#include "tools/ztbtool/Commands.h"

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

// The --model text as the model box names it, matched without regard to
// case; any other text is a usage error that lists the models.
std::string MatchModel(std::string& text) {
    if (const FilmRecorderModel* model = FindModelIgnoringCase(text)) {
        text = model->modelText;
        return {};
    }
    std::string why = "\"" + text + "\" names no film recorder model; the models are:";
    for (const FilmRecorderModel& model : kFilmRecorderModels) why += std::string("\n  ") + model.modelText;
    return why;
}

// A program folder that does not exist or cannot be reached must not pass
// for one that holds no tables.
bool ProgramFolderExists(const std::string& folder) {
    const platform::Result found = platform::PathStatus(folder);
    if (found) return true;
    const std::string why = found == platform::Outcome::NotFound ? "does not exist" : "cannot be read: " + found.Text();
    std::fflush(stdout);
    std::fprintf(
        stderr, "ztbtool: the program folder %s %s\n", folder.substr(0, folder.size() - 1).c_str(), why.c_str());
    return false;
}

}  // namespace

CatalogueLists ScanCatalogue(const CatalogueFolders& folders, const std::string& model, const LoadReport& report) {
    CatalogueLists lists;
    lists.installed = ScanInstalled(folders.Installed(), model, report, &lists.damagedInstalled);
    lists.newEntries = ScanNew(folders.Distribution(), model, lists.installed, report, &lists.damagedNew);
    return lists;
}

LoadReport LoaderReport(bool json) { return json ? LoadReport{.trace = WriteToStandardError} : LoadReport{}; }

void AddCatalogueOptions(CLI::App& command, CatalogueOptions& options) {
    options.model = kDefaultModel;
    command
        .add_option("--model", options.model,
            "The film recorder model, as the dialog's model box names it (case does not matter; see models).")
        ->type_name("TEXT")
        ->capture_default_str()
        ->transform(CLI::Validator(MatchModel, "", "MODEL"));
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
            "The Windows directory, below which KVData\\ZTB holds the installed tables (default: "
            "the system's).")
        ->type_name("DIR");
}

int WithFolders(const CatalogueOptions& options, const std::function<int(const CatalogueFolders&)>& run) {
    CatalogueFolders folders;
    if (!ResolveFolders(options, folders)) return kStatusUsage;
    if (!ProgramFolderExists(folders.programFolder)) return kStatusFailed;
    try {
        return run(folders);
    } catch (const ErrorAbort& abort) {
        std::fflush(stdout);
        std::fprintf(stderr, "%s\n", NamedMessage(abort).c_str());
        return kStatusFailed;
    }
}
