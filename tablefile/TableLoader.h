// Loading one ZTB file into a CalibrationTable: read, decode, validate and
// complete empty exposure values. Any fault that makes the file unusable
// ends in the error abort (ErrorAbort.h); a file that cannot be opened in
// TableOpenFailed, which carries why.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "platform/FileSystem.h"
#include "tablefile/LoadReport.h"
#include "tablefile/TableSource.h"
#include "tablefile/ZtbFormat.h"

// Loads, validates and completes the table file at path; warnings and the
// trace go to report.
void LoadTableFile(const std::string& path, CalibrationTable& table, const LoadReport& report = {});

// The same, and the file's times read from the same open handle, so they
// belong to the bytes loaded; empty when they cannot be read.
std::optional<platform::FileTimes> LoadTableFileWithTimes(
    const std::string& path, CalibrationTable& table, const LoadReport& report = {});

// The same from bytes in memory.
void LoadTableFromMemory(std::span<const unsigned char> bytes, CalibrationTable& table, const LoadReport& report = {});
