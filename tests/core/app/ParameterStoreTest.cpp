#include "app/ParameterStore.h"

#include "core/app/AppTestSupport.h"

#include <fstream>
#include <gtest/gtest.h>

namespace telvora {
namespace {

class ParameterStoreTest : public test::WorkDatabaseTest
{
protected:
    std::string stored(const std::string& key)
    {
        return test::scalar(db(), "SELECT para_value FROM tbl_sys_param WHERE para_name = '" + key + "'");
    }

    CParameterStore m_store;
};

TEST_F(ParameterStoreTest, LoadReplacesEverythingWithTableAndSetupFileKeys)
{
    m_store.Set("Stale", "x");
    std::ofstream(m_temp.file("ClientSetup.ini")) << "[section]\nIsRemainStock=1\nRemainAmount=250\n";
    ASSERT_TRUE(m_store.Load(db(), m_app.GetSetupFile()));
    EXPECT_FALSE(m_store.Contains("Stale"));
    EXPECT_EQ("30", m_store["SaveMaxDay"]);
    EXPECT_EQ("1", m_store["IsRemainStock"]);
    EXPECT_EQ("250", m_store["RemainAmount"]);

    std::ofstream(m_temp.file("ClientSetup.ini")) << "[section]\nRemainAmount=\n";
    ASSERT_TRUE(m_store.Load(db(), m_app.GetSetupFile()));
    EXPECT_EQ("", m_store.Get("IsRemainStock")) << "the setup file decides, even when absent";
    EXPECT_EQ("1000", m_store.Get("RemainAmount"));
}

TEST_F(ParameterStoreTest, SaveAllWritesEveryKnownKeyAndTheSetupFile)
{
    ASSERT_TRUE(m_store.Load(db(), m_app.GetSetupFile()));
    m_store.Set("SaveMaxDay", "45");
    m_store.Set("SMSTail", "【O'Neil's】");
    m_store.Set("IsRemainStock", "1");
    m_store.Set("RemainAmount", "300");
    ASSERT_TRUE(m_store.SaveAll(db(), m_app.GetSetupFile())) << m_store.GetLastError();

    EXPECT_EQ("45", stored("SaveMaxDay"));
    EXPECT_EQ("【O'Neil's】", stored("SMSTail"));
    EXPECT_EQ("1", m_app.GetSetupFile().GetString("section", "IsRemainStock"));
    EXPECT_EQ("300", m_app.GetSetupFile().GetString("section", "RemainAmount"));

    CParameterStore reloaded;
    ASSERT_TRUE(reloaded.Load(db(), m_app.GetSetupFile()));
    EXPECT_EQ(m_store.Entries(), reloaded.Entries());

    EXPECT_EQ("", m_store["NoSuchKey"]);
    m_store.Set("NoSuchKey", "wiped");
    m_store.Set("x' OR '1'='1", "wiped");
    ASSERT_TRUE(m_store.SaveAll(db(), m_app.GetSetupFile())) << m_store.GetLastError();
    EXPECT_EQ("0", test::scalar(db(), "SELECT COUNT(*) FROM tbl_sys_param WHERE para_value = 'wiped'"))
        << "unknown keys are never stored nor break the statement";
    EXPECT_EQ("", m_app.GetSetupFile().GetString("section", "NoSuchKey"));
}

TEST_F(ParameterStoreTest, FailedSaveLeavesTheTableAsItWasAndFailedLoadIsReported)
{
    ASSERT_TRUE(m_store.Load(db(), m_app.GetSetupFile()));
    m_store.Set("AddSMSTail", "1");
    ASSERT_TRUE(db().Execute("CREATE TRIGGER refuse BEFORE UPDATE ON tbl_sys_param WHEN NEW.para_name = 'SaveMaxDay' "
                             "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    EXPECT_FALSE(m_store.SaveAll(db(), m_app.GetSetupFile()));
    EXPECT_FALSE(m_store.GetLastError().empty());
    EXPECT_EQ("0", stored("AddSMSTail")) << "written before the failing key, rolled back";
    ASSERT_TRUE(db().Execute("DROP TABLE tbl_sys_param"));
    EXPECT_FALSE(m_store.Load(db(), m_app.GetSetupFile()));
    EXPECT_EQ("1000", m_store.Get("RemainAmount")) << "an unreadable table leaves the defaults";
}

} // namespace
} // namespace telvora
