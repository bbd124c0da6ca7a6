#include <gtest/gtest.h>

#include <cstdint>

#include "platform/FileSystem.h"
#include "testkit/Files.h"

namespace {

TEST(ProcessTest, TheRunningProcessIsRunningAndAnIdNoSystemGivesIsNot) {
    const std::uint32_t self = platform::CurrentProcessId();
    EXPECT_NE(self, 0u);
    EXPECT_EQ(platform::CurrentProcessId(), self);
    EXPECT_TRUE(platform::ProcessIsRunning(self));
    EXPECT_FALSE(platform::ProcessIsRunning(kNeverAProcess));
    EXPECT_FALSE(platform::ProcessIsRunning(0xFFFFFFFFu));
}

}  // namespace
