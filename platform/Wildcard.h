// Wildcard matching of a file name as the folder search does it: "*" matches
// any run of characters, "?" exactly one, and letters match without regard
// to case. Both file layers use it, so a search finds the same names on
// every system.
#pragma once

#include <string_view>

namespace platform {

// A-Z to a-z; every other byte as it is.
char LowerAscii(char c);

bool WildcardMatches(std::string_view name, std::string_view pattern);

}  // namespace platform
