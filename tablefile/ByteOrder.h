// Conversion of the file's big-endian numbers to host order, applied once to
// each field as it is read.
#pragma once

#include "tablefile/ZtbFormat.h"

void SwapHeader(ZTBHeader& header);
void SwapResolution(CalibrationTable& table, int index);
ResInfo DecodeResInfo(const unsigned char bytes[kResInfoSize]);
