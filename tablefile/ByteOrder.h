// The fields of the file's structures in file order, one list for both
// directions: the loader decodes by it (ByteOrder.cpp) and the writer
// encodes by it (ZtbWriter.cpp). Each list hands field every member in
// turn: a number or an array of numbers, big-endian in the file, or an
// array of bytes (texts and reserved bytes) kept as they are.
#pragma once

#include "tablefile/ZtbFormat.h"

void HeaderFields(auto& header, auto& field) {
    field(header.IdString);
    field(header.HeaderVersion);
    field(header.Reserved42);
    field(header.DeviceType);
    field(header.Reserved46);
    field(header.Title);
    field(header.Type);
    field(header.Size);
    field(header.Reserved130);
    field(header.NumResolutions);
}

void ResInfoFields(auto& entry, auto& field) {
    field(entry.Resolution);
    field(entry.Length);
    field(entry.Offset);
}

void ResolutionFields(auto& record, auto& field) {
    field(record.Length);
    field(record.ResVersion);
    field(record.DevXSize);
    field(record.DevYSize);
    field(record.XMin);
    field(record.YMin);
    field(record.XMax);
    field(record.YMax);
    field(record.FilmGamma);
    field(record.StdGamma);
    field(record.DeviceType);
    field(record.Resolution);
    field(record.MirrorY);
    field(record.Compatible.BaseFilmType);
    field(record.Compatible.BlackAndWhite);
    field(record.Compatible.Balance);
    field(record.ChannelTable);
    field(record.Intensity);
    field(record.Repetition);
    field(record.BackType);
    field(record.Reserved1586);
    field(record.Reserved1612);
}

ZTBHeader DecodeHeader(const unsigned char bytes[kHeaderSize]);
ResInfo DecodeResInfo(const unsigned char bytes[kResInfoSize]);
void DecodeResolution(const unsigned char bytes[kResolutionSize], ZTBResolutionT& record);
