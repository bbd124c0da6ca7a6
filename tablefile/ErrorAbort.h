// The error abort: a table file that cannot be used ends the current
// operation with a fixed message. The core raises it as an exception that
// carries the message; the caller shows it.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

#include "platform/FileSystem.h"

class ErrorAbort : public std::runtime_error {
public:
    explicit ErrorAbort(const std::string& message, std::string why = {})
        : std::runtime_error(message), detail(std::move(why)) {}

    // Why the file could not be opened or read ("not found", "the file is
    // too short: 100 bytes"), when that is known; the message stays fixed.
    std::string detail;
    // The file whose load failed, set by the loader; empty when the abort is
    // not about one file.
    std::string path;
};

// The error abort of a table file that could not be opened, with the
// system's reason: a caller tells a missing or refused file from a damaged
// one by it, while the message stays the loader's.
class TableOpenFailed : public ErrorAbort {
public:
    TableOpenFailed(const std::string& message, platform::Result why) : ErrorAbort(message, why.Text()), outcome(why) {}
    platform::Result outcome;
};

// Raises the error abort with text and, when known, why the file could not
// be read.
[[noreturn]] void AbortWithMessage(const std::string& text, std::string detail = {});

// The message preceded by the file's name, "D1.ztb: Illegal ZTB ID string",
// or the message alone when the abort is not about one file.
std::string NamedMessage(const ErrorAbort& abort);
