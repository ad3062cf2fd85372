#include "SendViewFixture.h"
#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "send/SMSTestDlg.h"
#include "widgets/ReportView.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <future>

using namespace telvora;
using test::SendViewFixture;

namespace {

void typeNumber(CSMSSendView& view, const QString& number)
{
    view.numberBox()->setEditText(number);
    QTest::keyClick(view.numberBox()->lineEdit(), Qt::Key_Return);
}

// The four labels, checked against the sums over the rows of the grid.
void checkCountersMatchRows(const CSMSSendView& view)
{
    CarrierCounts sum;
    std::size_t total = 0;
    for (const CSendList::Row& row : view.sendList().rows()) {
        total += row.count;
        CarrierCounts one;
        if (row.key == 0)
            one.add(ClassifyMobileNumber(row.resource));
        const CarrierCounts& counts = row.key == 0 ? one : view.sendList().sources().at(row.key).counts;
        sum.mobile += counts.mobile;
        sum.unicom += counts.unicom;
        sum.telecom += counts.telecom;
    }
    QCOMPARE(view.listView()->rowCount(), static_cast<int>(view.sendList().rows().size()));
    QCOMPARE(view.mobileLabel()->text(), QStringLiteral("移动[%1]").arg(sum.mobile));
    QCOMPARE(view.unicomLabel()->text(), QStringLiteral("联通[%1]").arg(sum.unicom));
    QCOMPARE(view.telecomLabel()->text(), QStringLiteral("电信[%1]").arg(sum.telecom));
    QCOMPARE(view.totalLabel()->text(), QStringLiteral("合计[%1]").arg(total));
}

void clear(const CSMSSendView& view, const QString& text)
{
    for (QAction* action : view.clearMenu()->actions()) {
        if (action->text() == text)
            action->trigger();
    }
}

int storedNumbers(CAppContext& app)
{
    CADORecordset records(&app.GetDatabase());
    records.Open("SELECT COUNT(*) FROM tbl_inputphone");
    int count = -1;
    records.GetFieldValue(0, count);
    return count;
}

} // namespace

class SMSSendViewTest : public QObject
{
    Q_OBJECT

private slots:
    void typedNumber_data();
    void typedNumber();
    void duplicateTypedNumberIsRefused();
    void countersFollowAddsDeletesAndClears();
    void longContentIsCut_data();
    void longContentIsCut();
    void refusals_data();
    void refusals();
    void multiSegmentAsksFirst();
    void busyEngineRefusesNewSends();
    void optedOutNumbersAreAnnounced();
    void exportWritesTheFileChosen();
};

void SMSSendViewTest::typedNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("rows");
    QTest::newRow("valid mobile") << "13912345678" << 1;
    QTest::newRow("unknown prefix 149") << "14912345678" << 0;
    QTest::newRow("empty") << "" << 0;
}

void SMSSendViewTest::typedNumber()
{
    QFETCH(QString, typed);
    QFETCH(int, rows);
    SendViewFixture f;
    typeNumber(*f.view, typed);
    QCOMPARE(f.view->listView()->rowCount(), rows);
    QCOMPARE(f.prompter.shown().size(), 0);
    QCOMPARE(storedNumbers(*f.app), rows);
    if (rows == 1) {
        QCOMPARE(f.view->listView()->row(0).cells, QStringList({"1", "手工添加", "未发送", "1", typed}));
        QCOMPARE(f.view->numberBox()->currentText(), QString());
    }
    checkCountersMatchRows(*f.view);
}

void SMSSendViewTest::duplicateTypedNumberIsRefused()
{
    SendViewFixture f;
    typeNumber(*f.view, "13912345678");
    typeNumber(*f.view, "13912345678");
    QCOMPARE(f.view->listView()->rowCount(), 1);
    QCOMPARE(f.prompter.lastText(), QStringLiteral("您录入的号码已经添加到发送列表!"));
    QCOMPARE(storedNumbers(*f.app), 1);
    QCOMPARE(f.view->numberBox()->count(), 1);

    // Hint 7 reloads the history, for numbers stored elsewhere.
    QVERIFY(f.app->GetDatabase().Execute("INSERT INTO tbl_inputphone (phone) VALUES ('13012345678')"));
    f.hints.broadcast(HintBroadcaster::AddressBookChanged);
    QCOMPARE(f.view->numberBox()->count(), 2);
    QCOMPARE(f.view->numberBox()->itemText(1), QStringLiteral("13012345678"));
}

void SMSSendViewTest::countersFollowAddsDeletesAndClears()
{
    SendViewFixture f;
    typeNumber(*f.view, "13912345678"); // mobile
    typeNumber(*f.view, "13012345678"); // unicom
    typeNumber(*f.view, "18912345678"); // telecom
    f.handOver.handOverRecipients({"13800000001", "13800000002", "13100000003"}, {2, 1, 0});
    f.handOver.handOverNumber("13912345678"); // already typed: no second row
    f.handOver.handOverNumber("bogus");
    f.hints.broadcast(HintBroadcaster::SendRecordsChanged); // not ours
    QCOMPARE(f.view->listView()->rowCount(), 3);
    f.hints.broadcast(HintBroadcaster::NumbersHandedOver);
    QCOMPARE(f.view->listView()->rowCount(), 4);
    QVERIFY(f.handOver.recipients().empty() && f.handOver.singleNumbers().empty());
    QCOMPARE(f.view->totalLabel()->text(), QStringLiteral("合计[6]"));
    checkCountersMatchRows(*f.view);

    f.view->listView()->selectRows({1, 3});
    f.view->button("删除")->click();
    QCOMPARE(f.view->sendList().manualNumbers(), (std::vector<std::string> {"13912345678", "18912345678"}));
    checkCountersMatchRows(*f.view);

    f.prompter.answerQuestion(false);
    clear(*f.view, "清空移动号码");
    QCOMPARE(f.view->listView()->rowCount(), 2);
    // Clearing the mobile numbers keeps the others as one extracted row.
    f.prompter.answerQuestion(true);
    clear(*f.view, "清空移动号码");
    QCOMPARE(f.prompter.lastText(), QStringLiteral("您确认要清除所有添加的[移动]手机号码？"));
    QCOMPARE(
        f.view->listView()->row(0).cells, QStringList({"1", "提取号码", "未发送", "1", "已清空[移动]号码的号码资源"}));
    checkCountersMatchRows(*f.view);

    // No unicom number left: nothing asked.
    const int shown = f.prompter.shown().size();
    clear(*f.view, "清空联通号码");
    QCOMPARE(f.prompter.shown().size(), shown);

    f.prompter.answerQuestion(true);
    clear(*f.view, "清空所有号码");
    QCOMPARE(f.view->listView()->rowCount(), 0);
    checkCountersMatchRows(*f.view);
    QCOMPARE(f.prompter.unexpectedQuestions(), 0);
}

void SMSSendViewTest::longContentIsCut_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("tail");
    QTest::addColumn<int>("kept");
    QTest::newRow("330 Chinese: cut to 320") << QString(330, QChar(u'字')) << "" << 320;
    QTest::newRow("330 Chinese with a 6-char tail: 314") << QString(330, QChar(u'字')) << "【签名四字】" << 314;
}

void SMSSendViewTest::longContentIsCut()
{
    QFETCH(QString, content);
    QFETCH(QString, tail);
    QFETCH(int, kept);
    SendViewFixture f;
    if (!tail.isEmpty()) {
        f.app->GetParameters().Set("AddSMSTail", "1");
        f.app->GetParameters().Set("SMSTail", tail.toStdString());
    }
    f.view->messageEdit()->setPlainText(content);
    QCOMPARE(f.view->messageEdit()->toPlainText().size(), kept);
    QVERIFY(f.view->contentBox()->title().startsWith(QStringLiteral("发送内容( %1字").arg(kept + tail.size())));
}

void SMSSendViewTest::refusals_data()
{
    QTest::addColumn<bool>("loggedIn");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("withNumber");
    QTest::addColumn<QString>("expected");
    QTest::newRow("offline") << false << "hi" << true << "尚未在线登录，不能进行发送操作!";
    QTest::newRow("empty message") << true << "" << true << "短信内容不能为空或空格!";
    QTest::newRow("empty list") << true << "hi" << false << "手机发送列表为空，请添加需要接收短信的手机号码!";
}

void SMSSendViewTest::refusals()
{
    QFETCH(bool, loggedIn);
    QFETCH(QString, message);
    QFETCH(bool, withNumber);
    QFETCH(QString, expected);
    SendViewFixture f;
    f.session.loggedIn = loggedIn;
    f.view->messageEdit()->setPlainText(message);
    if (withNumber)
        typeNumber(*f.view, "13912345678");
    f.prompter.answerQuestion(true);
    f.view->button("发送")->click();
    QCOMPARE(f.prompter.lastText(), expected);
    QCOMPARE(f.view->listView()->rowCount(), withNumber ? 1 : 0);
    QVERIFY(!f.engine->IsBusy());
    QCOMPARE(f.calls, 0);
}

void SMSSendViewTest::multiSegmentAsksFirst()
{
    SendViewFixture f;
    f.view->messageEdit()->setPlainText(QString(100, QChar(u'字')));
    typeNumber(*f.view, "13912345678");
    f.prompter.answerQuestion(false);
    f.view->button("发送")->click();
    QCOMPARE(f.prompter.lastText(), QStringLiteral("短信内容超长，移动联通电信号码将按2条收费，您确认要发送吗？"));
    QCOMPARE(f.prompter.shown().back().kind, PromptKind::Question);
    QCOMPARE(f.view->listView()->rowCount(), 1);
    QVERIFY(!f.engine->IsBusy());

    // Confirmed, but the stock is short.
    f.session.stock = 1;
    f.prompter.answerQuestion(true);
    f.view->button("发送")->click();
    QCOMPARE(f.prompter.lastText(), QStringLiteral("本次发送所需短信条数[2]，您的短信余量不足!"));
    QCOMPARE(f.view->listView()->rowCount(), 1);
}

void SMSSendViewTest::busyEngineRefusesNewSends()
{
    std::promise<void> release;
    const std::shared_future<void> gate = release.get_future().share();
    SendViewFixture f([gate](const std::string&, const std::string&, std::string& reply) {
        gate.wait();
        reply.clear();
        return CallResult::Refused;
    });
    // Declared after the fixture: lets the worker go before the engine waits for it.
    const auto letGo = qScopeGuard([&release]() { release.set_value(); });
    f.view->messageEdit()->setPlainText("hi");
    typeNumber(*f.view, "13912345678");
    f.view->button("发送")->click();
    QVERIFY(f.engine->IsBusy());

    typeNumber(*f.view, "13012345678");
    f.view->button("发送")->click();
    QCOMPARE(f.prompter.lastText(), QStringLiteral("现有的短信发送任务尚未完成,或您选择的号码包含号段,本次发送非法!"));
    QCOMPARE(f.view->listView()->rowCount(), 1);

    CSMSTestDlg* dialog = nullptr;
    connect(f.view.get(), &CSMSSendView::testDialogOpened, this, [&dialog](CSMSTestDlg* opened) { dialog = opened; });
    f.view->button("短信测试")->click();
    QVERIFY(dialog);
    dialog->numberBox()->setEditText("18912345678");
    dialog->onSendClicked();
    QCOMPARE(f.prompter.lastText(), QStringLiteral("短信发送失败，因为现在的发送任务尚未完成!"));
}

void SMSSendViewTest::optedOutNumbersAreAnnounced()
{
    SendViewFixture f;
    QVERIFY(f.app->GetDatabase().Execute(
        "INSERT INTO tbl_card (id, folder_id, phone, status) VALUES (1, 1, '13912345678', '退订')"));
    f.view->messageEdit()->setPlainText("hi");
    typeNumber(*f.view, "13912345678");
    f.view->button("发送")->click();
    QCOMPARE(f.prompter.lastText(), QStringLiteral("已排除1个退订号码"));
    QCOMPARE(f.calls, 0);
    QCOMPARE(f.view->listView()->rowCount(), 1); // nothing went out: the list stays

    typeNumber(*f.view, "13012345678");
    f.view->button("发送")->click();
    QCOMPARE(f.prompter.shown().size(), 2);
    QCOMPARE(f.prompter.lastText(), QStringLiteral("已排除1个退订号码"));
    f.engine->Wait();
    CADORecordset rows(&f.app->GetDatabase());
    QVERIFY(rows.Open("SELECT GROUP_CONCAT(phones) FROM tbl_sendsms_detail"));
    std::string phones;
    rows.GetFieldValue(0, phones);
    QCOMPARE(phones, std::string("13012345678"));
}

void SMSSendViewTest::exportWritesTheFileChosen()
{
    SendViewFixture f;
    f.view->button("导出号码")->click();
    QCOMPARE(f.prompter.lastText(), QStringLiteral("没有可导出的手机号码!"));
    QCOMPARE(f.prompter.fileDialogs().size(), 0);

    typeNumber(*f.view, "18912345678");
    typeNumber(*f.view, "13012345678");
    f.handOver.handOverRecipients({"13012345678", "13800000001"}, {1, 1, 0});
    f.hints.broadcast(HintBroadcaster::NumbersHandedOver);
    const QString path = f.file("numbers.txt", "old content that must go\n");
    f.prompter.answerSaveFile(path);
    f.view->button("导出号码")->click();

    QCOMPARE(f.prompter.fileDialogs().size(), 1);
    const ScriptedPrompter::FileAsked& asked = f.prompter.fileDialogs().first();
    QCOMPARE(asked.dialog, ScriptedPrompter::FileDialog::Save);
    QCOMPARE(asked.request.title, QStringLiteral("请输入要导出的文件名"));
    QVERIFY2(asked.request.path.endsWith(QStringLiteral("待发手机号码列表.txt")), qPrintable(asked.request.path));
    QCOMPARE(asked.request.defaultSuffix, QStringLiteral("txt"));
    QCOMPARE(f.prompter.lastText(), QStringLiteral("导出手机号码列表完成!"));
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    // Sorted, each number once.
    QCOMPARE(written.readAll(), QByteArray("13012345678\n13800000001\n18912345678\n"));

    // Cancelling the dialog writes nothing and says nothing.
    const int shown = f.prompter.shown().size();
    f.view->button("导出号码")->click();
    QCOMPARE(f.prompter.fileDialogs().size(), 2);
    QCOMPARE(f.prompter.shown().size(), shown);
}

QTEST_MAIN(SMSSendViewTest)
#include "SMSSendViewTest.moc"
