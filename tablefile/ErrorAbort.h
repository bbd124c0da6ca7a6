// The error abort: a table file that cannot be used ends the current
// operation with a fixed message. The core raises it as an exception that
// carries the message; the caller shows it.
#pragma once

#include <stdexcept>
#include <string>

#include "platform/FileSystem.h"

class ErrorAbort : public std::runtime_error {
public:
    explicit ErrorAbort(const std::string& message) : std::runtime_error(message) {}
};

// The error abort of a table file that could not be opened, with the
// system's reason: a caller tells a missing or refused file from a damaged
// one by it, while the message stays the loader's.
class TableOpenFailed : public ErrorAbort {
public:
    TableOpenFailed(const std::string& message, platform::Outcome why) : ErrorAbort(message), outcome(why) {}
    platform::Outcome outcome;
};

[[noreturn]] void AbortWithMessage(const std::string& text);
