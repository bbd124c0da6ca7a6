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

// A table of the model that is not installed: its name is one the model's
// scans take, and a distribution copy or a backup of it exists.
bool IsUninstalledTable(const CatalogueFolders& folders, const std::string& model, const std::string& name) {
    return name.find_first_of("*?") == std::string::npos && platform::WildcardMatches(name, ModelTablePattern(model)) &&
           (platform::PathExists(folders.Distribution() + name) ||
               !platform::FindFiles(folders.Backup() + name + ", v*").empty());
}

// Why a named table that is not a row needs no change, or the empty text:
// for install, its installed copy is current; for remove, it is not
// installed. The installed copy is named as it is stored.
UnchangedTable Unchanged(bool installs, const CatalogueFolders& folders, const std::string& model,
    const CatalogueLists& lists, const std::string& name) {
    if (!installs) return {name, IsUninstalledTable(folders, model, name) ? "it is not installed" : ""};
    const CatalogueEntry* installed = FindByFileName(lists.installed, name);
    if (installed == nullptr || !platform::PathExists(folders.Distribution() + installed->FileName)) return {};
    return {installed->FileName, "the installed copy is current"};
}

// Install (the new or updated rows) or remove (the installed rows). A named
// table that is not a row is reported damaged or unchanged, or ends the run
// as unlisted before any row is done.
int RunRows(const OperationOptions& options, bool installs) {
    return RunOperation(
        options, installs ? "install" : "remove", [&](const CatalogueFolders& folders, OperationRun& run) {
            const std::string& model = options.catalogue.model;
            const LoadReport report = LoaderReport(options.json);
            const CatalogueLists lists = ScanCatalogue(folders, model, report);
            const std::vector<CatalogueEntry>& listed = installs ? lists.newEntries : lists.installed;
            const std::vector<DamagedTable>& damaged = installs ? lists.damagedNew : lists.damagedInstalled;
            std::vector<int> rows;
            std::vector<std::string> missing;
            if (options.all) {
                rows = AllRows(listed.size());
                run.damaged = damaged;
            } else {
                rows = SelectRows(FileNames(listed), options.names, missing);
            }
            for (const std::string& name : missing) {
                if (const DamagedTable* table = FindByFileName(damaged, name)) {
                    run.damaged.push_back(*table);
                } else if (UnchangedTable unchanged = Unchanged(installs, folders, model, lists, name);
                           !unchanged.Why.empty()) {
                    run.unchanged.push_back(std::move(unchanged));
                } else {
                    run.unlisted.push_back(
                        name + " is not listed as " + (installs ? "new or updated" : "installed") + " for " + model);
                }
            }
            if (!run.unlisted.empty()) return;
            run.ran = true;
            const HistorySource history = HistoryOf(options, run);
            if (!rows.empty() || !history.settled.empty()) {
                run.report = installs ? InstallTables(folders, listed, rows, history, report)
                                      : RemoveTables(folders, listed, rows, history, report);
            }
            if (rows.empty() && !run.report.refused) {
                const std::string which = options.all ? "of " + model : "named";
                run.report.message = std::string(installs ? "Nothing to install" : "Nothing to remove") +
                                     ": no table " + which +
                                     (installs ? " is new or updated." : " is listed as installed.");
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
        exitStatus = RunRows(*options, true);
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
        exitStatus = RunRows(*options, false);
    });
}
