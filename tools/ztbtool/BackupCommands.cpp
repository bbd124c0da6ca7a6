// ztbtool backups [--json] and ztbtool restore [--json] NAME...: the
// backed-up tables of a model, and bringing them back by their backup names,
// as the dialog's "Backed-up tables..." does.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "catalogue/BackupList.h"
#include "catalogue/FilmRecorderModels.h"
#include "install/TableOperations.h"
#include "tools/ztbtool/Commands.h"
#include "tools/ztbtool/OperationOutput.h"
#include "tools/ztbtool/TableJson.h"

namespace {

struct BackupsOptions {
    CatalogueOptions catalogue;
    bool json = false;
};

std::vector<BackupEntry> ScanModelBackups(
    const CatalogueFolders& folders, const std::string& model, const LoadReport& report) {
    return ScanBackups(folders.Backup(), folders.Installed(), model, report);
}

// Like a row of list: description (or the loader's message), file name,
// label, date text, then the backup name, and whether the installed copy
// holds the same bytes.
void PrintRows(const std::vector<BackupEntry>& backups) {
    if (backups.empty()) std::printf("%s\n", kNoBackupsPlaceholder);
    for (const BackupEntry& backup : backups) {
        std::printf("%s\t%s\t%s\t%s\t%s%s\n", (backup.Error.empty() ? backup.Description : backup.Error).c_str(),
            backup.FileName.c_str(), backup.Label.c_str(), backup.DateText.c_str(), backup.BackupName.c_str(),
            backup.SameAsInstalled ? "\tSame as installed" : "");
    }
}

void PrintJson(const std::string& model, const CatalogueFolders& folders, const std::vector<BackupEntry>& backups) {
    using Json = nlohmann::ordered_json;
    Json rows = Json::array();
    for (const BackupEntry& backup : backups) {
        Json row;
        row["BackupName"] = backup.BackupName;
        row["FileName"] = backup.FileName;
        row["Label"] = backup.Label;
        row["Description"] = TableText(backup.Description);
        row["DateText"] = backup.DateText;
        row["LastWrite"] = LastWriteJson(backup.LastWrite);
        row["SameAsInstalled"] = backup.SameAsInstalled;
        row["Error"] = backup.Error.empty() ? Json(nullptr) : Json(backup.Error);
        rows.push_back(std::move(row));
    }
    Json json;
    json["model"] = model;
    json["prefix"] = ModelFilePrefix(model);
    json["backupFolder"] = folders.Backup();
    json["backups"] = std::move(rows);
    std::printf("%s\n", JsonLine(json).c_str());
}

int RunBackups(const BackupsOptions& options) {
    return WithFolders(options.catalogue, [&](const CatalogueFolders& folders) {
        const std::vector<BackupEntry> backups =
            ScanModelBackups(folders, options.catalogue.model, LoaderReport(options.json));
        if (options.json) {
            PrintJson(options.catalogue.model, folders, backups);
        } else {
            PrintRows(backups);
        }
        return 0;
    });
}

int RunRestore(const OperationOptions& options) {
    return RunOperation(options, "restore", [&](const CatalogueFolders& folders, OperationRun& run) {
        const LoadReport report = LoaderReport(options.json);
        const std::vector<BackupEntry> backups = ScanModelBackups(folders, options.catalogue.model, report);
        std::vector<std::string> names;
        for (const BackupEntry& backup : backups) names.push_back(backup.BackupName);
        std::vector<std::string> missing;
        const std::vector<int> rows = SelectRows(names, options.names, missing);
        for (const std::string& name : missing) {
            run.unlisted.push_back(name + " is not listed as backed up for " + options.catalogue.model);
        }
        if (!run.unlisted.empty()) return;
        run.ran = true;
        run.report = RestoreTables(folders, backups, rows, HistoryOf(options, run), report);
    });
}

}  // namespace

void AddBackupsCommand(CLI::App& app, int& exitStatus) {
    auto options = std::make_shared<BackupsOptions>();
    CLI::App* backups =
        app.add_subcommand("backups", "Show the backed-up tables of a model, by file name and newest first.");
    AddCatalogueOptions(*backups, options->catalogue);
    backups->add_flag("--json", options->json, "One JSON object with the backups instead of the text rows.");
    backups->callback([options, &exitStatus] { exitStatus = RunBackups(*options); });
}

void AddRestoreCommand(CLI::App& app, int& exitStatus) {
    auto options = std::make_shared<OperationOptions>();
    CLI::App* restore = app.add_subcommand(
        "restore", "Bring backed-up tables back as the installed ones; the replaced ones go to the backup folder.");
    AddCatalogueOptions(*restore, options->catalogue);
    AddJsonReportFlag(*restore, options->json);
    restore->add_option("NAME", options->names, "Backup names of the tables to restore, as backups lists them.")
        ->type_name("NAME")
        ->required();
    restore->callback([options, &exitStatus] { exitStatus = RunRestore(*options); });
}
