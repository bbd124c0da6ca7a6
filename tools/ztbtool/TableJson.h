// A loaded table as JSON: every interpreted field under its name in the
// file format, numbers in host order as the fields' types give them.
#pragma once

#include <nlohmann/json.hpp>

#include "tablefile/ZtbFormat.h"

nlohmann::ordered_json HeaderToJson(const ZTBHeader& header);
nlohmann::ordered_json RecordToJson(const ZTBResolutionT& record);
// "header", "ResolutionPresent" and "Resolution" (null where absent).
nlohmann::ordered_json TableToJson(const CalibrationTable& table);
