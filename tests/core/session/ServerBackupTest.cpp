#include "session/ServerBackup.h"

#include "SmsSimulator.h"
#include "core/db/DbTestSupport.h"
#include "service/Base64.h"
#include "service/ServiceClient.h"
#include "service/WebClient.h"
#include "session/Session.h"
#include "support/SimulatorLogin.h"
#include "support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <random>

namespace telvora {
namespace {

using test::readBytes;
using test::templatePath;

TEST(Base64, EncodesTheStandardAlphabetWithPadding)
{
    const std::vector<std::pair<std::string, std::string>> cases
        = {{"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="},
            {"foobar", "Zm9vYmFy"}, {std::string("\xFB\xFF\xBF\x00", 4), "+/+/AA=="}};
    for (const auto& [bytes, text] : cases) {
        std::string out = "x";
        AppendBase64(out, bytes);
        EXPECT_EQ(out, "x" + text) << bytes;
    }
}

TEST(ServerBackupEnvelope, IsOneSoapRequestWithoutBlanksBetweenItsParts)
{
    EXPECT_EQ(CServerBackup::BuildEnvelope("http://tempuri.org/", "T0K", ""),
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
        "xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body><UploadFile "
        "xmlns=\"http://tempuri.org/\"><Token>T0K</Token><BinaryDatas></BinaryDatas></UploadFile></soap:Body>"
        "</soap:Envelope>");
    EXPECT_EQ(CServerBackup::BackupPath("8001", ""), "/8001_admin.dat");
    EXPECT_EQ(CServerBackup::BackupPath("8001", "sales"), "/8001_sales.dat");
}

class ServerBackupTest : public testing::Test
{
protected:
    void SetUp() override
    {
        SimAccount account;
        account.account = "8001";
        account.adminPassword = "pw1234";
        sim.addAccount(account);
        ASSERT_TRUE(sim.start());
        service.SetAddress(sim.address());
        web.SetStallSeconds(5);
        ASSERT_TRUE(test::logInDirectly(service, "8001", "", "pw1234", session));
    }

    std::string writeFile(const std::string& name, const std::string& bytes)
    {
        return test::storeBytes(dir.file(name), bytes);
    }

    test::TempDir dir;
    SmsSimulator sim;
    // A POST time-out far below what the transfers take: they must not be bound by it.
    CWebClient web {nullptr, CWebClient::kDefaultGetTimeoutMs, 100};
    CServiceClient service {web};
    CSession session;
    CServerBackup backup {service, session};
};

TEST_F(ServerBackupTest, FiftyMegabytesTravelUpAndDownByteForByte)
{
    std::string bytes(50 * 1024 * 1024 + 1, '\0');
    std::mt19937_64 random(7);
    for (char& c : bytes) {
        c = static_cast<char>(random());
    }
    std::int64_t lastDone = -1;
    std::int64_t lastTotal = 0;
    const TransferProgress progress = [&](std::int64_t done, std::int64_t total) {
        lastDone = done;
        lastTotal = total;
        return true;
    };
    ASSERT_TRUE(backup.UploadFile(writeFile("big.bin", bytes), progress)) << backup.GetMessage();
    EXPECT_EQ(backup.GetMessage(), "备份数据到服务器成功完成!");
    EXPECT_GT(lastTotal, static_cast<std::int64_t>(bytes.size()));
    EXPECT_EQ(lastDone, lastTotal);
    const std::optional<std::string> stored = sim.backup("8001", "admin");
    ASSERT_TRUE(stored);
    EXPECT_TRUE(*stored == bytes) << "the service holds other bytes";

    const std::string downloaded = dir.file("down.bin");
    ASSERT_TRUE(backup.Download("8001", "", downloaded, progress)) << backup.GetMessage();
    EXPECT_TRUE(readBytes(downloaded) == bytes) << "the download differs";
    EXPECT_EQ(lastDone, static_cast<std::int64_t>(bytes.size()));
}

TEST_F(ServerBackupTest, TheWorkingDatabaseIsRestoredFromTheServiceCopy)
{
    const std::string working = dir.file("admin.db");
    ASSERT_TRUE(CopyDatabase(templatePath(), working));
    CADODataBase database;
    ASSERT_TRUE(database.Open(working));
    ASSERT_TRUE(database.Execute("INSERT INTO tbl_card (id, phone, name) VALUES (1, '13900000001', '张三')"));
    ASSERT_TRUE(backup.Upload(working)) << backup.GetMessage();
    ASSERT_TRUE(database.Execute("DELETE FROM tbl_card"));

    CDatabaseMaintenance maintenance(database, templatePath());
    EXPECT_EQ(backup.Restore(maintenance, dir.path().string(), "8001", "", {TableGroup::Cards}),
        CDatabaseMaintenance::Result::Done)
        << backup.GetMessage();
    EXPECT_EQ(backup.GetMessage(), "数据资料恢复成功!");
    EXPECT_EQ(test::scalar(database, "SELECT name FROM tbl_card WHERE id = 1"), "张三");

    // What the service holds is no database: refused, nothing changed.
    sim.setBackup("8001", "admin", "not a database at all");
    ASSERT_TRUE(database.Execute("DELETE FROM tbl_card"));
    EXPECT_EQ(backup.Restore(maintenance, dir.path().string(), "8001", "", {TableGroup::Cards}),
        CDatabaseMaintenance::Result::NotABackup);
    EXPECT_EQ(backup.GetMessage(), "无法打开恢复的数据库!");
}

TEST_F(ServerBackupTest, FailuresAreReportedAsSuch)
{
    const std::string file = writeFile("small.bin", "abc");
    sim.injectFault("UploadFile", SimFault {SimFault::Kind::Refuse, {}, "空间不足"}, 1);
    EXPECT_FALSE(backup.UploadFile(file));
    EXPECT_EQ(backup.GetMessage(), "备份数据到服务器失败，可能网络繁忙，请稍后重试!");
    EXPECT_FALSE(backup.UploadFile(file, [](std::int64_t, std::int64_t) { return false; })) << "cancelled";
    EXPECT_FALSE(sim.backup("8001", "admin"));

    EXPECT_FALSE(backup.Download("8001", "nobody", dir.file("x.bin")));
    EXPECT_EQ(backup.GetMessage(), "从服务器下载备份文件失败,请确认您是否已做过服务器备份!");

    session.loggedIn = false;
    EXPECT_FALSE(backup.UploadFile(file));
    EXPECT_EQ(backup.GetMessage(), "您尚未在线登录，不可以操作远程服务器备份！");
    EXPECT_FALSE(backup.Download("8001", "", dir.file("x.bin")));
    EXPECT_EQ(backup.GetMessage(), "您尚未在线登陆,不可以远程恢复数据!");
}

TEST_F(ServerBackupTest, AStalledTransferEnds)
{
    web.SetStallSeconds(1);
    const std::string file = writeFile("small.bin", "abc");
    const SimFault stall {SimFault::Kind::Delay, std::chrono::minutes(10), {}};
    sim.injectFault("UploadFile", stall);
    EXPECT_FALSE(backup.UploadFile(file));
    sim.clearFaults();
    ASSERT_TRUE(backup.UploadFile(file));
    sim.injectFault("DownloadBackup", stall);
    EXPECT_FALSE(backup.Download("8001", "", dir.file("x.bin")));
    sim.interruptWaits();
}

} // namespace
} // namespace telvora
