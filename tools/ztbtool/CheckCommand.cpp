// ztbtool check [--json] FILE...: loads each file as the installer does. The
// loader's own warning and trace lines come first, then one result line per
// file; a file that cannot be read says why.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "tablefile/ErrorAbort.h"
#include "tablefile/TableLoader.h"
#include "tools/ztbtool/Commands.h"
#include "tools/ztbtool/TableJson.h"

namespace {

struct CheckOptions {
    std::vector<std::string> files;
    bool json = false;
};

// The files an argument names. A folder: every *.ztb in it. Wildcards in
// its last part, which the shell on Windows leaves as they are: the
// entries they match. Both in name order, empty when nothing matches.
// Anything else is taken as it is, and the loader says what is wrong.
std::vector<std::string> FilesNamed(const std::string& argument) {
    std::string folder = argument;
    std::vector<platform::FoundEntry> found;
    if (argument.find_first_of("*?") == std::string::npos || platform::PathExists(argument)) {
        if (!folder.empty() && folder.back() != '/' && folder.back() != platform::kPathSeparator) {
            folder += platform::kPathSeparator;
        }
        if (!platform::FindFiles(folder + "*.ztb", found)) return {argument};  // not a folder
    } else {
        const std::size_t last = argument.find_last_of(std::string("/") + platform::kPathSeparator);
        folder = last == std::string::npos ? "" : argument.substr(0, last + 1);
        platform::FindFiles(argument, found);
    }
    std::vector<std::string> paths;
    for (const platform::FoundEntry& entry : found) paths.push_back(folder + entry.name);
    std::sort(paths.begin(), paths.end());
    return paths;
}

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
    // A path need not be UTF-8: bytes that are not become U+FFFD rather
    // than failing the line.
    return json.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

// Loads one file and writes its result line; false when it cannot be used.
// traceLineOpen tells whether the report's trace left a line open.
bool CheckFile(
    const std::string& path, bool json, CalibrationTable& table, const LoadReport& report, bool& traceLineOpen) {
    std::optional<std::string> message;
    try {
        LoadTableFile(path, table, report);
    } catch (const ErrorAbort& abort) {
        // The installer's message, and why the file could not be read.
        message = abort.what() + (abort.detail.empty() ? "" : " (" + abort.detail + ")");
    }
    // The result stands on a line of its own, after what the loader wrote.
    const std::string line = json ? ResultJson(path, message, table) : ResultLine(path, message);
    std::printf(traceLineOpen ? "\n%s\n" : "%s\n", line.c_str());
    traceLineOpen = false;
    std::fflush(stdout);
    return !message;
}

int RunCheck(const CheckOptions& options) {
    int status = kStatusDone;
    // One scratch table for all files; a load fills it completely.
    auto table = std::make_unique<CalibrationTable>();
    bool traceLineOpen = false;
    const LoadReport report{.trace = [&](std::string_view text) {
        WriteToStandardOutput(text);
        traceLineOpen = !text.ends_with('\n');
    }};
    for (const std::string& argument : options.files) {
        const std::vector<std::string> paths = FilesNamed(argument);
        if (paths.empty()) {
            std::fprintf(stderr, "ztbtool: no table file matches %s\n", argument.c_str());
            status = kStatusFailed;
        }
        for (const std::string& path : paths) {
            if (!CheckFile(path, options.json, *table, report, traceLineOpen)) status = kStatusFailed;
        }
    }
    return status;
}

}  // namespace

void AddCheckCommand(CLI::App& app, int& exitStatus) {
    auto options = std::make_shared<CheckOptions>();
    CLI::App* check =
        app.add_subcommand("check", "Load each table file as the installer does and report whether it can be used.");
    check->add_flag("--json", options->json, "One JSON object per file instead of the result line.");
    check
        ->add_option("FILE", options->files, "Table files to check: files, folders (every *.ztb in them) or wildcards.")
        ->required();
    check->callback([options, &exitStatus] { exitStatus = RunCheck(*options); });
}
