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
