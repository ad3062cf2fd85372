#include "app/SingleInstance.h"

#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace telvora {
namespace {

using Result = CSingleInstance::Result;

class SingleInstanceTest : public ::testing::Test
{
protected:
    std::string dataDirectory() const { return m_temp.path().string(); }
    std::string runtimeDirectory() const { return dataDirectory(); }

    // Tries the lock in a child process; its exit code is the Result.
    int acquireInChild()
    {
        const pid_t child = ::fork();
        if (child == 0) {
            CSingleInstance instance(dataDirectory(), runtimeDirectory());
            ::_exit(static_cast<int>(instance.Acquire()));
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    test::TempDir m_temp;
};

TEST_F(SingleInstanceTest, SecondHolderInTheSameProcessIsRefused)
{
    CSingleInstance first(dataDirectory(), runtimeDirectory());
    CSingleInstance second(dataDirectory(), runtimeDirectory());
    ASSERT_EQ(Result::Acquired, first.Acquire());
    EXPECT_EQ(Result::AlreadyRunning, second.Acquire());
    EXPECT_EQ("系统已经登录", second.GetLastError());
    EXPECT_FALSE(second.IsHeld());

    first.Release();
    EXPECT_EQ(Result::Acquired, second.Acquire());
}

TEST_F(SingleInstanceTest, SecondProcessIsRefusedWhileTheFirstRuns)
{
    CSingleInstance first(dataDirectory(), runtimeDirectory());
    ASSERT_EQ(Result::Acquired, first.Acquire());
    EXPECT_EQ(static_cast<int>(Result::AlreadyRunning), acquireInChild());
    EXPECT_TRUE(first.IsHeld()) << "the first copy is left untouched";
}

TEST_F(SingleInstanceTest, LockOfAnEndedProcessDoesNotBlock)
{
    // The child takes the lock and ends without releasing it, as a crash would.
    const pid_t child = ::fork();
    if (child == 0) {
        CSingleInstance instance(dataDirectory(), runtimeDirectory());
        instance.Acquire();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);

    CSingleInstance instance(dataDirectory(), runtimeDirectory());
    EXPECT_TRUE(std::filesystem::exists(instance.GetLockPath()));
    EXPECT_EQ(Result::Acquired, instance.Acquire());
}

TEST_F(SingleInstanceTest, OtherDataDirectoriesDoNotConflict)
{
    test::TempDir other;
    CSingleInstance first(dataDirectory(), runtimeDirectory());
    CSingleInstance second(other.path().string(), runtimeDirectory());
    EXPECT_NE(first.GetLockPath(), second.GetLockPath());
    EXPECT_EQ(first.GetLockPath(), CSingleInstance(dataDirectory() + "/./", runtimeDirectory()).GetLockPath());
    EXPECT_EQ(Result::Acquired, first.Acquire());
    EXPECT_EQ(Result::Acquired, second.Acquire());
}

TEST_F(SingleInstanceTest, UnusableRuntimeDirectoryFails)
{
    CSingleInstance instance(dataDirectory(), (m_temp.path() / "missing").string());
    EXPECT_EQ(Result::Failed, instance.Acquire());
    EXPECT_FALSE(instance.GetLastError().empty());
}

} // namespace
} // namespace telvora
