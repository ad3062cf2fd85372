#include "db/DateTime.h"
#include "session/SessionKeeper.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

TEST(BackupNames, CarryTheTimeAndWhoseDataTheyHold)
{
    const DateTime now = DateTime::fromFields(2026, 3, 5, 9, 7);
    EXPECT_EQ(ProposedBackupName(true, "8001", now), "03月05日9时7备份数据.db");
    EXPECT_EQ(ProposedBackupName(false, "8001", now), "8001 03月05日9时7备份数据.db");
    EXPECT_EQ(AutomaticBackupName("sales", now), "backupdata/sales 03月05日9自动备份.db");
    EXPECT_EQ(AutomaticBackupName("", now), "backupdata/admin 03月05日9自动备份.db");
}

} // namespace
} // namespace telvora
