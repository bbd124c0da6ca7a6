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

// A named table the operation leaves as it is, and why: a rerun changes
// nothing.
struct UnchangedTable {
    std::string FileName;
    std::string Why;
};

// What a command did, for RunOperation to report.
struct OperationRun {
    bool ran = false;  // whether the operation ran or found nothing to do; text reports nothing when not
    OperationReport report;
    std::vector<std::string> unlisted;  // names that matched no table; then no row ran
    std::vector<DamagedTable> damaged;  // tables that cannot be used, each reported as a failed row
    std::vector<UnchangedTable> unchanged;
};

// The rows of listed (file names) equal to one of names without regard to
// case; the names that match none go to missing.
std::vector<int> SelectRows(
    const std::vector<std::string>& listed, const std::vector<std::string>& names, std::vector<std::string>& missing);

// Every row of a list of count rows.
std::vector<int> AllRows(std::size_t count);

// Who runs the operation, for the history log: ztbtool, the model, and the
// tables run settles itself, the unchanged and the damaged ones.
HistorySource HistoryOf(const OperationOptions& options, const OperationRun& run);

// --json: the report as one JSON object.
void AddJsonReportFlag(CLI::App& command, bool& json);

// Runs perform on the options' folders, which fills run, and reports. Text:
// the count (or what there was nothing to do) and the unchanged tables on
// standard output, the refusal, the failed rows and the unlisted names on
// standard error. JSON: one object on one line, the error abort's message
// included, and nothing else on standard output (perform loads with
// LoaderReport). Status 0 when every row was done, 3 when another operation
// held the installed folder, 1 when a row failed, the operation was refused
// otherwise or ended in the error abort.
int RunOperation(const OperationOptions& options, const char* operation,
    const std::function<void(const CatalogueFolders&, OperationRun&)>& perform);

// A JSON text of 8-bit texts that need not be UTF-8: bytes that are not
// become U+FFFD.
template <class Json>
std::string JsonLine(const Json& json) {
    return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}
