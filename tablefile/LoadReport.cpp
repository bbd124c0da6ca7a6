#include "tablefile/LoadReport.h"

#include <cstdio>

namespace {

void WriteTo(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

}  // namespace

void WriteToStandardOutput(std::string_view text) { WriteTo(stdout, text); }

void WriteToStandardError(std::string_view text) { WriteTo(stderr, text); }
