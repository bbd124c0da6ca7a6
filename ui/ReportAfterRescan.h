// How the dialogs finish an install, removal or restore.
#pragma once

#include <exception>
#include <functional>
#include <string>

struct OperationReport;

// A refusal shows alone. Otherwise the operation is done whatever the
// rescan meets: rescan runs first, then the count and the failed rows
// show, then a table the rescan could not load ends the handler with its
// message, as any scan's does.
void ReportAfterRescan(const OperationReport& report, const std::function<void()>& rescan);

// The message box text of a failure that ended a handler: a table that
// cannot be used shows the loader's message, then on a line of its own the
// file's full path; memory running out gets words of its own.
std::string FailureMessage(const std::exception& failure);
