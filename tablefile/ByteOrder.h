// Decoding of the file's big-endian fields into host values, field by field
// in file order.
#pragma once

#include "tablefile/ZtbFormat.h"

ZTBHeader DecodeHeader(const unsigned char bytes[kHeaderSize]);
ResInfo DecodeResInfo(const unsigned char bytes[kResInfoSize]);
void DecodeResolution(const unsigned char bytes[kResolutionSize], ZTBResolutionT& record);
