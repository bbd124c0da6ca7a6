// What install, remove and restore share: choosing rows by file name, and
// reporting what the operation did, as text or as one JSON object.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "install/TableOperations.h"
#include "tools/ztbtool/CatalogueOptions.h"

struct OperationOptions {
    CatalogueOptions catalogue;
    bool json = false;
    bool all = false;
    std::vector<std::string> names;
};

// What a command did, for RunOperation to report.
struct OperationRun {
    bool ran = false;  // whether the operation ran; text reports nothing when not
    OperationReport report;
    std::vector<std::string> descriptions;  // the Description of each listed row
    std::vector<std::string> unlisted;      // names that matched no row; then no row ran
};

// The rows of listed (file names) equal to one of names without regard to
// case. The names that match none go to run.unlisted, with listName ("new
// or updated", ...) and the model; then no row is chosen.
std::vector<int> SelectRows(const std::vector<std::string>& listed, const std::vector<std::string>& names,
    const char* listName, const std::string& model, OperationRun& run);

// --json: the report as one JSON object.
void AddJsonReportFlag(CLI::App& command, bool& json);

// Runs perform on the options' folders, which fills run, and reports. Text:
// the count on standard output; the refusal, the failed rows and the
// unlisted names on standard error. JSON: one object on one line, the error
// abort's message included, and nothing else on standard output (perform
// loads with LoaderReport). Status 0 when every row was done, 1 when a row
// failed, the operation was refused or ended in the error abort.
int RunOperation(const OperationOptions& options, const char* operation,
    const std::function<void(const CatalogueFolders&, OperationRun&)>& perform);

// A JSON text of 8-bit texts that need not be UTF-8: bytes that are not
// become U+FFFD.
template <class Json>
std::string JsonLine(const Json& json) {
    return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}
