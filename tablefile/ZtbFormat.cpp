#include "tablefile/ZtbFormat.h"

#include <cstring>

std::string_view TitleText(const ZTBHeader& header) {
    // The loader does not insist on a NUL inside the field, so the text ends
    // at the field's end when none comes first.
    const void* nul = std::memchr(header.Title, '\0', kTitleSize);
    const std::size_t length =
        nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - header.Title) : kTitleSize;
    return std::string_view(header.Title, length);
}
