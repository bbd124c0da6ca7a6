// Process ids of real children: one still running, one finished and reaped.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>

#include "platform/FileSystem.h"

namespace {

TEST(ProcessPosixTest, ARunningChildIsRunningUntilItEndsAndIsReaped) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        pause();
        _exit(0);
    }
    const auto id = static_cast<std::uint32_t>(child);
    EXPECT_TRUE(platform::ProcessIsRunning(id));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_FALSE(platform::ProcessIsRunning(id));
}

// The first process belongs to root: as another user, kill answers EPERM,
// which still means it exists.
TEST(ProcessPosixTest, AnotherUsersProcessIsRunning) {
    EXPECT_TRUE(platform::ProcessIsRunning(1));
}

}  // namespace
