#include "tools/ShortMessageDlg.h"

#include "db/ADODataBase.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"
#include "tools/ToolFiles.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>

using namespace telvora;

namespace {

// A working database made from the template, and a dialog on it.
struct Fixture
{
    Fixture()
    {
        CopyDatabase(TELVORA_TEST_TEMPLATE_DIR "/SourceDB.db", temp.file("user.db"));
        database.Open(temp.file("user.db"));
        dialog = std::make_unique<CShortMessageDlg>(prompter, database);
    }

    QStringList phrases() const
    {
        QStringList texts;
        for (int i = 0; i < dialog->phraseList()->topLevelItemCount(); ++i) {
            texts.append(dialog->phraseList()->topLevelItem(i)->text(1));
        }
        return texts;
    }

    void addPhrase(const QString& group, const QString& text)
    {
        dialog->groupBox()->setCurrentText(group);
        dialog->contentEdit()->setPlainText(text);
        dialog->onAddClicked();
    }

    test::TempDir temp;
    CADODataBase database;
    ScriptedPrompter prompter;
    std::unique_ptr<CShortMessageDlg> dialog;
};

} // namespace

class ShortMessageDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void opensOnTheSentTexts();
    void addsPhrasesToTheChosenGroup();
    void counterCutsAt320Characters();
    void refusesWithoutSelection();
    void groupsAreCreatedRenamedAndDeleted();
    void chosenPhraseIsTrimmed();
    void importFilesUnderTheSheetName();
};

void ShortMessageDlgTest::opensOnTheSentTexts()
{
    Fixture f;
    QTreeWidget* tree = f.dialog->groupTree();
    QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("已发送短语"));
    QCOMPARE(tree->topLevelItem(1)->text(0), QStringLiteral("短信语分组"));
    QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
    QCOMPARE(f.dialog->groupBox()->currentText(), QStringLiteral("已发送短语"));
    QCOMPARE(f.dialog->counterLabel()->text(), QStringLiteral("字数：0"));
}

void ShortMessageDlgTest::addsPhrasesToTheChosenGroup()
{
    Fixture f;
    f.prompter.answerText(QStringLiteral("节日"));
    f.dialog->onNewGroup();
    f.dialog->titleEdit()->setText(QStringLiteral("It's"));
    f.addPhrase(QStringLiteral("节日"), QStringLiteral("Tom's day"));
    QCOMPARE(f.dialog->groupTree()->currentItem()->text(0), QStringLiteral("节日"));
    QCOMPARE(f.phrases(), QStringList {QStringLiteral("Tom's day")});
    QVERIFY(f.dialog->contentEdit()->toPlainText().isEmpty());

    // Selecting a phrase fills the editor; 修改 writes it back.
    f.dialog->phraseList()->setCurrentItem(f.dialog->phraseList()->topLevelItem(0));
    QCOMPARE(f.dialog->contentEdit()->toPlainText(), QStringLiteral("Tom's day"));
    QCOMPARE(f.dialog->titleEdit()->text(), QStringLiteral("It's"));
    f.dialog->contentEdit()->setPlainText(QStringLiteral("O'Neil"));
    f.dialog->onModifyClicked();
    QCOMPARE(f.phrases(), QStringList {QStringLiteral("O'Neil")});

    f.dialog->phraseList()->topLevelItem(0)->setSelected(true);
    f.dialog->onDeleteClicked();
    QVERIFY(f.phrases().isEmpty());
    f.dialog->selectGroup(QStringLiteral("节日"));
    QVERIFY(f.phrases().isEmpty());
}

void ShortMessageDlgTest::counterCutsAt320Characters()
{
    Fixture f;
    f.dialog->contentEdit()->setPlainText(QString(330, QChar(0x4E2D)));
    QCOMPARE(f.dialog->contentEdit()->toPlainText().size(), 320);
    QCOMPARE(f.dialog->counterLabel()->text(), QStringLiteral("字数：320"));
    f.dialog->contentEdit()->setPlainText(QStringLiteral("  你好 "));
    QCOMPARE(f.dialog->counterLabel()->text(), QStringLiteral("字数：2"));
}

void ShortMessageDlgTest::refusesWithoutSelection()
{
    Fixture f;
    f.dialog->onDeleteClicked();
    QCOMPARE(f.prompter.lastText(), QStringLiteral("请选择要删除的短语!"));
    f.dialog->onUseClicked();
    QCOMPARE(f.prompter.lastText(), QStringLiteral("请选择要插入的信息!"));
    QCOMPARE(f.dialog->result(), int(QDialog::Rejected));
}

void ShortMessageDlgTest::groupsAreCreatedRenamedAndDeleted()
{
    Fixture f;
    for (const char* name : {"问候", "祝福", "问候"}) {
        f.prompter.answerText(QString::fromUtf8(name));
        f.dialog->onNewGroup();
    }
    QCOMPARE(f.prompter.lastText(), QStringLiteral("已存在同名短语目录!"));
    QCOMPARE(f.dialog->groupTree()->topLevelItem(1)->childCount(), 2);
    f.addPhrase(QStringLiteral("问候"), QStringLiteral("早上好"));

    // A renamed group keeps its phrases and its place in the group box.
    QVERIFY(f.dialog->selectGroup(QStringLiteral("问候")));
    f.prompter.answerText(QStringLiteral("早安"));
    f.dialog->onRenameGroup();
    QCOMPARE(f.dialog->groupTree()->currentItem()->text(0), QStringLiteral("早安"));
    QCOMPARE(f.phrases(), QStringList {QStringLiteral("早上好")});
    QVERIFY(f.dialog->groupBox()->findText(QStringLiteral("早安")) >= 0);

    f.prompter.answerQuestion(false);
    f.dialog->onDeleteGroup();
    QCOMPARE(f.dialog->groupTree()->topLevelItem(1)->childCount(), 2);
    f.prompter.answerQuestion(true);
    f.dialog->onDeleteGroup();
    QCOMPARE(f.dialog->groupTree()->topLevelItem(1)->childCount(), 1);
    QVERIFY(!f.dialog->selectGroup(QStringLiteral("早安")));
}

void ShortMessageDlgTest::chosenPhraseIsTrimmed()
{
    Fixture f;
    f.addPhrase(QStringLiteral("已发送短语"), QStringLiteral("  会议改到三点  "));
    f.dialog->phraseList()->setCurrentItem(f.dialog->phraseList()->topLevelItem(0));
    f.dialog->onUseClicked();
    QCOMPARE(f.dialog->result(), int(QDialog::Accepted));
    QCOMPARE(f.dialog->chosenText(), QStringLiteral("会议改到三点"));
}

void ShortMessageDlgTest::importFilesUnderTheSheetName()
{
    Fixture f;
    const QString path = test::writeToolFile(f.temp, "节日.csv", "内容\n新年快乐\n端午安康\n");
    QSignalSpy finished(f.dialog.get(), &CShortMessageDlg::importFinished);
    f.prompter.answerOpenFile(path);
    f.dialog->onImportClicked();
    QVERIFY(finished.wait(30000));
    QTreeWidget* tree = f.dialog->groupTree();
    QCOMPARE(tree->topLevelItem(1)->childCount(), 1);
    QVERIFY(f.dialog->selectGroup(tree->topLevelItem(1)->child(0)->text(0)));
    QCOMPARE(f.phrases(), (QStringList {QStringLiteral("新年快乐"), QStringLiteral("端午安康")}));

    f.prompter.answerOpenFile(QStringLiteral("/nonexistent.xlsx"));
    f.dialog->onImportClicked();
    QVERIFY(finished.wait(30000));
    QVERIFY(!f.prompter.lastText().isEmpty());
}

QTEST_MAIN(ShortMessageDlgTest)
#include "ShortMessageDlgTest.moc"
