#include <gtest/gtest.h>

#include <cstdint>

#include "platform/FileSystem.h"

namespace {

// No system hands this id out: Windows ids are small multiples of 4, and
// Linux ids stay below its pid_max, at most 2^22.
constexpr std::uint32_t kNeverAProcess = 4'000'000'001u;

TEST(ProcessTest, TheRunningProcessIsRunningAndAnIdNoSystemGivesIsNot) {
    const std::uint32_t self = platform::CurrentProcessId();
    EXPECT_NE(self, 0u);
    EXPECT_EQ(platform::CurrentProcessId(), self);
    EXPECT_TRUE(platform::ProcessIsRunning(self));
    EXPECT_FALSE(platform::ProcessIsRunning(kNeverAProcess));
    EXPECT_FALSE(platform::ProcessIsRunning(0xFFFFFFFFu));
}

}  // namespace
