#include "ui/ReportAfterRescan.h"

#include <exception>
#include <new>
#include <string>

#include "install/TableOperations.h"
#include "ui/framework/MessageBox.h"

void ReportAfterRescan(const OperationReport& report, const std::function<void()>& rescan) {
    if (report.refused) {
        AfxMessageBox(report.message);
        return;
    }
    std::exception_ptr rescanFailure;
    try {
        rescan();
    } catch (...) {
        rescanFailure = std::current_exception();
    }
    AfxMessageBox(report.message);
    if (const std::string failures = report.FailureText(); !failures.empty()) AfxMessageBox(failures);
    if (rescanFailure) std::rethrow_exception(rescanFailure);
}

std::string FailureMessage(const std::exception& failure) {
    if (dynamic_cast<const std::bad_alloc*>(&failure) != nullptr) return "Out of memory.";
    const auto* abort = dynamic_cast<const ErrorAbort*>(&failure);
    return failure.what() + (abort != nullptr && !abort->path.empty() ? "\n" + abort->path : std::string());
}
