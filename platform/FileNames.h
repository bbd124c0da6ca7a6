// How file names compare, as the folder search compares them: letters
// without regard to case (A-Z as a-z; other bytes, and so letters beyond
// ASCII, as they are), and by wildcard. Both file layers and the core use
// these, so that a name is the same table on every system.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The name with A-Z folded to a-z: two names are one file's when their
// folded forms are equal.
std::string FoldFileNameCase(std::string_view name);

// "*" matches any run of characters, "?" exactly one.
bool WildcardMatches(std::string_view name, std::string_view pattern);

}  // namespace platform
