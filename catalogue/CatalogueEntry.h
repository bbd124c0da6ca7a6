// One listed table of a catalogue.
#pragma once

#include <string>

#include "platform/FileSystem.h"

enum class EntryStatus : unsigned char {
    None = 0,     // installed entries carry no status
    Updated = 1,  // installed copy older: blue swatch
    New = 2,      // not installed: red swatch
};

struct CatalogueEntry {
    std::string DeviceName;   // DeviceTypeName of the header's DeviceType
    std::string FileName;     // as the search returned it, extension included
    std::string Description;  // the header's Title; row text and sort key
    EntryStatus Status = EntryStatus::None;
    std::string DateText;              // last-write time in UTC, or "Unknown"
    platform::FileTime LastWrite = 0;  // the same time; 0 when unknown
};

// The single row a list shows when its catalogue is empty.
inline constexpr const char* kNoTablesPlaceholder = "No new or updated ZTB's for this film recorder";
