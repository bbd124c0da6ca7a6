// The built-in base film light table and the exposure values derived from
// it for records whose exposure values are empty.
#pragma once

#include <cstdint>

#include "tablefile/LoadReport.h"
#include "tablefile/ZtbFormat.h"

inline constexpr int kBaseFilmResolutions = 3;

struct BaseFilmEntry {
    const char* Name;   // for reference only
    std::int32_t Flag;  // for reference only
    std::int32_t BackType;
    struct PerResolution {
        std::int32_t Level[3];
        std::int32_t Reps[3];
    } Res[kBaseFilmResolutions];
};

int BaseFilmTypeCount(int deviceType);
// The lookups trace to report: a base film type out of range, and each
// light level found.
const BaseFilmEntry& GetBaseFilmEntry(int baseFilmType, int deviceType, const LoadReport& report);
int GetLightLevel(int baseFilmType, int resolution, int deviceType, int col, const LoadReport& report);
int GetLightReps(int baseFilmType, int resolution, int deviceType, int col, const LoadReport& report);
int GetBackType(int baseFilmType, int deviceType, const LoadReport& report);
bool HasExposureValues(const ZTBResolutionT& record);
void FillExposureDefaults(ZTBResolutionT& record, const LoadReport& report);
