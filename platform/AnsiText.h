// Texts stored in the system's ANSI code page, such as the titles inside
// table files, converted to UTF-8 for output that must be UTF-8 (JSON). On
// Windows the active code page is used; elsewhere Windows-1252, the code
// page of the systems the tables are made on.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::string Utf8FromAnsi(std::string_view text);

}  // namespace platform
