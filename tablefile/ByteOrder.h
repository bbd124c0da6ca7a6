// Conversion of the file's big-endian numbers to host order, applied once to
// each field as it is read.
#pragma once

#include "tablefile/ZtbFormat.h"

void SwapHeader(ZTBHeader& header);
// Converts, in place, a record slot that holds the file's bytes.
void SwapResolution(CalibrationTable& table, int index);
// Decodes one record from its file bytes into record, field by field.
void DecodeResolution(const unsigned char bytes[kResolutionSize], ZTBResolutionT& record);
ResInfo DecodeResInfo(const unsigned char bytes[kResInfoSize]);
