// ztbtool install [--json] (--all | NAME...) and ztbtool remove [--json]
// NAME...: the dialog's "Add", "Add All" and "Remove" on the rows whose file
// names are given.
#include <memory>
#include <string>
#include <vector>

#include "install/TableOperations.h"
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

int RunInstall(const OperationOptions& options) {
    return RunOperation(options, "install", [&](const CatalogueFolders& folders, OperationRun& run) {
        const LoadReport report = LoaderReport(options.json);
        const CatalogueLists lists = ScanCatalogue(folders, options.catalogue.model, report);
        run.descriptions = DescriptionsOf(lists.newEntries);
        std::vector<int> rows;
        if (options.all) {
            // "Add All" with nothing listed does nothing at all.
            if (lists.newEntries.empty()) return;
            for (std::size_t k = 0; k < lists.newEntries.size(); ++k) rows.push_back(static_cast<int>(k));
        } else {
            rows =
                SelectRows(FileNames(lists.newEntries), options.names, "new or updated", options.catalogue.model, run);
            if (!run.unlisted.empty()) return;
        }
        run.ran = true;
        run.report = InstallTables(folders, lists.newEntries, rows, {"ztbtool", options.catalogue.model}, report);
    });
}

int RunRemove(const OperationOptions& options) {
    return RunOperation(options, "remove", [&](const CatalogueFolders& folders, OperationRun& run) {
        const LoadReport report = LoaderReport(options.json);
        const CatalogueLists lists = ScanCatalogue(folders, options.catalogue.model, report);
        run.descriptions = DescriptionsOf(lists.installed);
        const std::vector<int> rows =
            SelectRows(FileNames(lists.installed), options.names, "installed", options.catalogue.model, run);
        if (!run.unlisted.empty()) return;
        run.ran = true;
        run.report = RemoveTables(folders, lists.installed, rows, {"ztbtool", options.catalogue.model}, report);
    });
}

}  // namespace

void AddInstallCommand(CLI::App& app, int& exitStatus) {
    auto options = std::make_shared<OperationOptions>();
    CLI::App* install =
        app.add_subcommand("install", "Install new or updated tables of a model, as \"Add\" and \"Add All\" do.");
    AddCatalogueOptions(*install, options->catalogue);
    AddJsonReportFlag(*install, options->json);
    CLI::Option* all = install->add_flag("--all", options->all, "Install every new or updated table.");
    CLI::Option* names =
        install->add_option("NAME", options->names, "File names of the new or updated tables to install.")
            ->type_name("NAME");
    all->excludes(names);
    install->callback([options, &exitStatus] {
        if (!options->all && options->names.empty()) {
            throw CLI::RequiredError("--all or a NAME");
        }
        exitStatus = RunInstall(*options);
    });
}

void AddRemoveCommand(CLI::App& app, int& exitStatus) {
    auto options = std::make_shared<OperationOptions>();
    CLI::App* remove = app.add_subcommand(
        "remove", "Take installed tables of a model out of the installed folder, as \"Remove\" does.");
    AddCatalogueOptions(*remove, options->catalogue);
    AddJsonReportFlag(*remove, options->json);
    remove->add_option("NAME", options->names, "File names of the installed tables to remove.")
        ->type_name("NAME")
        ->required();
    remove->callback([options, &exitStatus] { exitStatus = RunRemove(*options); });
}
