// Process ids for tests that need one no process can have.
#pragma once

#include <cstdint>

// No system hands this id out: Windows ids are small multiples of 4, and
// Linux ids stay below its pid_max, at most 2^22.
inline constexpr std::uint32_t kNeverAProcess = 4'000'000'001u;
