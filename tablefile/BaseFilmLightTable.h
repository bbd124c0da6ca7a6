// The built-in base film light table and the exposure values derived from
// it for records whose exposure values are empty.
#pragma once

#include <cstdint>

#include "tablefile/ZtbFormat.h"

inline constexpr int kBaseFilmResolutions = 3;

// Ends the lookups' output line on standard output when it has no line end
// yet: a base film type out of range is written there before its abort.
void EndTraceLine();

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
const BaseFilmEntry& GetBaseFilmEntry(int baseFilmType, int deviceType);
int GetLightLevel(int baseFilmType, int resolution, int deviceType, int col);
int GetLightReps(int baseFilmType, int resolution, int deviceType, int col);
int GetBackType(int baseFilmType, int deviceType);
bool HasExposureValues(const ZTBResolutionT& record);
void FillExposureDefaults(ZTBResolutionT& record);
