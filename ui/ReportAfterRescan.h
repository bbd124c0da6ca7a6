// How the dialogs finish an install, removal or restore.
#pragma once

#include <functional>

struct OperationReport;

// A refusal shows alone. Otherwise the operation is done whatever the
// rescan meets: rescan runs first, then the count and the failed rows
// show, then a table the rescan could not load ends the handler with its
// message, as any scan's does.
void ReportAfterRescan(const OperationReport& report, const std::function<void()>& rescan);
