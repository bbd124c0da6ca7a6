#include "tools/ztbtool/OperationOutput.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <set>

#include <nlohmann/json.hpp>

#include "catalogue/TableScans.h"
#include "platform/FileNames.h"
#include "tools/ztbtool/Commands.h"
#include "tools/ztbtool/TableJson.h"

namespace {

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
}

void PrintJson(
    const std::string& model, const char* operation, const OperationRun& run, const std::optional<std::string>& error) {
    using Json = nlohmann::ordered_json;
    Json done = Json::array();
    Json failed = Json::array();
    for (const RowReport& row : run.report.rows) {
        Json item;
        if (std::string_view(operation) == "restore" && !row.table.empty()) {  // a backup, named as backups names it
            item["BackupName"] = row.fileName;
            item["FileName"] = row.table;
        } else {
            item["FileName"] = row.fileName;
        }
        item["Description"] = TableText(row.description);
        if (!row.Done()) item["Reason"] = row.reason;
        if (!row.warnings.empty()) item["Warnings"] = row.warnings;
        (row.Done() ? done : failed).push_back(std::move(item));
    }
    Json unchanged = Json::array();
    for (const UnchangedTable& table : run.unchanged)
        unchanged.push_back({{"FileName", table.FileName}, {"Why", table.Why}});
    Json json;
    json["model"] = model;
    json["operation"] = operation;
    json["refused"] = run.report.refused || !run.unlisted.empty();
    json["message"] = !run.unlisted.empty() ? Joined(run.unlisted) : error ? *error : run.report.message;
    json["done"] = std::move(done);
    json["failed"] = std::move(failed);
    json["unchanged"] = std::move(unchanged);
    json["error"] = error ? Json(*error) : Json(nullptr);
    if (!run.report.warnings.empty()) json["warnings"] = run.report.warnings;  // a history log not written
    std::printf("%s\n", JsonLine(json).c_str());
}

}  // namespace

HistorySource HistoryOf(const OperationOptions& options, const OperationRun& run) {
    HistorySource history{"ztbtool", options.catalogue.model, {}};
    for (const DamagedTable& table : run.damaged)
        history.settled.push_back({table.FileName, "", RowOutcomeWord(RowOutcome::Failed), table.Error, "", ""});
    for (const UnchangedTable& table : run.unchanged)
        history.settled.push_back({table.FileName, "", RowOutcomeWord(RowOutcome::Unchanged), table.Why, "", ""});
    return history;
}

void AddJsonReportFlag(CLI::App& command, bool& json) {
    command.add_flag(
        "--json", json, "One JSON object on one line: the rows done and failed, each failed one with its reason.");
}

std::vector<int> SelectRows(
    const std::vector<std::string>& listed, const std::vector<std::string>& names, std::vector<std::string>& missing) {
    std::set<std::string> wanted;
    for (const std::string& name : names) wanted.insert(platform::FoldFileNameCase(name));

    std::vector<int> rows;
    std::set<std::string> found;
    for (std::size_t k = 0; k < listed.size(); ++k) {
        const std::string folded = platform::FoldFileNameCase(listed[k]);
        if (wanted.count(folded) != 0) {
            rows.push_back(static_cast<int>(k));
            found.insert(folded);
        }
    }
    for (const std::string& name : names) {
        if (found.count(platform::FoldFileNameCase(name)) == 0) missing.push_back(name);
    }
    return rows;
}

std::vector<int> AllRows(std::size_t count) {
    std::vector<int> rows(count);
    for (std::size_t k = 0; k < count; ++k) rows[k] = static_cast<int>(k);
    return rows;
}

int RunOperation(const OperationOptions& options, const char* operation,
    const std::function<void(const CatalogueFolders&, OperationRun&)>& perform) {
    return WithFolders(options.catalogue, [&](const CatalogueFolders& folders) {
        OperationRun run;
        std::optional<std::string> error;
        try {
            perform(folders, run);
        } catch (const ErrorAbort& abort) {
            // Text: written as any command's error abort is.
            if (!options.json) throw;
            if (const auto* aborted = dynamic_cast<const OperationAborted*>(&abort)) run.report = aborted->report;
            error = NamedMessage(abort);
        }
        // A table that cannot be used fails its row; a refused operation did nothing at all.
        for (const DamagedTable& table : run.report.refused ? std::vector<DamagedTable>() : run.damaged) {
            RowReport row;
            row.row = -1;
            row.fileName = table.FileName;
            row.Fail(table.FileName + ": " + table.Error);
            run.report.rows.push_back(std::move(row));
        }
        std::fflush(stdout);
        for (const std::string& line : run.unlisted) std::fprintf(stderr, "ztbtool: %s\n", line.c_str());
        const std::string failures = run.report.FailureText();
        if (options.json) {
            PrintJson(options.catalogue.model, operation, run, error);
            std::fflush(stdout);
            if (error) std::fprintf(stderr, "%s\n", error->c_str());
        } else if (run.report.refused) {
            std::fprintf(stderr, "ztbtool: %s\n", run.report.message.c_str());
        } else if (run.ran) {
            std::printf("%s\n", run.report.message.c_str());
            for (const UnchangedTable& table : run.unchanged) {
                std::printf("%s unchanged: %s\n", table.FileName.c_str(), table.Why.c_str());
            }
            std::fflush(stdout);
        }
        if (!failures.empty() && !error) std::fprintf(stderr, "%s\n", failures.c_str());
        if (run.report.busy) return kStatusBusy;
        const bool rowsDone = std::all_of(
            run.report.rows.begin(), run.report.rows.end(), [](const RowReport& row) { return row.Done(); });
        const bool allDone = !error && run.unlisted.empty() && !run.report.refused && rowsDone;
        return allDone ? kStatusDone : kStatusFailed;
    });
}
