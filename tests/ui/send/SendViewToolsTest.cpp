#include "send/SendViewFixture.h"
#include "tools/PhoneDivisionDlg.h"
#include "tools/ShortMessageDlg.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>

using namespace telvora;
using test::SendViewFixture;

namespace {

void typeNumbers(SendViewFixture& f, const QStringList& numbers)
{
    for (const QString& number : numbers) {
        f.view->numberBox()->setEditText(number);
        f.view->onNumberEntered();
    }
}

// Presses the button and returns the dialog it opened.
template <typename Dialog> Dialog* openedBy(SendViewFixture& f, const QString& caption)
{
    QSignalSpy opened(f.view.get(), &CSMSSendView::toolDialogOpened);
    f.view->button(caption)->click();
    return opened.isEmpty() ? nullptr : qobject_cast<Dialog*>(opened.first().first().value<QDialog*>());
}

} // namespace

class SendViewToolsTest : public QObject
{
    Q_OBJECT

private slots:
    void splitOnAnEmptyListIsRefused();
    void splitKeepsTheNamedRegion_data();
    void splitKeepsTheNamedRegion();
    void insertedPhraseGoesAtTheEnd();
};

void SendViewToolsTest::splitOnAnEmptyListIsRefused()
{
    SendViewFixture f;
    f.view->button(QStringLiteral("号码分离"))->click();
    QCOMPARE(f.prompter.lastText(), QStringLiteral("发送列表为空,请先添加需要发送的号码!"));
}

void SendViewToolsTest::splitKeepsTheNamedRegion_data()
{
    QTest::addColumn<bool>("extract");
    QTest::addColumn<bool>("confirmClear");
    QTest::addColumn<QString>("question");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("total");
    QTest::newRow("extract") << true << true
                             << "从当前发送列表提取到属于 [广东] 的号码有 [1] 个，是否更新当前发送例表？" << 1
                             << "合计[1]";
    QTest::newRow("remove") << false << true
                            << "从当前发送列表分离属于 [广东] 的号码后剩余有 [2] 个，是否更新当前发送例表？" << 1
                            << "合计[2]";
    QTest::newRow("clear cancelled keeps the list")
        << true << false << "从当前发送列表提取到属于 [广东] 的号码有 [1] 个，是否更新当前发送例表？" << 3 << "合计[3]";
}

void SendViewToolsTest::splitKeepsTheNamedRegion()
{
    QFETCH(bool, extract);
    QFETCH(bool, confirmClear);
    QFETCH(QString, question);
    QFETCH(int, rows);
    QFETCH(QString, total);
    SendViewFixture f;
    typeNumbers(f, {QStringLiteral("13800138000"), QStringLiteral("13410012345"), QStringLiteral("19912345678")});
    auto* dialog = openedBy<CPhoneDivisionDlg>(f, QStringLiteral("号码分离"));
    QVERIFY(dialog);
    dialog->modeButton(extract ? DivisionMode::Extract : DivisionMode::Remove)->setChecked(true);
    (extract ? dialog->extractEdit() : dialog->removeEdit())->setText(QStringLiteral("广东"));
    f.prompter.answerQuestion(true);
    f.prompter.answerQuestion(confirmClear);
    dialog->onStartClicked();
    QCOMPARE(f.prompter.texts().value(f.prompter.texts().size() - 2), question);
    QCOMPARE(f.prompter.lastText(), QStringLiteral("您确认要清除所有添加的手机号码？"));
    QCOMPARE(static_cast<int>(f.view->sendList().rows().size()), rows);
    QCOMPARE(f.view->totalLabel()->text(), total);
    if (confirmClear) {
        QCOMPARE(f.view->sendList().rows().front().resource, std::string(extract ? "号码提取" : "号码分离"));
    }
}

void SendViewToolsTest::insertedPhraseGoesAtTheEnd()
{
    SendViewFixture f;
    f.view->messageEdit()->setPlainText(QStringLiteral("您好，"));
    auto* dialog = openedBy<CShortMessageDlg>(f, QStringLiteral("插入短语"));
    QVERIFY(dialog);
    dialog->contentEdit()->setPlainText(QStringLiteral("明天见"));
    dialog->onAddClicked();
    dialog->phraseList()->setCurrentItem(dialog->phraseList()->topLevelItem(0));
    dialog->onUseClicked();
    QCOMPARE(f.view->messageEdit()->toPlainText(), QStringLiteral("您好，明天见"));
}

QTEST_MAIN(SendViewToolsTest)
#include "SendViewToolsTest.moc"
