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
    CSingleInstance instance(const std::string& data = {}) const
    {
        return CSingleInstance(data.empty() ? m_temp.path().string() : data, m_temp.path().string());
    }

    // Takes the lock in a child process that then ends without releasing it, as a crash
    // would; the child's exit code is the Result.
    int acquireInChild()
    {
        const pid_t child = ::fork();
        if (child == 0) {
            ::_exit(static_cast<int>(instance().Acquire()));
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    test::TempDir m_temp;
};

TEST_F(SingleInstanceTest, SecondHolderIsRefusedUntilTheFirstLetsGo)
{
    CSingleInstance first = instance();
    CSingleInstance second = instance(m_temp.path().string() + "/./");
    EXPECT_EQ(first.GetLockPath(), second.GetLockPath());
    ASSERT_EQ(Result::Acquired, first.Acquire());
    EXPECT_EQ(Result::AlreadyRunning, second.Acquire());
    EXPECT_EQ("系统已经登录", second.GetLastError());
    EXPECT_FALSE(second.IsHeld());
    EXPECT_EQ(static_cast<int>(Result::AlreadyRunning), acquireInChild());
    EXPECT_TRUE(first.IsHeld()) << "the first copy is left untouched";
    first.Release();
    EXPECT_EQ(Result::Acquired, second.Acquire());
}

TEST_F(SingleInstanceTest, EndedProcessesAndOtherDataDirectoriesDoNotBlock)
{
    ASSERT_EQ(static_cast<int>(Result::Acquired), acquireInChild());
    CSingleInstance again = instance();
    EXPECT_TRUE(std::filesystem::exists(again.GetLockPath()));
    EXPECT_EQ(Result::Acquired, again.Acquire());

    test::TempDir other;
    CSingleInstance elsewhere = instance(other.path().string());
    EXPECT_NE(again.GetLockPath(), elsewhere.GetLockPath());
    EXPECT_EQ(Result::Acquired, elsewhere.Acquire());

    CSingleInstance broken(m_temp.path().string(), m_temp.file("missing"));
    EXPECT_EQ(Result::Failed, broken.Acquire());
    EXPECT_FALSE(broken.GetLastError().empty());
}

} // namespace
} // namespace telvora
