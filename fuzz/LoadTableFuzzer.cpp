// Feeds any bytes to the table loader from memory, the default fill of
// empty exposure values included. The error abort is the expected end of
// bad input; anything else (a crash, a sanitizer report, a leak, another
// exception) is a finding.
#include <memory>

#include "tablefile/ErrorAbort.h"
#include "tablefile/TableLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto table = std::make_unique<CalibrationTable>();
    try {
        LoadTableFromMemory(std::span<const unsigned char>(data, size), *table);
    } catch (const ErrorAbort&) {
        // A rejected table: its message is the outcome.
    }
    return 0;
}
