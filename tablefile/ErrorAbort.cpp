#include "tablefile/ErrorAbort.h"

void AbortWithMessage(const std::string& text) {
    // The core shows nothing itself: whoever catches the abort shows the
    // text before anything else happens.
    throw ErrorAbort(text);
}
