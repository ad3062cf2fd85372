#include "app/AutoStart.h"

#include "app/AtomicWrite.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

TEST(AutoStartTest, EntryExistsExactlyWhileChosen)
{
    test::TempDir config;
    CAutoStart autoStart("/opt/my apps/telvora", config.path().string());
    EXPECT_EQ(config.file("autostart/telvora.desktop"), autoStart.GetEntryPath());
    EXPECT_FALSE(autoStart.IsEnabled());

    ASSERT_TRUE(autoStart.Set(true)) << autoStart.GetLastError();
    EXPECT_TRUE(autoStart.IsEnabled());
    std::string entry;
    ASSERT_TRUE(ReadWholeFile(autoStart.GetEntryPath(), entry));
    EXPECT_NE(std::string::npos, entry.find("[Desktop Entry]\n"));
    EXPECT_NE(std::string::npos, entry.find("\nExec=\"/opt/my apps/telvora\"\n"));

    ASSERT_TRUE(autoStart.Set(true)) << "choosing twice is harmless";
    ASSERT_TRUE(autoStart.Set(false));
    EXPECT_FALSE(autoStart.IsEnabled());
    ASSERT_TRUE(autoStart.Set(false)) << "removing an absent entry is not an error";
}

TEST(AutoStartTest, ReservedCharactersAreEscaped)
{
    test::TempDir config;
    CAutoStart autoStart("/tmp/a\"b$c%d", config.path().string());
    ASSERT_TRUE(autoStart.Set(true));
    std::string entry;
    ASSERT_TRUE(ReadWholeFile(autoStart.GetEntryPath(), entry));
    EXPECT_NE(std::string::npos, entry.find("Exec=\"/tmp/a\\\\\"b\\\\$c%%d\"\n"));
}

} // namespace
} // namespace telvora
