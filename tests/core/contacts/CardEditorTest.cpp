#include "contacts/CardEditor.h"

#include "CardTestSupport.h"
#include "contacts/FieldCatalogue.h"

#include <gtest/gtest.h>

namespace telvora {
namespace {

class CardEditorTest : public test::CardDatabaseTest
{
protected:
    void SetUp() override
    {
        CardDatabaseTest::SetUp();
        folder(1, "A");
        ASSERT_TRUE(m_catalogue.SetActive(16, true));
        ASSERT_TRUE(m_catalogue.SetActive(24, true));
        for (const CardField& field : m_catalogue.Load(true)) {
            if (field.isCustom())
                m_custom.push_back(field);
        }
    }
    CardData newCard(const std::string& phone)
    {
        CardData card;
        card.phone = phone;
        card.folderId = 1;
        return card;
    }

    CFieldCatalogue m_catalogue {db()};
    std::vector<CardField> m_custom;
    CCardEditor m_editor {db(), m_app.GetNextCardId()};
};

TEST_F(CardEditorTest, TextsKeepEveryCharacterAndEmptyDatesAreNull)
{
    CardData card = newCard(" 13800138000 ");
    card.name = "O'Neil \"Bob\" 100% 😀";
    card.memos = "line'1\nline 2";
    card.custom["custom1"] = "it's";
    card.custom["custom9"] = "1900-01-01";
    long id = 0;
    ASSERT_EQ(m_editor.Insert(card, m_custom, id), CCardEditor::Result::Saved) << m_editor.GetLastError();
    EXPECT_EQ(id, 1);
    EXPECT_EQ(query("SELECT phone FROM tbl_card"), "13800138000");
    EXPECT_EQ(query("SELECT birtyday IS NULL AND custom9 IS NULL AND create_date IS NOT NULL FROM tbl_card"), "1");
    EXPECT_EQ(query("SELECT status || sex || isll FROM tbl_card"), "订阅男0");

    CardData loaded;
    ASSERT_TRUE(m_editor.Load(id, m_custom, loaded));
    EXPECT_EQ(loaded.name, card.name);
    EXPECT_EQ(loaded.memos, card.memos);
    EXPECT_EQ(loaded.custom["custom1"], "it's");
    EXPECT_EQ(loaded.custom["custom9"], "");
    EXPECT_FALSE(loaded.birthday.valid);

    loaded.birthday = DateTime::fromFields(1990, 5, 3);
    loaded.lunarBirthday = true;
    loaded.sex = "女";
    loaded.custom["custom9"] = "2026-12-06";
    loaded.folderId = 99;
    ASSERT_EQ(m_editor.Update(id, loaded, m_custom), CCardEditor::Result::Saved);
    EXPECT_EQ(query("SELECT birtyday || '|' || custom9 || '|' || isll || sex || folder_id FROM tbl_card"),
        "1990-05-03 00:00:00|2026-12-06 00:00:00|1女1")
        << "editing leaves the folder";
}

TEST_F(CardEditorTest, RefusesBadAndRepeatedNumbers)
{
    long id = 0;
    EXPECT_EQ(m_editor.Insert(newCard("1380013800"), m_custom, id), CCardEditor::Result::InvalidPhone);
    EXPECT_EQ(m_editor.Insert(newCard("13800138000"), m_custom, id), CCardEditor::Result::Saved);
    const long first = id;
    EXPECT_EQ(m_editor.Insert(newCard("13800138000"), m_custom, id), CCardEditor::Result::Failed);
    EXPECT_EQ(m_editor.Insert(newCard("13900139000"), m_custom, id), CCardEditor::Result::Saved);
    EXPECT_EQ(id, first + 2) << "the failed insert used an id up";
    EXPECT_EQ(m_editor.Update(id, newCard("13800138000"), m_custom), CCardEditor::Result::Failed);
    EXPECT_EQ(query("SELECT COUNT(*) FROM tbl_card"), "2");
}

TEST(CardEditorTitle, AutomaticFormOfAddress)
{
    EXPECT_EQ(CCardEditor::AutoTitle("王芳", "女"), "王小姐");
    EXPECT_EQ(CCardEditor::AutoTitle("王芳", "男"), "王先生");
    EXPECT_EQ(CCardEditor::AutoTitle("Li", "男"), "L先生");
    EXPECT_EQ(CCardEditor::AutoTitle("", "男"), "");
}

TEST_F(CardEditorTest, CatalogueKeepsSystemFieldsAndThePhoneColumn)
{
    EXPECT_FALSE(m_catalogue.SetActive(15, false));
    EXPECT_FALSE(m_catalogue.SetShown(1, false));
    EXPECT_TRUE(m_catalogue.SetShown(2, false));
    EXPECT_TRUE(m_catalogue.SetCaption(16, "客户\"等级\" [A]"));
    EXPECT_TRUE(m_catalogue.SetShown(16, true));
    const auto list = m_catalogue.ListFields();
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.front().fieldName, "phone");
    EXPECT_EQ(list.back().caption, "客户\"等级\" [A]");
    EXPECT_TRUE(std::none_of(list.begin(), list.end(), [](const CardField& f) { return f.fieldName == "name"; }));

    ASSERT_TRUE(m_catalogue.SetActive(16, false));
    const auto inactive = m_catalogue.ListFields();
    EXPECT_TRUE(std::none_of(inactive.begin(), inactive.end(), [](const CardField& f) { return f.id == 16; }));
}

} // namespace
} // namespace telvora
