// ztbtool install (--all | NAME...) and ztbtool remove NAME...: the dialog's
// "Add", "Add All" and "Remove" on the rows whose file names are given.
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "catalogue/TableScans.h"
#include "install/TableOperations.h"
#include "tools/ztbtool/CatalogueOptions.h"
#include "tools/ztbtool/Commands.h"

namespace {

struct OperationOptions {
    CatalogueOptions catalogue;
    bool all = false;
    std::vector<std::string> names;
};

// The rows whose file names equal one of names without regard to case.
// A name that matches no row is named on standard error; then nothing is
// selected at all.
bool SelectRows(const std::vector<CatalogueEntry>& entries, const std::vector<std::string>& names,
                const char* listName, const std::string& model, std::vector<int>& rows) {
    std::set<std::string> wanted;
    for (const std::string& name : names) wanted.insert(FoldFileNameCase(name));

    std::set<std::string> found;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const std::string folded = FoldFileNameCase(entries[k].FileName);
        if (wanted.count(folded) != 0) {
            rows.push_back(static_cast<int>(k));
            found.insert(folded);
        }
    }
    bool allFound = true;
    for (const std::string& name : names) {
        if (found.count(FoldFileNameCase(name)) == 0) {
            std::fflush(stdout);
            std::fprintf(stderr, "ztbtool: %s is not listed as %s for %s\n", name.c_str(), listName,
                         model.c_str());
            allFound = false;
        }
    }
    if (!allFound) rows.clear();
    return allFound;
}

// The count text on standard output, the failed rows on standard error.
int PrintReport(const OperationReport& report) {
    std::printf("%s\n", report.message.c_str());
    std::fflush(stdout);
    const std::string failures = report.FailureText();
    if (!failures.empty()) std::fprintf(stderr, "%s\n", failures.c_str());
    return report.refused || !failures.empty() ? 1 : 0;
}

int RunInstall(const OperationOptions& options) {
    const auto install = [&](const CatalogueFolders& folders, const CatalogueLists& lists) {
        std::vector<int> rows;
        if (options.all) {
            // "Add All" with nothing listed does nothing at all.
            if (lists.newEntries.empty()) return 0;
            for (std::size_t k = 0; k < lists.newEntries.size(); ++k) rows.push_back(static_cast<int>(k));
        } else if (!SelectRows(lists.newEntries, options.names, "new or updated", options.catalogue.model,
                               rows)) {
            return 1;
        }
        return PrintReport(InstallTables(folders, lists.newEntries, rows));
    };
    return WithCatalogue(options.catalogue, install);
}

int RunRemove(const OperationOptions& options) {
    const auto remove = [&](const CatalogueFolders& folders, const CatalogueLists& lists) {
        std::vector<int> rows;
        if (!SelectRows(lists.installed, options.names, "installed", options.catalogue.model, rows)) {
            return 1;
        }
        return PrintReport(RemoveTables(folders, lists.installed, rows));
    };
    return WithCatalogue(options.catalogue, remove);
}

}  // namespace

void AddInstallCommand(CLI::App& app, int& exitStatus) {
    auto options = std::make_shared<OperationOptions>();
    CLI::App* install = app.add_subcommand(
        "install", "Install new or updated tables of a model, as \"Add\" and \"Add All\" do.");
    AddCatalogueOptions(*install, options->catalogue);
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
    remove->add_option("NAME", options->names, "File names of the installed tables to remove.")
        ->type_name("NAME")
        ->required();
    remove->callback([options, &exitStatus] { exitStatus = RunRemove(*options); });
}
