#include "tablefile/ErrorAbort.h"

#include <utility>

void AbortWithMessage(const std::string& text, std::string detail) {
    // The core shows nothing itself: whoever catches the abort shows the
    // text before anything else happens.
    throw ErrorAbort(text, std::move(detail));
}

std::string NamedMessage(const ErrorAbort& abort) {
    if (abort.path.empty()) return abort.what();
    return abort.path.substr(abort.path.rfind(platform::kPathSeparator) + 1) + ": " + abort.what();
}
