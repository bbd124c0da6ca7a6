// ztbtool list [--json]: the dialog's two lists for a model, in row order,
// and each table that cannot be used. The loader's own trace and warning
// lines come first, as for check; with --json its trace lines go to
// standard error.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "catalogue/FilmRecorderModels.h"
#include "tools/ztbtool/CatalogueOptions.h"
#include "tools/ztbtool/Commands.h"
#include "tools/ztbtool/OperationOutput.h"
#include "tools/ztbtool/TableJson.h"

namespace {

struct ListOptions {
    CatalogueOptions catalogue;
    bool json = false;
};

const char* StatusText(EntryStatus status) {
    switch (status) {
    case EntryStatus::Updated:
        return "Updated";
    case EntryStatus::New:
        return "New";
    case EntryStatus::None:
        break;
    }
    return "";
}

// One row: description, file name, device name and date text, separated
// by tabs, and the status for a row of the new list.
void PrintRows(const char* heading, const std::vector<CatalogueEntry>& entries, bool withStatus) {
    std::printf("%s\n", heading);
    if (entries.empty()) std::printf("%s\n", kNoTablesPlaceholder);
    for (const CatalogueEntry& entry : entries) {
        std::printf("%s\t%s\t%s\t%s", entry.Description.c_str(), entry.FileName.c_str(), entry.DeviceName.c_str(),
            entry.DateText.c_str());
        if (withStatus) std::printf("\t%s", StatusText(entry.Status));
        std::printf("\n");
    }
}

nlohmann::ordered_json RowsJson(const std::vector<CatalogueEntry>& entries, bool withStatus) {
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const CatalogueEntry& entry : entries) {
        nlohmann::ordered_json row;
        row["Description"] = TableText(entry.Description);
        row["FileName"] = entry.FileName;
        row["DeviceName"] = entry.DeviceName;
        row["DateText"] = entry.DateText;
        row["LastWrite"] = LastWriteJson(entry.LastWrite);
        if (withStatus) row["Status"] = StatusText(entry.Status);
        rows.push_back(row);
    }
    return rows;
}

void PrintJson(const ListOptions& options, const CatalogueFolders& folders, const CatalogueLists& lists) {
    nlohmann::ordered_json damaged = nlohmann::ordered_json::array();
    for (const auto& [folder, tables] : {std::pair(folders.Distribution(), &lists.damagedNew),
             std::pair(folders.Installed(), &lists.damagedInstalled)}) {
        for (const DamagedTable& table : *tables) {
            damaged.push_back({{"FileName", table.FileName}, {"Folder", folder}, {"Error", table.Error}});
        }
    }
    nlohmann::ordered_json json;
    json["model"] = options.catalogue.model;
    json["prefix"] = ModelFilePrefix(options.catalogue.model);
    json["distributionFolder"] = folders.Distribution();
    json["installedFolder"] = folders.Installed();
    json["new"] = RowsJson(lists.newEntries, true);
    json["installed"] = RowsJson(lists.installed, false);
    json["damaged"] = std::move(damaged);
    std::printf("%s\n", JsonLine(json).c_str());
}

int RunList(const ListOptions& options) {
    return WithFolders(options.catalogue, [&](const CatalogueFolders& folders) {
        const CatalogueLists lists = ScanCatalogue(folders, options.catalogue.model, LoaderReport(options.json));
        if (options.json) {
            PrintJson(options, folders, lists);
        } else {
            PrintRows("New or updated film tables:", lists.newEntries, true);
            PrintRows("Installed film tables:", lists.installed, false);
        }
        // Each table that cannot be used, named, after the lists.
        std::fflush(stdout);
        for (const auto* tables : {&lists.damagedNew, &lists.damagedInstalled}) {
            for (const DamagedTable& table : *tables) {
                std::fprintf(stderr, "%s: %s\n", table.FileName.c_str(), table.Error.c_str());
            }
        }
        return lists.damagedNew.empty() && lists.damagedInstalled.empty() ? kStatusDone : kStatusFailed;
    });
}

}  // namespace

void AddListCommand(CLI::App& app, int& exitStatus) {
    auto options = std::make_shared<ListOptions>();
    CLI::App* list = app.add_subcommand("list",
        "Show the new or updated and the installed tables of a model, as the dialog lists them, and "
        "each table that cannot be used.");
    AddCatalogueOptions(*list, options->catalogue);
    list->add_flag("--json", options->json, "One JSON object with both lists instead of the text rows.");
    list->callback([options, &exitStatus] { exitStatus = RunList(*options); });
}
