// The error abort: a table file that cannot be used ends the current
// operation with a fixed message. The core raises it as an exception that
// carries the message; the caller shows it.
#pragma once

#include <stdexcept>
#include <string>

class ErrorAbort : public std::runtime_error {
public:
    explicit ErrorAbort(const std::string& message) : std::runtime_error(message) {}
};

[[noreturn]] void AbortWithMessage(const std::string& text);
