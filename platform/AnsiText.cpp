#include "platform/AnsiText.h"

#ifdef _WIN32
#include "platform/WideText.h"
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <limits>
#else
#include <cstdint>
#endif

namespace platform {

#ifdef _WIN32

std::string Utf8FromAnsi(std::string_view text) {
    if (text.empty() || text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max() / 3)) return {};
    const int size = static_cast<int>(text.size());
    std::wstring wide(text.size(), L'\0');  // one UTF-16 unit at most per byte
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), size)));
    return Utf8FromWide(wide).value_or(std::string());
}

#else

std::string Utf8FromAnsi(std::string_view text) {
    // Windows-1252 at 0x80 to 0x9F; its five unassigned bytes keep their
    // own code points, as Windows converts them. Every other byte is its
    // own code point (ASCII and Latin-1).
    static constexpr std::uint16_t kHighControls[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string utf8;
    utf8.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const unsigned code = byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte;
        if (code < 0x80) {
            utf8 += static_cast<char>(code);
        } else if (code < 0x800) {
            utf8 += static_cast<char>(0xC0 | (code >> 6));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | (code >> 12));
            utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return utf8;
}

#endif

}  // namespace platform
