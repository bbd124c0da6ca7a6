#include "tablefile/TableValidation.h"

#include <cstring>
#include <string>
#include <utility>

#include "tablefile/BaseFilmLightTable.h"

namespace {

bool IsLegalDeviceType(int deviceType) { return deviceType == 0 || (deviceType >= 1000 && deviceType <= 1020); }

// DevXSize must be 2048 shifted left by the resolution index.
bool RasterWidthFits(int devXSize, int r) { return r >= 0 && r <= 3 && devXSize == (2048 << r); }

// The error abort message of each header fault.
constexpr std::pair<HeaderFault, const char*> kHeaderMessages[] = {
    {HeaderFault::IdString, "Illegal ZTB ID string"},
    {HeaderFault::HeaderVersion, "Illegal ZTB HeaderVersion field"},
    {HeaderFault::DeviceType, "Illegal ZTB DeviceType field"},
    {HeaderFault::Type, "Illegal ZTB Type field"},
    {HeaderFault::Size, "Illegal ZTB Size field"},
    {HeaderFault::NumResolutions, "Illegal ZTB number of resolutions"},
};

// The field that the warning line of each record fault names.
constexpr std::pair<ResolutionFault, const char*> kResolutionFieldNames[] = {
    {ResolutionFault::Length, "Length"},
    {ResolutionFault::ResVersion, "ResVersion"},
    {ResolutionFault::RasterSize, "DevX/YSize"},
    {ResolutionFault::Corners, "XMin/YMin/XMax/YMax"},
    {ResolutionFault::FilmGamma, "FilmGamma"},
    {ResolutionFault::StdGamma, "StdGamma"},
    {ResolutionFault::DeviceType, "DeviceType"},
    {ResolutionFault::Resolution, "Resolution"},
    {ResolutionFault::MirrorY, "MirrorY"},
    {ResolutionFault::BaseFilmType, "Compatible.BaseFilmType"},
    {ResolutionFault::BlackAndWhite, "Compatible.BlackAndWhite"},
    {ResolutionFault::Balance, "Compatible.Balance"},
    {ResolutionFault::Intensity, "Intensity"},
    {ResolutionFault::Repetition, "Repetition"},
    {ResolutionFault::BackType, "BackType"},
};

template <class Fault, std::size_t N>
const char* NameOf(const std::pair<Fault, const char*> (&names)[N], Fault fault) {
    for (const auto& [named, name] : names) {
        if (named == fault) return name;
    }
    return "";
}

// Base film type, balances and the black-and-white mode agree.
ResolutionFault CheckCompatible(const ZTBResolutionT& record) {
    const ZTBCompatible& compatible = record.Compatible;
    if (compatible.BaseFilmType == 0) {
        for (std::int16_t balance : compatible.Balance) {
            if (balance != 0) return ResolutionFault::Balance;
        }
        return ResolutionFault::None;
    }
    if (compatible.BaseFilmType < 1 || compatible.BaseFilmType > BaseFilmTypeCount(record.DeviceType)) {
        return ResolutionFault::BaseFilmType;
    }
    int zeroBalances = 0;
    for (std::int16_t balance : compatible.Balance) {
        if (balance == 0) {
            ++zeroBalances;
        } else if (balance < 25 || balance > 400) {
            return ResolutionFault::Balance;
        }
    }
    if (compatible.BlackAndWhite == 0) return zeroBalances != 0 ? ResolutionFault::Balance : ResolutionFault::None;
    if (compatible.BlackAndWhite < 1 || compatible.BlackAndWhite > 2) return ResolutionFault::BlackAndWhite;
    return zeroBalances != 2 ? ResolutionFault::Balance : ResolutionFault::None;
}

// Intensities, repetitions and back type agree: a channel is exposed with
// both a repetition and an intensity, or with neither.
ResolutionFault CheckExposure(const ZTBResolutionT& record) {
    const bool anyRepetition = record.Repetition[0] != 0 || record.Repetition[1] != 0 || record.Repetition[2] != 0;
    if (!anyRepetition) {
        for (std::uint16_t intensity : record.Intensity) {
            if (intensity != 0) return ResolutionFault::Intensity;
        }
        return record.BackType != 0 ? ResolutionFault::BackType : ResolutionFault::None;
    }
    int unexposed = 0;
    for (int c = 0; c < 3; ++c) {
        if (record.Repetition[c] > 16) return ResolutionFault::Repetition;
        if (record.Repetition[c] == 0) {
            if (record.Intensity[c] != 0) return ResolutionFault::Intensity;
            ++unexposed;
        } else if (record.Intensity[c] == 0) {
            return ResolutionFault::Intensity;
        }
    }
    const std::int16_t blackAndWhite = record.Compatible.BlackAndWhite;
    if (blackAndWhite == 0) return unexposed != 0 ? ResolutionFault::Intensity : ResolutionFault::None;
    if (blackAndWhite < 1 || blackAndWhite > 2) return ResolutionFault::BlackAndWhite;
    return unexposed != 2 ? ResolutionFault::Intensity : ResolutionFault::None;
}

}  // namespace

HeaderFault CheckHeader(const ZTBHeader& header) {
    // The ID text and its NUL, compared inside the 40-byte field only.
    if (std::memcmp(header.IdString, kZtbIdString, sizeof kZtbIdString) != 0) return HeaderFault::IdString;
    if (header.HeaderVersion != 1) return HeaderFault::HeaderVersion;
    if (!IsLegalDeviceType(header.DeviceType)) return HeaderFault::DeviceType;
    if (header.Type < 0 || header.Type > 5) return HeaderFault::Type;
    if (header.Size < 0 || header.Size > 6) return HeaderFault::Size;
    if (header.NumResolutions < 0 || header.NumResolutions > kMaxNumResolutions) return HeaderFault::NumResolutions;
    return HeaderFault::None;
}

const char* HeaderMessage(HeaderFault fault) { return NameOf(kHeaderMessages, fault); }

ResolutionFault CheckResolution(const ZTBResolutionT& record, int r) {
    if (record.Length < kResolutionSize) return ResolutionFault::Length;
    if (record.ResVersion != 1) return ResolutionFault::ResVersion;
    if (record.DevXSize <= 0 || record.DevXSize > 8192 || record.DevYSize <= 0 || record.DevYSize > 8192 ||
        !RasterWidthFits(record.DevXSize, r)) {
        return ResolutionFault::RasterSize;
    }
    if (record.XMin < 0 || record.YMin < 0 || record.XMax >= record.DevXSize || record.YMax >= record.DevYSize) {
        return ResolutionFault::Corners;
    }
    if (record.FilmGamma < -2560 || record.FilmGamma > 2560) return ResolutionFault::FilmGamma;
    if (record.StdGamma < -2560 || record.StdGamma > 5120) return ResolutionFault::StdGamma;
    if (!IsLegalDeviceType(record.DeviceType)) return ResolutionFault::DeviceType;
    if (record.Resolution < 0 || record.Resolution > 3 || record.Resolution != r) return ResolutionFault::Resolution;
    if (record.MirrorY < 0 || record.MirrorY > 1) return ResolutionFault::MirrorY;
    if (const ResolutionFault fault = CheckCompatible(record); fault != ResolutionFault::None) return fault;
    return CheckExposure(record);
}

void WarnResolution(const ZTBResolutionT& record, int r, const LoadReport& report) {
    const ResolutionFault fault = CheckResolution(record, r);
    if (fault == ResolutionFault::None) return;
    report.warning(
        std::string("#### Warning: Illegal ") + NameOf(kResolutionFieldNames, fault) + " field in ZTB.Resolution\n");
}
