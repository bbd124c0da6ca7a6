// Validation of a header and of one resolution record. Each check names the
// first rule that failed, or None.
#pragma once

#include "tablefile/LoadReport.h"
#include "tablefile/ZtbFormat.h"

enum class HeaderFault { None, IdString, HeaderVersion, DeviceType, Type, Size, NumResolutions };

// Checks a decoded header.
HeaderFault CheckHeader(const ZTBHeader& header);
// The error abort message of a fault.
const char* HeaderMessage(HeaderFault fault);

enum class ResolutionFault {
    None,
    Length,
    ResVersion,
    RasterSize,
    Corners,
    FilmGamma,
    StdGamma,
    DeviceType,
    Resolution,
    MirrorY,
    BaseFilmType,
    BlackAndWhite,
    Balance,
    Intensity,
    Repetition,
    BackType
};

// Checks one converted record for the directory's resolution index r.
ResolutionFault CheckResolution(const ZTBResolutionT& record, int r);
// Runs CheckResolution and reports the warning line of a fault.
void WarnResolution(const ZTBResolutionT& record, int r, const LoadReport& report);
