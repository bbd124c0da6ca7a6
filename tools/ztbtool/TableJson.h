// A loaded table as JSON: every interpreted field under its name in the
// file format, numbers in host order as the fields' types give them.
#pragma once

#include <nlohmann/json.hpp>

#include "platform/FileSystem.h"
#include "tablefile/ZtbFormat.h"

// A text of a table file (a title, a description), stored in the system's
// ANSI code page, as UTF-8 for JSON.
std::string TableText(std::string_view text);

// A last-write time in ISO 8601 UTC, "2024-01-08T00:00:00Z"; null when
// unknown (0) or without a calendar form.
nlohmann::ordered_json LastWriteJson(platform::FileTime time);

nlohmann::ordered_json HeaderToJson(const ZTBHeader& header);
nlohmann::ordered_json RecordToJson(const ZTBResolutionT& record);
// "header", "ResolutionPresent" and "Resolution" (null where absent).
nlohmann::ordered_json TableToJson(const CalibrationTable& table);
