// Where loading a table reports what does not end it: the warning line of
// each record that breaks a rule, and the trace of the base film lookups (a
// line per light level derived; a base film type out of range, without a
// line end, just before its error abort). The caller chooses where they go;
// by default warnings to standard error and the trace to standard output,
// each written at once.
#pragma once

#include <functional>
#include <string_view>

void WriteToStandardOutput(std::string_view text);
void WriteToStandardError(std::string_view text);

struct LoadReport {
    std::function<void(std::string_view)> warning = WriteToStandardError;
    std::function<void(std::string_view)> trace = WriteToStandardOutput;
};
