#include "send/ExcelSMSSendView.h"

#include "app/AppContext.h"
#include "app/HintBroadcaster.h"
#include "app/LoginGate.h"
#include "core/db/DbTestSupport.h"
#include "send/ColumnMappingGrid.h"
#include "send/ExcelPreviewDlg.h"
#include "send/RecipientHandOver.h"
#include "send/SendEngine.h"
#include "send/SendProgressAdapter.h"
#include "service/ServiceClient.h"
#include "service/WebClient.h"
#include "session/Session.h"
#include "support/RecordingFrame.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"
#include "support/TestApp.h"
#include "widgets/ReportView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <memory>

using namespace telvora;

namespace {

// The view on a fresh working database; CustomSend answers with `outcome`, refusing the
// numbers in `refuse`.
struct Fixture
{
    Fixture()
    {
        app = test::OpenTestApp(temp);
        session.loggedIn = true;
        session.token = "token";
        session.stock = 1000;
        engine = std::make_unique<CSendEngine>(
            *app, session,
            [this](const std::string& method, const std::string& body, std::string& reply) {
                posted.push_back(method + " " + body);
                reply = "<MethodResult><RetCode>Sucess</RetCode><CommonJobID>C1</CommonJobID><ErrorPhones>" + refuse
                    + "</ErrorPhones></MethodResult>";
                return outcome;
            },
            &relay);
        view = std::make_unique<CExcelSMSSendView>(
            ViewServices {*app, session, service, *engine, prompter, hints, handOver, frame, gate}, relay);
    }

    // Loads a sheet through "导入数据".
    void load(const QByteArray& csv)
    {
        const QString path = QString::fromStdString(temp.file("pay.csv"));
        QFile out(path);
        out.open(QIODevice::WriteOnly);
        out.write(csv);
        out.close();
        prompter.answerOpenFile(path);
        view->onImportClicked();
    }
    QString query(const std::string& sql) { return QString::fromStdString(test::scalar(app->GetDatabase(), sql)); }

    test::TempDir temp;
    std::unique_ptr<CAppContext> app;
    CSession session;
    CallResult outcome = CallResult::Success;
    std::string refuse;
    std::vector<std::string> posted;
    CSendProgressAdapter relay;
    ScriptedPrompter prompter;
    CWebClient web {nullptr, 5000, 5000};
    CServiceClient service {web};
    LoginGate gate;
    HintBroadcaster hints {gate};
    RecordingFrame frame {hints};
    RecipientHandOver handOver;
    std::unique_ptr<CSendEngine> engine;
    std::unique_ptr<CExcelSMSSendView> view;
};

const QByteArray kPay = "手机号码,姓名,金额\n13900000002,李四,200\n13900000001,张三,100\n12345,无效,1\n";

} // namespace

class ExcelSMSSendViewTest : public QObject
{
    Q_OBJECT

private slots:
    void loadingShowsTheSheetAndProposesATemplate();
    void mappingChangesTheTemplateAndTheColumns();
    void demoCannotBeSent();
    void sendRefusals_data();
    void sendRefusals();
    void acceptedSendEmptiesTheView();
    void refusedSendKeepsTheData();
    void previewShowsEveryValidRow();
};

void ExcelSMSSendViewTest::loadingShowsTheSheetAndProposesATemplate()
{
    Fixture f;
    QVERIFY(!f.view->button(QStringLiteral("发送"))->isEnabled());
    QCOMPARE(f.view->report()->columnCount(), 2);
    f.view->templateEdit()->setPlainText(QStringLiteral("您好"));
    f.load(kPay);

    QCOMPARE(f.view->pathEdit()->text(), QString::fromStdString(f.temp.file("pay.csv")));
    QCOMPARE(f.view->templateEdit()->toPlainText(), QStringLiteral("您好{手机号码} {姓名} {金额} "));
    QCOMPARE(f.view->report()->columnCount(), 4);
    QCOMPARE(f.view->report()->rowCount(), 3);
    QVERIFY(f.view->report()->isChecked(2));
    QCOMPARE(f.view->mapping()->phoneBox()->currentText(), QStringLiteral("手机号码"));
    for (const char* caption : {"发送", "短信预览", "导出", "清空"})
        QVERIFY2(f.view->button(QString::fromUtf8(caption))->isEnabled(), caption);

    f.prompter.answerQuestion(false);
    f.view->onClearClicked();
    QCOMPARE(f.view->report()->rowCount(), 3);
    f.prompter.answerQuestion(true);
    f.view->onClearClicked();
    QCOMPARE(f.prompter.shown().last().text, QStringLiteral("您确认要否清空所有EXCEL导入数据？"));
    QCOMPARE(f.view->report()->rowCount(), 0);
    QVERIFY(f.view->templateEdit()->toPlainText().isEmpty());
    QVERIFY(f.view->pathEdit()->text().isEmpty());
    QVERIFY(!f.view->button(QStringLiteral("发送"))->isEnabled());
}

void ExcelSMSSendViewTest::mappingChangesTheTemplateAndTheColumns()
{
    Fixture f;
    f.load(kPay);
    f.view->mapping()->setColumnTicked(1, false);
    QCOMPARE(f.view->templateEdit()->toPlainText(), QStringLiteral("{手机号码}  {金额}"));
    QVERIFY(f.view->report()->isColumnHidden(2));
    f.view->mapping()->setColumnTicked(1, true);
    QVERIFY(f.view->templateEdit()->toPlainText().endsWith(QStringLiteral("{姓名} ")));
    QVERIFY(!f.view->report()->isColumnHidden(2));

    f.view->mapping()->phoneBox()->setCurrentIndex(2);
    QCOMPARE(f.view->report()->cell(0, 0), QStringLiteral("200"));
    QCOMPARE(f.view->sheet().GetPhoneColumn(), 2);
}

void ExcelSMSSendViewTest::demoCannotBeSent()
{
    Fixture f;
    f.view->demoCheck()->setChecked(true);
    QCOMPARE(f.view->report()->rowCount(), 9);
    QVERIFY(f.view->templateEdit()->toPlainText().startsWith(QStringLiteral("10月工资发送通知：{姓名}您好")));
    QVERIFY(!f.view->button(QStringLiteral("发送"))->isEnabled());
    QVERIFY(!f.view->pathEdit()->isEnabled());
    QVERIFY(f.view->button(QStringLiteral("短信预览"))->isEnabled());
    QVERIFY(f.view->button(QStringLiteral("导出"))->isEnabled());
    f.view->demoCheck()->setChecked(false);
    QCOMPARE(f.view->report()->rowCount(), 0);
    QVERIFY(f.view->templateEdit()->toPlainText().isEmpty());
}

void ExcelSMSSendViewTest::sendRefusals_data()
{
    QTest::addColumn<bool>("loggedIn");
    QTest::addColumn<QString>("userType");
    QTest::addColumn<bool>("pastTime");
    QTest::addColumn<QString>("message");
    QTest::newRow("offline") << false << QString() << false << QStringLiteral("尚未在线登录，不能进行发送操作!");
    QTest::newRow("member account") << true << QStringLiteral("会员用户") << false
                                    << QStringLiteral("EXCEL发送模式暂停服务!");
    QTest::newRow("time passed") << true << QString() << true << QStringLiteral("定时发送的日期必须大于当前日期!");
}

void ExcelSMSSendViewTest::sendRefusals()
{
    QFETCH(bool, loggedIn);
    QFETCH(QString, userType);
    QFETCH(bool, pastTime);
    QFETCH(QString, message);
    Fixture f;
    f.session.loggedIn = loggedIn;
    f.session.userType = userType.toStdString();
    f.load(kPay);
    if (pastTime) {
        f.view->timedCheck()->setChecked(true);
        f.view->dateEdit()->setDate(QDate::currentDate().addDays(-1));
    }
    f.view->onSendClicked();
    QCOMPARE(f.prompter.shown().last().caption, QStringLiteral("提示"));
    QCOMPARE(f.prompter.lastText(), message);
    QCOMPARE(f.query("SELECT COUNT(*) FROM tbl_sendsms"), QStringLiteral("0"));
    QCOMPARE(f.view->report()->rowCount(), 3);
}

void ExcelSMSSendViewTest::acceptedSendEmptiesTheView()
{
    Fixture f;
    f.refuse = "13900000002;";
    f.load(kPay);
    f.view->templateEdit()->setPlainText(QStringLiteral("{姓名}：{金额}"));
    QSignalSpy finished(&f.relay, &CSendProgressAdapter::finished);
    f.view->onSendClicked();
    QVERIFY(finished.wait());
    f.engine->Wait();

    QCOMPARE(f.query("SELECT send_mode || content FROM tbl_sendsms"), QStringLiteral("4{姓名}：{金额}"));
    QCOMPARE(f.query("SELECT GROUP_CONCAT(status || content, ',') FROM tbl_sendsms_detail"),
        QStringLiteral("1张三：100,-1李四：200"));
    QCOMPARE(f.view->report()->rowCount(), 0);
    QVERIFY(f.view->templateEdit()->toPlainText().isEmpty());
    QVERIFY(!f.view->timedCheck()->isChecked());
}

void ExcelSMSSendViewTest::refusedSendKeepsTheData()
{
    Fixture f;
    f.outcome = CallResult::Refused;
    f.load(kPay);
    QSignalSpy finished(&f.relay, &CSendProgressAdapter::finished);
    f.view->onSendClicked();
    QVERIFY(finished.wait());
    f.engine->Wait();
    QCOMPARE(f.query("SELECT COUNT(*) FROM tbl_sendsms_detail WHERE status=-1"), QStringLiteral("2"));
    QCOMPARE(f.view->report()->rowCount(), 3);
    QVERIFY(!f.view->templateEdit()->toPlainText().isEmpty());
}

void ExcelSMSSendViewTest::previewShowsEveryValidRow()
{
    Fixture f;
    f.load(kPay);
    f.view->templateEdit()->setPlainText(QStringLiteral("{姓名}") + QString(70, QLatin1Char('x')));
    QSignalSpy opened(f.view.get(), &CExcelSMSSendView::previewOpened);
    f.view->onPreviewClicked();
    QCOMPARE(opened.count(), 1);
    auto* dialog = opened.first().first().value<CExcelPreviewDlg*>();
    QCOMPARE(dialog->messageList()->topLevelItemCount(), 2);
    QCOMPARE(dialog->messageList()->topLevelItem(0)->childCount(), 2);
    QCOMPARE(dialog->totalsTree()->topLevelItem(0)->text(0), QStringLiteral("本次接收者数量:2"));
    QCOMPARE(dialog->totalsTree()->topLevelItem(3)->child(0)->text(0), QStringLiteral("分2段发送的数据:2"));
}

QTEST_MAIN(ExcelSMSSendViewTest)
#include "ExcelSMSSendViewTest.moc"
