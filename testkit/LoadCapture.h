// Loads a table while capturing the loader's standard output (trace lines)
// and standard error (warning lines), so tests can compare them exactly.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tablefile/ErrorAbort.h"
#include "tablefile/TableLoader.h"

struct LoadOutcome {
    bool loaded = false;
    std::string message;  // the abort message when not loaded
    std::string out;      // standard output
    std::string err;      // standard error
};

// Runs action with both streams captured; an error abort becomes message.
inline LoadOutcome RunCapturing(const std::function<void()>& action) {
    LoadOutcome outcome;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    try {
        action();
        outcome.loaded = true;
    } catch (const ErrorAbort& abort) {
        outcome.message = abort.what();
    }
    outcome.err = testing::internal::GetCapturedStderr();
    outcome.out = testing::internal::GetCapturedStdout();
    return outcome;
}

inline LoadOutcome LoadBytes(const std::vector<unsigned char>& bytes, CalibrationTable& table) {
    return RunCapturing([&] { LoadTableFromMemory(bytes, table); });
}

inline LoadOutcome LoadBytes(const std::vector<unsigned char>& bytes) {
    CalibrationTable table{};
    return LoadBytes(bytes, table);
}

inline LoadOutcome LoadFile(const std::string& path, CalibrationTable& table) {
    return RunCapturing([&] { LoadTableFile(path, table); });
}

inline LoadOutcome LoadFile(const std::string& path) {
    CalibrationTable table{};
    return LoadFile(path, table);
}

inline std::string WarningLine(const std::string& field) {
    return "#### Warning: Illegal " + field + " field in ZTB.Resolution\n";
}

// Names parameterized cases after their name member.
struct CaseName {
    template <typename Case>
    std::string operator()(const testing::TestParamInfo<Case>& test) const {
        return test.param.name;
    }
};
