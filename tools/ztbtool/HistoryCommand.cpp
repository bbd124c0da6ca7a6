// ztbtool history [--json] [--since YYYY-MM-DD] [--file NAME]: the history
// log of the installed folder (install/HistoryLog.h), oldest first: as it is,
// header first, or as {"history":[...]} with an object per line keyed by the
// header's column names.
#include <cstdio>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "install/HistoryLog.h"
#include "platform/FileNames.h"
#include "tools/ztbtool/CatalogueOptions.h"
#include "tools/ztbtool/Commands.h"
#include "tools/ztbtool/OperationOutput.h"

namespace {

struct HistoryOptions {
    CatalogueOptions catalogue;
    bool json = false;
    std::string since;  // YYYY-MM-DD, or empty
    std::string file;   // a table's file name, or empty
};

// Empty when text is a date YYYY-MM-DD, else why not.
std::string CheckDate(const std::string& text) {
    bool fits = text.size() == 10;
    for (std::size_t k = 0; fits && k < text.size(); ++k) {
        fits = k == 4 || k == 7 ? text[k] == '-' : text[k] >= '0' && text[k] <= '9';
    }
    const int month = fits ? std::stoi(text.substr(5, 2)) : 0, day = fits ? std::stoi(text.substr(8, 2)) : 0;
    return month >= 1 && month <= 12 && day >= 1 && day <= 31 ? "" : "a date is YYYY-MM-DD, not " + text;
}

bool Wanted(const HistoryOptions& options, const History& history, const std::vector<std::string>& line) {
    const auto time = history.Column("Time"), file = history.Column("FileName");
    if (!options.since.empty() && time && line[*time].substr(0, 10) < options.since) return false;
    return options.file.empty() ||
           (file && platform::FoldFileNameCase(line[*file]) == platform::FoldFileNameCase(options.file));
}

std::string Joined(const std::vector<std::string>& fields) {
    std::string text;
    for (const std::string& field : fields) text += (text.empty() ? "" : "\t") + field;
    return text;
}

int RunHistory(const HistoryOptions& options) {
    return WithFolders(options.catalogue, [&](const CatalogueFolders& folders) {
        History history;
        if (const platform::Result read = ReadHistory(folders.Installed(), history); !read) {
            std::fprintf(stderr, "ztbtool: the history log %s%s cannot be read: %s\n", folders.Installed().c_str(),
                kHistoryFileName, read.Text().c_str());
            return kStatusFailed;
        }
        nlohmann::ordered_json lines = nlohmann::ordered_json::array();
        if (!options.json) std::printf("%s\n", Joined(history.columns).c_str());
        for (const std::vector<std::string>& line : history.lines) {
            if (!Wanted(options, history, line)) continue;
            if (!options.json) {
                std::printf("%s\n", Joined(line).c_str());
                continue;
            }
            nlohmann::ordered_json object;
            for (std::size_t k = 0; k < line.size(); ++k) object[history.columns[k]] = line[k];
            lines.push_back(std::move(object));
        }
        if (options.json) {
            nlohmann::ordered_json json;
            json["history"] = std::move(lines);
            std::printf("%s\n", JsonLine(json).c_str());
        }
        return kStatusDone;
    });
}

}  // namespace

void AddHistoryCommand(CLI::App& app, int& exitStatus) {
    auto options = std::make_shared<HistoryOptions>();
    CLI::App* history = app.add_subcommand("history",
        "Show the history log of the installed folder: a line per table that an install, removal or restore "
        "handled, oldest first.");
    AddWindowsDirOption(*history, options->catalogue);
    history->add_flag("--json", options->json, "One JSON object, {\"history\":[...]}, with an object per line.");
    history->add_option("--since", options->since, "Only the lines of this day (UTC) and later.")
        ->type_name("YYYY-MM-DD")
        ->check(CLI::Validator([](std::string& text) { return CheckDate(text); }, "YYYY-MM-DD", "a date"));
    history->add_option("--file", options->file, "Only the lines of this table's file name (case does not matter).")
        ->type_name("NAME");
    history->callback([options, &exitStatus] { exitStatus = RunHistory(*options); });
}
