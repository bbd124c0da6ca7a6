#include "ui/ReportAfterRescan.h"

#include <exception>
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
