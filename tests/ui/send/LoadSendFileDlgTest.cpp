#include "send/LoadSendFileDlg.h"

#include "SendViewFixture.h"
#include "SmsSimulator.h"
#include "core/contacts/XlsxFixture.h"
#include "service/ServiceClient.h"
#include "service/WebClient.h"
#include "widgets/ReportView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <map>

using namespace telvora;
using test::SendViewFixture;

namespace {

constexpr int kLoadWaitMs = 120000;

// Opens "加载文件"; loadThroughDialog then picks the file through the scripted file
// dialog and waits for the dialog to finish reading it.
CLoadSendFileDlg* openLoadDialog(SendViewFixture& f)
{
    CLoadSendFileDlg* dialog = nullptr;
    QObject context;
    QObject::connect(f.view.get(), &CSMSSendView::loadDialogOpened, &context,
        [&dialog](CLoadSendFileDlg* opened) { dialog = opened; });
    f.view->button("加载文件")->click();
    return dialog;
}

CLoadSendFileDlg* loadThroughDialog(SendViewFixture& f, const QString& path)
{
    CLoadSendFileDlg* dialog = openLoadDialog(f);
    if (!dialog)
        return nullptr;
    f.prompter.answerOpenFile(path);
    QSignalSpy finished(dialog, &CLoadSendFileDlg::loadingFinished);
    dialog->onBrowseClicked();
    return finished.wait(kLoadWaitMs) ? dialog : nullptr;
}

QByteArray numberLines(int count)
{
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += QByteArray::number(13800000000LL + i) + "\n";
    return text;
}

} // namespace

class LoadSendFileDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void filesWithoutNumbers_data();
    void filesWithoutNumbers();
    void loadsSpreadsheetColumnOrEverywhere_data();
    void loadsSpreadsheetColumnOrEverywhere();
    void largeFileLoadsOffTheUiThread();
    void sendsEveryNumberOnceThroughTheSimulator();
};

void LoadSendFileDlgTest::filesWithoutNumbers_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("invalid numbers") << "bad.txt" << QByteArray("1391234567a\n14912345678\n139123\n")
                                     << "该文件没有找到可以加载的手机号码!";
    QTest::newRow("damaged xlsx") << "bad.xlsx" << QByteArray("PK\x03\x04 not really", 16) << "打开加载文件[%1]失败!";
}

void LoadSendFileDlgTest::filesWithoutNumbers()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    SendViewFixture f;
    const QString path = f.file(name, bytes);
    CLoadSendFileDlg* dialog = loadThroughDialog(f, path);
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->result(), 0);
    QCOMPARE(f.prompter.lastText(), expected.contains("%1") ? expected.arg(path) : expected);
    QCOMPARE(f.view->listView()->rowCount(), 0);
    dialog->reject();
}

void LoadSendFileDlgTest::loadsSpreadsheetColumnOrEverywhere_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("smart");
    QTest::addColumn<int>("found");
    QTest::newRow("column B") << 1 << false << 1;
    QTest::newRow("column I: nothing") << 8 << false << 0;
    QTest::newRow("smart search") << 0 << true << 4;
}

void LoadSendFileDlgTest::loadsSpreadsheetColumnOrEverywhere()
{
    QFETCH(int, column);
    QFETCH(bool, smart);
    QFETCH(int, found);
    SendViewFixture f;
    const std::string path = f.temp.file("numbers.xlsx");
    {
        test::XlsxFixture book(path);
        book.sheet("s").text(0, 0, "手机").text(0, 1, "备用");
        book.number(1, 0, 13912345678.0).text(1, 1, " 13012345678 ");
        book.text(2, 0, "18912345678").text(2, 3, "15012345678").text(3, 1, "1391234567");
    }
    CLoadSendFileDlg* dialog = openLoadDialog(f);
    QVERIFY(dialog);
    dialog->findChildren<QComboBox*>().at(1)->setCurrentIndex(column);
    dialog->findChildren<QCheckBox*>().at(1)->setChecked(smart);
    QSignalSpy finished(dialog, &CLoadSendFileDlg::loadingFinished);
    dialog->startLoading(QString::fromStdString(path));
    QVERIFY(finished.wait(kLoadWaitMs));
    if (found == 0) {
        QCOMPARE(f.prompter.lastText(), QStringLiteral("该文件没有找到可以加载的手机号码!"));
        QCOMPARE(f.view->listView()->rowCount(), 0);
        dialog->reject();
        return;
    }
    QTRY_COMPARE(f.view->listView()->rowCount(), 1);
    QCOMPARE(f.view->listView()->cell(0, 3), QString::number(found));
}

void LoadSendFileDlgTest::largeFileLoadsOffTheUiThread()
{
    SendViewFixture f;
    const QString path = f.file("million.txt", numberLines(1000000));
    // Closing the dialog half-way stops the reading and lists nothing.
    CLoadSendFileDlg* dialog = openLoadDialog(f);
    QVERIFY(dialog);
    dialog->startLoading(path);
    QVERIFY(dialog->isLoading());
    dialog->reject();
    QVERIFY(!dialog->isLoading());
    QCoreApplication::processEvents();
    QCOMPARE(f.view->listView()->rowCount(), 0);
    QCOMPARE(f.prompter.shown().size(), 0);

    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&ticks]() { ++ticks; });
    ticker.start(0);
    dialog = openLoadDialog(f);
    QVERIFY(dialog);
    QSignalSpy progress(dialog, &CLoadSendFileDlg::progressChanged);
    QSignalSpy finished(dialog, &CLoadSendFileDlg::loadingFinished);
    f.prompter.answerOpenFile(path);
    dialog->onBrowseClicked();
    QVERIFY(dialog->isLoading());
    const int ticksAtStart = ticks;
    QVERIFY(finished.wait(kLoadWaitMs));
    // The event loop ran while the file was read, and the bar moved.
    QVERIFY(ticks > ticksAtStart);
    QVERIFY(!progress.isEmpty());
    QTRY_COMPARE(f.view->listView()->rowCount(), 1);
    QCOMPARE(f.view->listView()->row(0).cells, QStringList({"1", "文件加载", "未发送", "1000000", path}));
    QCOMPARE(f.prompter.lastText(), QStringLiteral("您已成功加载[1000000]个手机号码!"));
    QCOMPARE(f.view->totalLabel()->text(), QStringLiteral("合计[1000000]"));
}

void LoadSendFileDlgTest::sendsEveryNumberOnceThroughTheSimulator()
{
    SmsSimulator simulator;
    SimAccount account;
    account.account = "acme";
    account.stock = 1000;
    simulator.addAccount(account);
    QVERIFY(simulator.start());
    CWebClient web;
    CServiceClient service(web, simulator.address());

    SendViewFixture f(MakeServiceCall(service));
    std::string reply;
    QVERIFY(service.CallService("UserLogin", "UserID=acme&Account=admin&Password=123456", reply, false));
    ParseLoginReply(reply, f.session);
    QVERIFY(f.session.loggedIn);

    f.view->numberBox()->setEditText("13912345678");
    QTest::keyClick(f.view->numberBox()->lineEdit(), Qt::Key_Return);
    f.view->numberBox()->setEditText("18012345678");
    QTest::keyClick(f.view->numberBox()->lineEdit(), Qt::Key_Return);
    // The file repeats a typed number; the hand-over repeats a file number.
    QVERIFY(loadThroughDialog(f, f.file("list.txt", "13912345678\n15012345678\n13012345678\n")));
    QTRY_COMPARE(f.view->listView()->rowCount(), 3);
    f.handOver.handOverRecipients({"15012345678", "17712345678"}, {1, 0, 1});
    f.handOver.handOverNumber("18612345678");
    f.hints.broadcast(HintBroadcaster::NumbersHandedOver);
    QCOMPARE(f.view->listView()->rowCount(), 5);

    QSignalSpy completed(&f.relay, &CSendProgressAdapter::finished);
    f.view->messageEdit()->setPlainText("周末特惠 & 欢迎光临");
    f.view->nameCheck()->setChecked(false);
    f.view->button("发送")->click();
    QCOMPARE(f.prompter.unexpectedQuestions(), 0);
    QCOMPARE(f.view->listView()->rowCount(), 0);
    QVERIFY(!f.view->timedCheck()->isChecked());
    QCOMPARE(f.frame.status, QStringLiteral("短信正在发送，请不要退出软件!"));
    QVERIFY(completed.wait(kLoadWaitMs));

    std::map<std::string, int> received;
    for (const SimJob& job : simulator.jobs()) {
        for (const SimMessage& message : job.messages) {
            ++received[message.phone];
            QVERIFY(QString::fromStdString(message.text).startsWith(QStringLiteral("周末特惠 ＆ 欢迎光临")));
        }
    }
    const std::map<std::string, int> expected {{"13012345678", 1}, {"13912345678", 1}, {"15012345678", 1},
        {"17712345678", 1}, {"18012345678", 1}, {"18612345678", 1}};
    QCOMPARE(received, expected);
    simulator.stop();
}

QTEST_MAIN(LoadSendFileDlgTest)
#include "LoadSendFileDlgTest.moc"
