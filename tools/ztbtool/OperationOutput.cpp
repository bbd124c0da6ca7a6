#include "tools/ztbtool/OperationOutput.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <set>

#include <nlohmann/json.hpp>

#include "catalogue/TableScans.h"

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
        item["FileName"] = row.fileName;
        const bool listed = row.row >= 0 && static_cast<std::size_t>(row.row) < run.descriptions.size();
        item["Description"] = listed ? run.descriptions[static_cast<std::size_t>(row.row)] : "";
        if (!row.ok) item["Reason"] = row.failure;
        if (!row.warnings.empty()) item["Warnings"] = row.warnings;
        (row.ok ? done : failed).push_back(std::move(item));
    }
    Json json;
    json["model"] = model;
    json["operation"] = operation;
    json["refused"] = run.report.refused || !run.unlisted.empty();
    json["message"] = run.unlisted.empty() ? run.report.message : Joined(run.unlisted);
    json["done"] = std::move(done);
    json["failed"] = std::move(failed);
    json["error"] = error ? Json(*error) : Json(nullptr);
    if (!run.report.warnings.empty()) json["warnings"] = run.report.warnings;  // a history log not written
    std::printf("%s\n", JsonLine(json).c_str());
}

}  // namespace

void AddJsonReportFlag(CLI::App& command, bool& json) {
    command.add_flag(
        "--json", json, "One JSON object on one line: the rows done and failed, each failed one with its reason.");
}

std::vector<int> SelectRows(const std::vector<std::string>& listed, const std::vector<std::string>& names,
    const char* listName, const std::string& model, OperationRun& run) {
    std::set<std::string> wanted;
    for (const std::string& name : names) wanted.insert(FoldFileNameCase(name));

    std::vector<int> rows;
    std::set<std::string> found;
    for (std::size_t k = 0; k < listed.size(); ++k) {
        const std::string folded = FoldFileNameCase(listed[k]);
        if (wanted.count(folded) != 0) {
            rows.push_back(static_cast<int>(k));
            found.insert(folded);
        }
    }
    for (const std::string& name : names) {
        if (found.count(FoldFileNameCase(name)) == 0) {
            run.unlisted.push_back(name + " is not listed as " + listName + " for " + model);
        }
    }
    if (!run.unlisted.empty()) rows.clear();
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
            error = abort.what();
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
            std::fflush(stdout);
        }
        if (!failures.empty() && !error) std::fprintf(stderr, "%s\n", failures.c_str());
        const bool rowsDone =
            std::all_of(run.report.rows.begin(), run.report.rows.end(), [](const RowReport& row) { return row.ok; });
        const bool allDone = !error && run.unlisted.empty() && !run.report.refused && rowsDone;
        return allDone ? 0 : 1;
    });
}
