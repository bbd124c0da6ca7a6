#include "tablefile/TableValidation.h"

#include <cstdio>
#include <cstring>

#include "tablefile/BaseFilmLightTable.h"

namespace {

bool IsLegalDeviceType(int deviceType) { return deviceType == 0 || (deviceType >= 1000 && deviceType <= 1020); }

// DevXSize must be 2048 shifted left by the resolution index.
bool RasterWidthFits(int devXSize, int r) { return r >= 0 && r <= 3 && devXSize == (2048 << r); }

// Field names of the warning line, for the results -1 to -15.
constexpr const char* kResolutionFieldNames[] = {
    "Length",
    "ResVersion",
    "DevX/YSize",
    "XMin/YMin/XMax/YMax",
    "FilmGamma",
    "StdGamma",
    "DeviceType",
    "Resolution",
    "MirrorY",
    "Compatible.BaseFilmType",
    "Compatible.BlackAndWhite",
    "Compatible.Balance",
    "Intensity",
    "Repetition",
    "BackType",
};

// Base film type, balances and the black-and-white mode agree.
int CheckCompatible(const ZTBResolutionT& record) {
    const ZTBCompatible& compatible = record.Compatible;
    if (compatible.BaseFilmType == 0) {
        for (std::int16_t balance : compatible.Balance) {
            if (balance != 0) return -12;
        }
        return 1;
    }
    if (compatible.BaseFilmType < 1 || compatible.BaseFilmType > BaseFilmTypeCount(record.DeviceType)) {
        return -10;
    }
    int zeroBalances = 0;
    for (std::int16_t balance : compatible.Balance) {
        if (balance == 0) {
            ++zeroBalances;
        } else if (balance < 25 || balance > 400) {
            return -12;
        }
    }
    if (compatible.BlackAndWhite == 0) return zeroBalances != 0 ? -12 : 1;
    if (compatible.BlackAndWhite < 1 || compatible.BlackAndWhite > 2) return -11;
    return zeroBalances != 2 ? -12 : 1;
}

// Intensities, repetitions and back type agree: a channel is exposed with
// both a repetition and an intensity, or with neither.
int CheckExposure(const ZTBResolutionT& record) {
    const bool anyRepetition = record.Repetition[0] != 0 || record.Repetition[1] != 0 || record.Repetition[2] != 0;
    if (!anyRepetition) {
        for (std::uint16_t intensity : record.Intensity) {
            if (intensity != 0) return -13;
        }
        return record.BackType != 0 ? -15 : 1;
    }
    int unexposed = 0;
    for (int c = 0; c < 3; ++c) {
        if (record.Repetition[c] > 16) return -14;
        if (record.Repetition[c] == 0) {
            if (record.Intensity[c] != 0) return -13;
            ++unexposed;
        } else if (record.Intensity[c] == 0) {
            return -13;
        }
    }
    const std::int16_t blackAndWhite = record.Compatible.BlackAndWhite;
    if (blackAndWhite == 0) return unexposed != 0 ? -13 : 1;
    if (blackAndWhite < 1 || blackAndWhite > 2) return -11;
    return unexposed != 2 ? -13 : 1;
}

}  // namespace

int CheckHeader(const ZTBHeader& header) {
    // The ID text and its NUL, compared inside the 40-byte field only.
    if (std::memcmp(header.IdString, kZtbIdString, sizeof kZtbIdString) != 0) return -1;
    if (header.HeaderVersion != 1) return -2;
    if (!IsLegalDeviceType(header.DeviceType)) return -3;
    if (header.Type < 0 || header.Type > 5) return -4;
    if (header.Size < 0 || header.Size > 6) return -5;
    if (header.NumResolutions < 0 || header.NumResolutions > kMaxNumResolutions) return -6;
    return 1;
}

const char* HeaderMessage(int result) {
    switch (result) {
    case -1:
        return "Illegal ZTB ID string";
    case -2:
        return "Illegal ZTB HeaderVersion field";
    case -3:
        return "Illegal ZTB DeviceType field";
    case -4:
        return "Illegal ZTB Type field";
    case -5:
        return "Illegal ZTB Size field";
    case -6:
        return "Illegal ZTB number of resolutions";
    default:
        return "Illegal ZTB";
    }
}

int CheckResolution(const ZTBResolutionT& record, int r) {
    if (record.Length < kResolutionSize) return -1;
    if (record.ResVersion != 1) return -2;
    if (record.DevXSize <= 0 || record.DevXSize > 8192 || record.DevYSize <= 0 || record.DevYSize > 8192 ||
        !RasterWidthFits(record.DevXSize, r)) {
        return -3;
    }
    if (record.XMin < 0 || record.YMin < 0 || record.XMax >= record.DevXSize || record.YMax >= record.DevYSize) {
        return -4;
    }
    if (record.FilmGamma < -2560 || record.FilmGamma > 2560) return -5;
    if (record.StdGamma < -2560 || record.StdGamma > 5120) return -6;
    if (!IsLegalDeviceType(record.DeviceType)) return -7;
    if (record.Resolution < 0 || record.Resolution > 3 || record.Resolution != r) return -8;
    if (record.MirrorY < 0 || record.MirrorY > 1) return -9;
    if (const int result = CheckCompatible(record); result != 1) return result;
    return CheckExposure(record);
}

void WarnResolution(const ZTBResolutionT& record, int r) {
    const int result = CheckResolution(record, r);
    if (result >= -15 && result <= -1) {
        std::fprintf(stderr, "#### Warning: Illegal %s field in ZTB.Resolution\n", kResolutionFieldNames[-result - 1]);
        std::fflush(stderr);
    }
}
