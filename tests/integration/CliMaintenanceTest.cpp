#include "CliHarness.h"

namespace telvora::test {
namespace {

class CliMaintenance : public CliHarness
{
protected:
    void SetUp() override
    {
        CliHarness::SetUp();
        ASSERT_EQ(run(loggedIn("login")).exitCode, 0);
        for (const char* sql : {"INSERT INTO tbl_card (id, phone, name) VALUES (1, '13900000001', '张三')",
                 "INSERT INTO tbl_message (Title, Message) VALUES ('问候', '您好')",
                 "INSERT INTO tbl_calendar_task (Name) VALUES ('回访')"}) {
            ASSERT_EQ(execute(sql), "");
        }
    }

    // Row counts of the tables of every group.
    std::string counts()
    {
        return query("SELECT (SELECT COUNT(*) FROM tbl_card) || '/' || (SELECT COUNT(*) FROM tbl_sendsms) || '/'"
                     " || (SELECT COUNT(*) FROM tbl_sendsms_detail) || '/' || (SELECT COUNT(*) FROM tbl_message)"
                     " || '/' || (SELECT COUNT(*) FROM tbl_calendar_task)");
    }
};

TEST_F(CliMaintenance, RestoresEachGroupFromBackupsMadeBeforeAndAfterASend)
{
    const std::string before = work.file("before.db");
    ASSERT_EQ(run({"backup", "--user", "admin", before}).exitCode, 0);
    ASSERT_EQ(send({"--text", "hello", "13900000001", "13900000002"}).exitCode, 0);
    const std::string after = work.file("after.db");
    const CliResult backup = run({"backup", after}); // the user of the last login
    ASSERT_EQ(backup.exitCode, 0) << backup.err;
    ASSERT_EQ(execute("DELETE FROM tbl_card"), "");
    ASSERT_EQ(execute("DELETE FROM tbl_message"), "");
    EXPECT_EQ(counts(), "0/1/2/0/1");

    CliResult restored = run({"restore", before, "--groups", "records"});
    ASSERT_EQ(restored.exitCode, 0) << restored.err;
    EXPECT_EQ(restored.out, "tbl_sendsms=0\ntbl_sendsms_detail=0\ntbl_sms_recive=0\n数据资料恢复成功!\n");
    EXPECT_EQ(counts(), "0/0/0/0/1");

    restored = run({"restore", after, "--groups", "calendar,phrases,records,cards"});
    ASSERT_EQ(restored.exitCode, 0) << restored.err;
    EXPECT_EQ(restored.value("tbl_card"), "1");
    EXPECT_EQ(restored.value("tbl_sendsms_detail"), "2");
    EXPECT_EQ(counts(), "1/1/2/2/1"); // the send kept its text as a phrase
    EXPECT_EQ(query("SELECT name FROM tbl_card WHERE phone = '13900000001'"), "张三");

    restored = run({"restore", before}); // cards by default
    ASSERT_EQ(restored.exitCode, 0) << restored.err;
    EXPECT_EQ(restored.value("tbl_card"), "1");
    EXPECT_EQ(run({"compact"}).exitCode, 0);
    EXPECT_EQ(query("PRAGMA integrity_check"), "ok");
}

TEST_F(CliMaintenance, ForeignOrDamagedBackupsAreRefusedAndChangeNothing)
{
    const std::string good = work.file("good.db");
    ASSERT_EQ(run({"backup", good}).exitCode, 0);
    std::string bytes = readFile(good);
    bytes.resize(bytes.size() - 4096 - 10);
    const std::string cut = work.file("cut.db");
    std::ofstream(cut, std::ios::binary) << bytes;
    const std::string text = work.file("cards.db");
    std::ofstream(text, std::ios::binary) << "13900000001,张三\n";
    const std::string before = counts();

    for (const std::string& file : {cut, text, work.file("missing.db")}) {
        const CliResult result = run({"restore", file, "--groups", "cards,records"});
        EXPECT_EQ(result.exitCode, 2) << file << result.err;
        EXPECT_EQ(result.err.find("无法打开恢复的数据库!"), 0u) << result.err;
        EXPECT_EQ(counts(), before);
    }
    EXPECT_EQ(run({"restore", good, "--groups", "cards,letters"}).exitCode, 2);
    EXPECT_EQ(run({"restore", "--user", "nobody", good}).exitCode, 3);
}

} // namespace
} // namespace telvora::test
