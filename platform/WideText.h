// UTF-8 and UTF-16 texts at the edge of the Windows calls (Windows only).
// The core keeps every text in UTF-8; the wide (W) calls take UTF-16. A text
// that is not valid in its encoding converts to nothing: it is an error,
// never a guess.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

std::optional<std::wstring> WideFromUtf8(std::string_view text);
std::optional<std::string> Utf8FromWide(std::wstring_view text);

}  // namespace platform
