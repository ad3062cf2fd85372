#include "tools/DigGetPhone.h"

#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"
#include "tools/ToolFiles.h"

#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

using namespace telvora;

namespace {

constexpr int kWaitMs = 30000;

} // namespace

class DigGetPhoneTest : public QObject
{
    Q_OBJECT

private slots:
    void extractsWhatWasNotSentAndAppends();
    void unwritableFileKeepsTheDialogOpen();
    void missingFileIsReported();
};

void DigGetPhoneTest::extractsWhatWasNotSentAndAppends()
{
    test::TempDir temp;
    const QString all = test::writeToolFile(temp, "all.txt", "13900000002\n13900000001\n13900000001\n123\n");
    const QString sent = test::writeToolFile(temp, "sent.txt", "13900000001\n");
    const QString out = test::writeToolFile(temp, "out.txt", "old\n");
    ScriptedPrompter prompter;
    CDigGetPhone dialog(prompter);
    QSignalSpy finished(&dialog, &CDigGetPhone::workFinished);
    prompter.answerOpenFile(all);
    dialog.onLoadAllClicked();
    QVERIFY(finished.wait(kWaitMs));
    prompter.answerOpenFile(sent);
    dialog.onLoadSentClicked();
    QVERIFY(finished.wait(kWaitMs));
    QCOMPARE(dialog.allPathEdit()->text(), all);
    QCOMPARE(dialog.sentPathEdit()->text(), sent);

    prompter.answerSaveFile(out);
    dialog.onExtractClicked();
    QVERIFY(finished.wait(kWaitMs));
    QCOMPARE(prompter.fileDialogs().last().request.path, QStringLiteral("未发送号码取提.txt"));
    QCOMPARE(test::readToolFile(out), QByteArray("old\n13900000001\n13900000002\n"));
    QCOMPARE(prompter.lastText(), QStringLiteral("提取手机号码列表完成!"));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void DigGetPhoneTest::unwritableFileKeepsTheDialogOpen()
{
    test::TempDir temp;
    ScriptedPrompter prompter;
    CDigGetPhone dialog(prompter);
    dialog.show();
    QSignalSpy finished(&dialog, &CDigGetPhone::workFinished);
    prompter.answerSaveFile(QString::fromStdString(temp.file("no/such/dir.txt")));
    dialog.onExtractClicked();
    QVERIFY(finished.wait(kWaitMs));
    QCOMPARE(prompter.lastText(), QStringLiteral("创建导出文件失败!"));
    QVERIFY(dialog.isVisible());

    // A cancelled save dialog still closes the tool.
    dialog.onExtractClicked();
    QVERIFY(finished.wait(kWaitMs));
    QVERIFY(!dialog.isVisible());
}

void DigGetPhoneTest::missingFileIsReported()
{
    ScriptedPrompter prompter;
    CDigGetPhone dialog(prompter);
    QSignalSpy finished(&dialog, &CDigGetPhone::workFinished);
    prompter.answerOpenFile(QStringLiteral("/nonexistent/all.txt"));
    dialog.onLoadAllClicked();
    QVERIFY(finished.wait(kWaitMs));
    QCOMPARE(prompter.lastText(), QStringLiteral("打开加载文件[/nonexistent/all.txt]失败!"));
    QVERIFY(dialog.extraction().GetList(CUnsentExtraction::List::All).empty());
}

QTEST_MAIN(DigGetPhoneTest)
#include "DigGetPhoneTest.moc"
