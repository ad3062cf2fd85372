#include "app/AutoStart.h"

#include "app/AtomicWrite.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

TEST(AutoStartTest, EntryExistsExactlyWhileChosen)
{
    test::TempDir config;
    CAutoStart autoStart("/opt/my apps/a\"b$c%d", config.path().string());
    EXPECT_EQ(config.file("autostart/telvora.desktop"), autoStart.GetEntryPath());

    ASSERT_TRUE(autoStart.Set(true)) << autoStart.GetLastError();
    EXPECT_TRUE(autoStart.IsEnabled());
    std::string entry;
    ASSERT_TRUE(ReadWholeFile(autoStart.GetEntryPath(), entry));
    // Quoted, with the characters the entry format reserves escaped.
    EXPECT_NE(std::string::npos, entry.find("\nExec=\"/opt/my apps/a\\\\\"b\\\\$c%%d\"\n"));

    ASSERT_TRUE(autoStart.Set(false) && autoStart.Set(false)) << "removing an absent entry is not an error";
    EXPECT_FALSE(autoStart.IsEnabled());
}

} // namespace
} // namespace telvora
