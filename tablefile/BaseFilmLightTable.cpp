#include "tablefile/BaseFilmLightTable.h"

#include <climits>
#include <span>
#include <string>

#include "tablefile/ErrorAbort.h"

namespace {

// Per entry: name, flag, back type, then for resolution index 0, 1 and 2
// the light levels and the repetition counts of channels 0, 1 and 2.
// A light level of 0: the base film does not support that resolution.

const BaseFilmEntry kFilms1010[] = {
    {"Ekta35", 1, 0,
        {{{11805, 10440, 8893}, {1, 1, 1}}, {{3373, 2983, 2541}, {1, 1, 1}}, {{902, 798, 680}, {1, 1, 1}}}},
};

const BaseFilmEntry kFilms1006[] = {
    {"Ekta35.H", 1, 0,
        {{{6847, 6646, 5068}, {3, 3, 1}}, {{5869, 5697, 1448}, {1, 1, 1}}, {{1569, 1523, 387}, {1, 1, 1}}}},
    {"Veri120.H", 1, 0,
        {{{6645, 6939, 5485}, {8, 6, 3}}, {{5063, 5948, 4701}, {3, 2, 1}}, {{4061, 3181, 1257}, {1, 1, 1}}}},
    {"339.H", 0, 2, {{{5528, 6797, 2661}, {1, 1, 1}}, {{1382, 1699, 665}, {1, 1, 1}}, {{370, 454, 178}, {1, 1, 1}}}},
    {"669.H", 1, 4,
        {{{5661, 6123, 5600}, {7, 7, 3}}, {{4953, 5358, 4200}, {2, 2, 1}}, {{2649, 2865, 1123}, {1, 1, 1}}}},
    {"691.H", 1, 4,
        {{{6532, 6430, 3898}, {7, 10, 3}}, {{5716, 5358, 2923}, {2, 3, 1}}, {{3057, 4298, 782}, {1, 1, 1}}}},
    {"Veri35.H", 1, 0,
        {{{6139, 4751, 4980}, {2, 2, 1}}, {{3508, 2715, 1423}, {1, 1, 1}}, {{938, 726, 380}, {1, 1, 1}}}},
    {"Ekta4x5.H", 1, 4,
        {{{6973, 6760, 5160}, {15, 11, 3}}, {{5977, 5311, 4423}, {5, 4, 1}}, {{3995, 5681, 1182}, {2, 1, 1}}}},
    {"Veri4x5.H", 1, 4,
        {{{6815, 6951, 6287}, {10, 7, 3}}, {{6490, 6951, 5388}, {3, 2, 1}}, {{5206, 3717, 1440}, {1, 1, 1}}}},
    {"Ekta120.H", 1, 0,
        {{{6859, 6519, 5017}, {14, 13, 3}}, {{6859, 6053, 4301}, {4, 4, 1}}, {{3668, 6474, 1150}, {2, 1, 1}}}},
    {"", 0, 0, {{{0, 0, 0}, {0, 0, 0}}, {{0, 0, 0}, {0, 0, 0}}, {{0, 0, 0}, {0, 0, 0}}}},
};

const BaseFilmEntry kFilms1002[] = {
    {"Ekta35", 1, 0,
        {{{11805, 10440, 8893}, {1, 1, 1}}, {{3373, 2983, 2541}, {1, 1, 1}}, {{902, 798, 680}, {1, 1, 1}}}},
    {"Pola", 1, 0, {{{14076, 11382, 11653}, {4, 4, 2}}, {{10337, 7847, 7207}, {2, 2, 1}}, {{0, 0, 0}, {1, 1, 1}}}},
    {"339", 0, 2, {{{6813, 8378, 6336}, {1, 1, 1}}, {{1626, 1999, 1512}, {1, 1, 1}}, {{435, 535, 404}, {1, 1, 1}}}},
    {"669", 1, 4, {{{10400, 11400, 11200}, {3, 4, 3}}, {{7800, 11400, 8400}, {1, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}}},
    {"691", 1, 4, {{{12002, 11400, 7795}, {3, 6, 3}}, {{9001, 8550, 5846}, {1, 2, 1}}, {{0, 0, 0}, {1, 1, 1}}}},
    {"Koda35", 1, 0,
        {{{11805, 10440, 8893}, {1, 1, 1}}, {{3373, 2983, 2541}, {1, 1, 1}}, {{902, 798, 680}, {1, 1, 1}}}},
    {"4x5", 1, 4, {{{9040, 8000, 6800}, {8, 8, 8}}, {{9040, 8000, 6800}, {4, 4, 4}}, {{9673, 8560, 7276}, {1, 1, 1}}}},
    {"8x10", 1, 4,
        {{{9040, 8000, 6800}, {16, 16, 16}}, {{9040, 8000, 6800}, {8, 8, 8}}, {{9673, 8560, 7276}, {2, 2, 2}}}},
    {"Ekta120", 1, 0,
        {{{9948, 10125, 5797}, {8, 8, 8}}, {{7580, 7715, 4417}, {3, 3, 3}}, {{6083, 6191, 3545}, {1, 1, 1}}}},
};

const BaseFilmEntry kFilms1003[] = {
    {"Ekta35.S", 1, 0, {{{13396, 3299, 1688}, {4, 4, 4}}, {{6754, 1661, 846}, {2, 2, 2}}, {{0, 0, 0}, {1, 1, 1}}}},
    {"Pola.S", 1, 0, {{{13007, 5857, 4905}, {8, 4, 4}}, {{13007, 5857, 4905}, {4, 2, 2}}, {{0, 0, 0}, {1, 1, 1}}}},
    {"339.S", 0, 2, {{{13626, 4692, 2190}, {2, 2, 2}}, {{3252, 1119, 499}, {2, 2, 2}}, {{0, 0, 0}, {1, 1, 1}}}},
    {"", 0, 0, {{{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}}},
    {"", 0, 0, {{{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}}},
    {"Koda35.S", 1, 0, {{{13396, 3299, 1688}, {4, 4, 4}}, {{6754, 1661, 846}, {2, 2, 2}}, {{0, 0, 0}, {1, 1, 1}}}},
    {"", 0, 0, {{{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}}},
    {"", 0, 0, {{{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}}},
    {"", 0, 0, {{{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}}},
};

const BaseFilmEntry kFilms1008[] = {
    {"Ekta35.SP", 1, 0, {{{9251, 6220, 2750}, {3, 1, 1}}, {{6754, 3322, 1403}, {2, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}}},
    {"Pola.SP", 1, 0, {{{13007, 11714, 9810}, {8, 2, 2}}, {{13007, 11714, 9810}, {4, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}}},
    {"", 0, 0, {{{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}}},
    {"", 0, 0, {{{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}}},
    {"", 0, 0, {{{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}}},
    {"Koda35.SP", 1, 0, {{{13508, 6644, 3384}, {2, 1, 1}}, {{6754, 3322, 1692}, {2, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}}},
    {"", 0, 0, {{{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}}},
    {"", 0, 0, {{{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}}},
    {"", 0, 0, {{{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}}},
};

// Fills the unused places of a group's device type list; no 16-bit device
// type, negative ones included, can equal it.
constexpr int kNoDevice = INT_MIN;

struct BaseFilmGroup {
    int deviceTypes[4];
    std::span<const BaseFilmEntry> films;
};

const BaseFilmGroup kGroups[] = {
    {{1010, 1013, kNoDevice, kNoDevice}, kFilms1010},
    {{1006, 1007, kNoDevice, kNoDevice}, kFilms1006},
    {{1002, 1005, 1011, 1012}, kFilms1002},
    {{1003, 1004, kNoDevice, kNoDevice}, kFilms1003},
    {{1008, 1009, kNoDevice, kNoDevice}, kFilms1008},
};

// Device types that no group serves still count this many base film types.
constexpr int kDefaultBaseFilmTypeCount = 9;

const BaseFilmGroup* FindGroup(int deviceType) {
    for (const BaseFilmGroup& group : kGroups) {
        for (int served : group.deviceTypes) {
            if (served == deviceType) return &group;
        }
    }
    return nullptr;
}

// The entry's values for one resolution and channel, after the range checks
// that the level and the repetition lookups share.
const BaseFilmEntry::PerResolution& ResolutionValues(const BaseFilmEntry& entry, int resolution, int col) {
    if (resolution < 0 || resolution > 2) AbortWithMessage("illegal Resolution");
    if (col < 0 || col > 2) AbortWithMessage("illegal Col to GetLightLDC");
    return entry.Res[resolution];
}

}  // namespace

int BaseFilmTypeCount(int deviceType) {
    const BaseFilmGroup* group = FindGroup(deviceType);
    return group != nullptr ? static_cast<int>(group->films.size()) : kDefaultBaseFilmTypeCount;
}

const BaseFilmEntry& GetBaseFilmEntry(int baseFilmType, int deviceType, const LoadReport& report) {
    if (baseFilmType < 1 || baseFilmType > BaseFilmTypeCount(deviceType)) {
        report.trace(std::to_string(baseFilmType));
        AbortWithMessage("illegal BaseFilmType");
    }
    const BaseFilmGroup* group = FindGroup(deviceType);
    if (group == nullptr) {
        AbortWithMessage("Unsupported DeviceType (" + std::to_string(deviceType) + "), Contact Corvantigraph");
    }
    return group->films[static_cast<std::size_t>(baseFilmType - 1)];
}

int GetLightLevel(int baseFilmType, int resolution, int deviceType, int col, const LoadReport& report) {
    const BaseFilmEntry& entry = GetBaseFilmEntry(baseFilmType, deviceType, report);
    const int level = ResolutionValues(entry, resolution, col).Level[col];
    if (level == 0) AbortWithMessage("unsupported base film/resolution in GetLightLevel");
    report.trace(" LightLvl " + std::to_string(level) + "\n");
    return level;
}

int GetLightReps(int baseFilmType, int resolution, int deviceType, int col, const LoadReport& report) {
    const BaseFilmEntry& entry = GetBaseFilmEntry(baseFilmType, deviceType, report);
    const int reps = ResolutionValues(entry, resolution, col).Reps[col];
    if (reps == 0) AbortWithMessage("unsupported base film/resolution in GetLightReps");
    return reps;
}

int GetBackType(int baseFilmType, int deviceType, const LoadReport& report) {
    return GetBaseFilmEntry(baseFilmType, deviceType, report).BackType;
}

bool HasExposureValues(const ZTBResolutionT& record) {
    for (int c = 0; c < 3; ++c) {
        if (record.Intensity[c] != 0 || record.Repetition[c] != 0) return true;
    }
    return false;
}

void FillExposureDefaults(ZTBResolutionT& record, const LoadReport& report) {
    const int baseFilmType = record.Compatible.BaseFilmType;
    const int deviceType = record.DeviceType;
    record.BackType = static_cast<std::int16_t>(GetBackType(baseFilmType, deviceType, report));
    for (int c = 0; c < 3; ++c) {
        const std::int32_t balance = record.Compatible.Balance[c];
        if (balance == 0) {
            record.Intensity[c] = 0;
            record.Repetition[c] = 0;
            continue;
        }
        const std::int32_t level = GetLightLevel(baseFilmType, record.Resolution, deviceType, c, report);
        const std::int32_t reps = GetLightReps(baseFilmType, record.Resolution, deviceType, c, report);
        // Only the low 16 bits are kept: 400 % of 14076 is stored as 0xDBF0.
        record.Intensity[c] = static_cast<std::uint16_t>((balance * level + 50) / 100);
        record.Repetition[c] = static_cast<std::uint16_t>(reps);
    }
}
