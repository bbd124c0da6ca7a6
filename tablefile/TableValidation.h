// Validation of a header and of one resolution record. Each check returns 1
// for valid or a negative code naming the first rule that failed.
#pragma once

#include "tablefile/ZtbFormat.h"

// Checks a decoded header.
int CheckHeader(const ZTBHeader& header);
// The error abort message for a CheckHeader result other than 1.
const char* HeaderMessage(int result);

// Checks one converted record for the directory's resolution index r.
int CheckResolution(const ZTBResolutionT& record, int r);
// Runs CheckResolution and writes the warning line for a failure to the
// standard error stream.
void WarnResolution(const ZTBResolutionT& record, int r);
