// ztbtool check [--json] FILE...: loads each file as the installer does. The
// loader's own warning and trace lines come first, then one result line per
// file.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tablefile/ErrorAbort.h"
#include "tablefile/TableLoader.h"
#include "tools/ztbtool/Commands.h"
#include "tools/ztbtool/TableJson.h"

namespace {

struct CheckOptions {
    std::vector<std::string> files;
    bool json = false;
};

std::string ResultLine(const std::string& path, const std::optional<std::string>& message) {
    return path + ": " + message.value_or("ok");
}

std::string ResultJson(
    const std::string& path, const std::optional<std::string>& message, const CalibrationTable& table) {
    nlohmann::ordered_json json;
    json["path"] = path;
    json["ok"] = !message.has_value();
    json["message"] = message ? nlohmann::ordered_json(*message) : nlohmann::ordered_json(nullptr);
    if (!message) json.update(TableToJson(table));
    // Paths and titles are 8-bit texts, not necessarily UTF-8: bytes that
    // are not become U+FFFD rather than failing the line.
    return json.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

int RunCheck(const CheckOptions& options) {
    int status = 0;
    // One scratch table for all files; a load fills it completely.
    auto table = std::make_unique<CalibrationTable>();
    bool traceLineOpen = false;
    const LoadReport report{.trace = [&](std::string_view text) {
        WriteToStandardOutput(text);
        traceLineOpen = !text.ends_with('\n');
    }};
    for (const std::string& path : options.files) {
        std::optional<std::string> message;
        try {
            LoadTableFile(path, *table, report);
        } catch (const ErrorAbort& abort) {
            message = abort.what();
            status = 1;
        }
        // The result stands on a line of its own, after what the loader wrote.
        const std::string line = options.json ? ResultJson(path, message, *table) : ResultLine(path, message);
        std::printf(traceLineOpen ? "\n%s\n" : "%s\n", line.c_str());
        traceLineOpen = false;
        std::fflush(stdout);
    }
    return status;
}

}  // namespace

void AddCheckCommand(CLI::App& app, int& exitStatus) {
    auto options = std::make_shared<CheckOptions>();
    CLI::App* check =
        app.add_subcommand("check", "Load each table file as the installer does and report whether it can be used.");
    check->add_flag("--json", options->json, "One JSON object per file instead of the result line.");
    check->add_option("FILE", options->files, "Table files to check.")->required();
    check->callback([options, &exitStatus] { exitStatus = RunCheck(*options); });
}
