#include "tools/PhraseLibrary.h"

#include "ToolsFixture.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

class PhraseLibraryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CopyDatabase(test::builtFile("SourceDB.db"), m_temp.file("user.db")));
        ASSERT_TRUE(m_database.Open(m_temp.file("user.db")));
    }

    std::vector<std::string> messages(std::string_view group)
    {
        std::vector<std::string> texts;
        for (const Phrase& phrase : m_library.ListPhrases(group)) {
            texts.push_back(phrase.message);
        }
        return texts;
    }

    std::vector<std::string> groups()
    {
        std::vector<std::string> names;
        for (const PhraseGroup& group : m_library.ListGroups()) {
            names.push_back(group.name);
        }
        return names;
    }

    test::TempDir m_temp;
    CADODataBase m_database;
    CPhraseLibrary m_library {m_database};
};

TEST_F(PhraseLibraryTest, PhrasesKeepApostrophesAndRefuseEmptyContent)
{
    int id = 0;
    ASSERT_TRUE(m_library.AddGroup("节日", id));
    ASSERT_TRUE(m_library.AddPhrase("It's", "Tom's day", "节日"));
    EXPECT_FALSE(m_library.AddPhrase("t", "   ", "节日"));
    EXPECT_EQ(m_library.GetMessage(), "短语内容不能为空!");
    const std::vector<Phrase> phrases = m_library.ListPhrases("节日");
    ASSERT_EQ(phrases.size(), 1u);
    EXPECT_EQ(phrases[0].title, "It's");
    EXPECT_EQ(phrases[0].message, "Tom's day");

    ASSERT_TRUE(m_library.ModifyPhrase(phrases[0].id, "t", "O'Neil", "节日"));
    EXPECT_FALSE(m_library.ModifyPhrase(phrases[0].id, "t", "", "节日"));
    EXPECT_EQ(messages("节日"), (std::vector<std::string> {"O'Neil"}));
    ASSERT_TRUE(m_library.DeletePhrase(phrases[0].id));
    EXPECT_TRUE(messages("节日").empty());
}

TEST_F(PhraseLibraryTest, GroupsRefuseTakenNamesAndTakeTheirPhrasesAlong)
{
    int first = 0;
    int second = 0;
    ASSERT_TRUE(m_library.AddGroup("问候", first));
    ASSERT_TRUE(m_library.AddGroup("Bob's", second));
    EXPECT_GT(second, first);
    EXPECT_FALSE(m_library.AddGroup("问候", first));
    EXPECT_EQ(m_library.GetMessage(), "已存在同名短语目录!");
    ASSERT_TRUE(m_library.AddPhrase("", "早上好", "问候"));
    ASSERT_TRUE(m_library.AddPhrase("", "晚上好", "问候"));

    EXPECT_FALSE(m_library.RenameGroup(first, "问候", "Bob's"));
    EXPECT_EQ(m_library.GetMessage(), "已存在同名短语目录!");
    EXPECT_EQ(messages("问候").size(), 2u);

    ASSERT_TRUE(m_library.RenameGroup(first, "问候", "祝福"));
    EXPECT_EQ(messages("祝福"), (std::vector<std::string> {"早上好", "晚上好"}));
    EXPECT_TRUE(messages("问候").empty());

    ASSERT_TRUE(m_library.DeleteGroup(first, "祝福"));
    EXPECT_TRUE(messages("祝福").empty());
    EXPECT_EQ(groups(), (std::vector<std::string> {"Bob's"}));
}

TEST_F(PhraseLibraryTest, ImportFilesRowsUnderTheSheetName)
{
    // A csv workbook has one sheet, named after the file.
    test::writeText(m_temp.file("节日.csv"), "内容\n新年快乐\n\n  \n端午安康,x\n");
    std::size_t imported = 0;
    std::vector<std::size_t> steps;
    ASSERT_TRUE(m_library.ImportSpreadsheet(m_temp.file("节日.csv"), imported, [&steps](std::size_t done, std::size_t) {
        steps.push_back(done);
    })) << m_library.GetMessage();
    EXPECT_EQ(imported, 2u);
    EXPECT_EQ(steps.back(), 4u);
    const std::vector<std::string> names = groups();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(messages(names[0]), (std::vector<std::string> {"新年快乐", "端午安康"}));
    EXPECT_EQ(m_library.ListPhrases(names[0])[0].title, "短信语");

    EXPECT_FALSE(m_library.ImportSpreadsheet(m_temp.file("absent.xlsx"), imported));
    EXPECT_FALSE(m_library.GetMessage().empty());
}

} // namespace
} // namespace telvora
