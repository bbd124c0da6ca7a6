// The date text of a table file: its last-write time in UTC as
// "yyyy/mm/dd - hh:mm", or "Unknown". Byte-wise order of two date texts is
// their chronological order.
#pragma once

#include <optional>
#include <string>

#include "platform/FileSystem.h"

inline constexpr const char* kUnknownDateText = "Unknown";

// From the file's last-write time; "Unknown" without times or when the
// time has no calendar form.
std::string FormatDateText(const std::optional<platform::FileTimes>& times);

// A time in ISO 8601, UTC, to the second: "2024-01-08T00:00:00Z"; empty when
// it has no calendar form.
std::string IsoDateText(platform::FileTime time);
