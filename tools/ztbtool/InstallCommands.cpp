// ztbtool install [--json] (--all | NAME...) and ztbtool remove [--json]
// (--all | NAME...): the dialog's "Add", "Add All" and "Remove" on the rows
// whose file names are given. A rerun changes nothing: a named table whose
// installed copy is current, or that is not installed, is reported
// unchanged; a name that names no table at all is an error.
#include <memory>
#include <string>
#include <vector>

#include "catalogue/FilmRecorderModels.h"
#include "install/TableOperations.h"
#include "platform/FileNames.h"
#include "tools/ztbtool/CatalogueOptions.h"
#include "tools/ztbtool/Commands.h"
#include "tools/ztbtool/OperationOutput.h"

namespace {

std::vector<std::string> FileNames(const std::vector<CatalogueEntry>& entries) {
    std::vector<std::string> names;
    for (const CatalogueEntry& entry : entries) names.push_back(entry.FileName);
    return names;
}

std::vector<std::string> DescriptionsOf(const std::vector<CatalogueEntry>& entries) {
    std::vector<std::string> descriptions;
    for (const CatalogueEntry& entry : entries) descriptions.push_back(entry.Description);
    return descriptions;
}

// A table of the model that is not installed: its name is one the model's
// scans take, and a distribution copy or a backup of it exists.
bool IsUninstalledTable(const CatalogueFolders& folders, const std::string& model, const std::string& name) {
    if (name.find_first_of("*?") != std::string::npos ||
        !platform::WildcardMatches(name, ModelFilePrefix(model) + "*.ztb")) {
        return false;
    }
    return platform::PathExists(folders.Distribution() + name) ||
           !platform::FindFiles(folders.Backup() + name + ", v*").empty();
}

int RunInstall(const OperationOptions& options) {
    return RunOperation(options, "install", [&](const CatalogueFolders& folders, OperationRun& run) {
        const std::string& model = options.catalogue.model;
        const LoadReport report = LoaderReport(options.json);
        const CatalogueLists lists = ScanCatalogue(folders, model, report);
        run.descriptions = DescriptionsOf(lists.newEntries);
        std::vector<int> rows;
        std::vector<std::string> missing;
        if (options.all) {
            rows = AllRows(lists.newEntries.size());
            run.damaged = lists.damagedNew;
        } else {
            rows = SelectRows(FileNames(lists.newEntries), options.names, missing);
        }
        for (const std::string& name : missing) {
            const CatalogueEntry* installed = FindByFileName(lists.installed, name);
            if (const DamagedTable* damaged = FindByFileName(lists.damagedNew, name)) {
                run.damaged.push_back(*damaged);
            } else if (installed != nullptr && platform::PathExists(folders.Distribution() + installed->FileName)) {
                run.unchanged.push_back({installed->FileName, "the installed copy is current"});
            } else {
                run.unlisted.push_back(name + " is not listed as new or updated for " + model);
            }
        }
        if (!run.unlisted.empty()) return;
        run.ran = true;
        const HistorySource history = HistoryOf(options, run);
        if (!rows.empty() || !history.settled.empty()) {
            run.report = InstallTables(folders, lists.newEntries, rows, history, report);
        }
        if (rows.empty() && !run.report.refused) {
            run.report.message = options.all ? "Nothing to install: no table of " + model + " is new or updated."
                                             : "Nothing to install: no table named is new or updated.";
        }
    });
}

int RunRemove(const OperationOptions& options) {
    return RunOperation(options, "remove", [&](const CatalogueFolders& folders, OperationRun& run) {
        const std::string& model = options.catalogue.model;
        const LoadReport report = LoaderReport(options.json);
        const CatalogueLists lists = ScanCatalogue(folders, model, report);
        run.descriptions = DescriptionsOf(lists.installed);
        std::vector<int> rows;
        std::vector<std::string> missing;
        if (options.all) {
            rows = AllRows(lists.installed.size());
            run.damaged = lists.damagedInstalled;
        } else {
            rows = SelectRows(FileNames(lists.installed), options.names, missing);
        }
        for (const std::string& name : missing) {
            if (const DamagedTable* damaged = FindByFileName(lists.damagedInstalled, name)) {
                run.damaged.push_back(*damaged);
            } else if (IsUninstalledTable(folders, model, name)) {
                run.unchanged.push_back({name, "it is not installed"});
            } else {
                run.unlisted.push_back(name + " is not listed as installed for " + model);
            }
        }
        if (!run.unlisted.empty()) return;
        run.ran = true;
        const HistorySource history = HistoryOf(options, run);
        if (!rows.empty() || !history.settled.empty()) {
            run.report = RemoveTables(folders, lists.installed, rows, history, report);
        }
        if (rows.empty() && !run.report.refused) {
            run.report.message = options.all ? "Nothing to remove: no table of " + model + " is listed as installed."
                                             : "Nothing to remove: no table named is listed as installed.";
        }
    });
}

// --all or NAME..., not both: a command line without either is a usage error.
void AddRowOptions(CLI::App& command, OperationOptions& options, const char* allHelp, const char* namesHelp) {
    CLI::Option* all = command.add_flag("--all", options.all, allHelp);
    CLI::Option* names = command.add_option("NAME", options.names, namesHelp)->type_name("NAME");
    all->excludes(names);
}

void RequireRows(const OperationOptions& options) {
    if (!options.all && options.names.empty()) throw CLI::RequiredError("--all or a NAME");
}

}  // namespace

void AddInstallCommand(CLI::App& app, int& exitStatus) {
    auto options = std::make_shared<OperationOptions>();
    CLI::App* install =
        app.add_subcommand("install", "Install new or updated tables of a model, as \"Add\" and \"Add All\" do.");
    AddCatalogueOptions(*install, options->catalogue);
    AddJsonReportFlag(*install, options->json);
    AddRowOptions(*install, *options, "Install every new or updated table.",
        "File names of the new or updated tables to install.");
    install->callback([options, &exitStatus] {
        RequireRows(*options);
        exitStatus = RunInstall(*options);
    });
}

void AddRemoveCommand(CLI::App& app, int& exitStatus) {
    auto options = std::make_shared<OperationOptions>();
    CLI::App* remove = app.add_subcommand(
        "remove", "Take installed tables of a model out of the installed folder, as \"Remove\" does.");
    AddCatalogueOptions(*remove, options->catalogue);
    AddJsonReportFlag(*remove, options->json);
    AddRowOptions(*remove, *options, "Remove every installed table of the model.",
        "File names of the installed tables to remove.");
    remove->callback([options, &exitStatus] {
        RequireRows(*options);
        exitStatus = RunRemove(*options);
    });
}
