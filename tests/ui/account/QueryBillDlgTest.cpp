#include "account/QueryBillDlg.h"

#include "contacts/SpreadsheetReader.h"
#include "db/DateTime.h"
#include "support/AdminFixture.h"

#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

using namespace telvora;

class QueryBillDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void pickersAllowRecentDaysOnly();
    void queryNeedsLogin();
    void queryListsDaysWithSends();
    void exportWritesTheListedRows_data();
    void exportWritesTheListedRows();
};

namespace {

std::unique_ptr<CQueryBillDlg> makeDialog(test::AdminFixture& f, const DateTime& now)
{
    return std::make_unique<CQueryBillDlg>(f.prompter, f.service, f.session, "8001", now);
}

QString day(const DateTime& time)
{
    return QString::fromStdString(time.format("%Y-%m-%d"));
}

} // namespace

void QueryBillDlgTest::pickersAllowRecentDaysOnly()
{
    test::AdminFixture f;
    const DateTime now = DateTime::fromFields(2026, 3, 10, 12);
    auto dialog = makeDialog(f, now);
    for (QDateEdit* edit : {dialog->startEdit(), dialog->endEdit()}) {
        QCOMPARE(edit->minimumDate(), QDate(2026, 2, 13));
        QCOMPARE(edit->maximumDate(), QDate(2026, 3, 9));
    }
    QCOMPARE(dialog->startEdit()->date(), QDate(2026, 2, 13));
    QCOMPARE(dialog->endEdit()->date(), QDate(2026, 3, 9));
    dialog->endEdit()->setDate(QDate(2026, 3, 10));
    QCOMPARE(dialog->endEdit()->date(), QDate(2026, 3, 9));
}

void QueryBillDlgTest::queryNeedsLogin()
{
    test::AdminFixture f;
    f.session.loggedIn = false;
    auto dialog = makeDialog(f, DateTime::now());
    dialog->onQueryClicked();
    QVERIFY(test::waitFor(dialog.get(), &CQueryBillDlg::callFinished));
    QCOMPARE(f.prompter.texts(), QStringList {"尚未在线登录,无法在线查询帐单!"});
    QCOMPARE(dialog->billList()->topLevelItemCount(), 0);
}

void QueryBillDlgTest::queryListsDaysWithSends()
{
    test::AdminFixture f;
    QVERIFY(f.loggedIn);
    const DateTime now = DateTime::now();
    QVERIFY(f.sim.addConsumption("8001", "admin", day(now.addDays(-3)).toStdString(), 7));
    QVERIFY(f.sim.addConsumption("8001", "sales", day(now.addDays(-5)).toStdString(), 4));
    auto dialog = makeDialog(f, now);
    dialog->onQueryClicked();
    QVERIFY(dialog->isBusy());
    QVERIFY(test::waitFor(dialog.get(), &CQueryBillDlg::callFinished));
    QVERIFY(f.prompter.shown().isEmpty());
    QCOMPARE(dialog->companyLabel()->text(), QStringLiteral("用户名称：小店"));
    QCOMPARE(dialog->totalLabel()->text(), QStringLiteral("查询累计发送：11"));
    QTreeWidget* list = dialog->billList();
    QCOMPARE(list->topLevelItemCount(), 2);
    QStringList sent;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        sent.append(list->topLevelItem(i)->text(0) + "=" + list->topLevelItem(i)->text(2));
    sent.sort();
    QCOMPARE(sent, (QStringList {"admin=7", "sales=4"}));
}

void QueryBillDlgTest::exportWritesTheListedRows_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("fileName"); // empty: the save dialog is cancelled
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<bool>("written");

    QTest::newRow("no rows") << 0 << "b.xlsx" << QStringList {"没有可导出的帐单!"} << false;
    QTest::newRow("cancelled") << 2 << "" << QStringList {} << false;
    QTest::newRow("workbook") << 2 << "b.xlsx" << QStringList {"导出帐单记录成功完成！"} << true;
    QTest::newRow("text") << 2 << "b.csv" << QStringList {"导出帐单记录成功完成！"} << true;
    QTest::newRow("folder missing") << 2 << "no/b.xlsx" << QStringList {"导出帐单记录失败！"} << false;
}

void QueryBillDlgTest::exportWritesTheListedRows()
{
    QFETCH(int, rows);
    QFETCH(QString, fileName);
    QFETCH(QStringList, texts);
    QFETCH(bool, written);
    test::AdminFixture f;
    auto dialog = makeDialog(f, DateTime::now());
    const QVector<QStringList> bills {{"admin", "2026-3-1", "7", "493", "7"}, {"sales", "2026-3-2", "4", "489", "11"}};
    for (int i = 0; i < rows; ++i)
        new QTreeWidgetItem(dialog->billList(), bills[i]);
    const QString path = fileName.isEmpty() ? QString() : QString::fromStdString(f.temp.file(fileName.toStdString()));
    f.prompter.answerSaveFile(path);
    dialog->exportButton()->click();

    QCOMPARE(f.prompter.texts(), texts);
    QCOMPARE(f.prompter.fileDialogs().size(), rows > 0 ? 1 : 0);
    if (rows > 0)
        QCOMPARE(f.prompter.fileDialogs().front().request.path, QStringLiteral("帐单信息.xlsx"));
    CSpreadsheetReader reader;
    QCOMPARE(reader.Open(path.toStdString()), written);
    if (!written)
        return;
    if (!fileName.endsWith(".csv"))
        QCOMPARE(reader.GetSheetNames(), (std::vector<std::string> {"帐单信息"}));
    QCOMPARE(reader.GetRowCount(), std::size_t(3));
    QCOMPARE(
        reader.GetHeader(), (std::vector<std::string> {"帐号", "统计日期", "当天发送量", "当日剩余量", "累计发送量"}));
    for (int i = 0; i < 2; ++i) {
        std::vector<std::string> expected;
        for (const QString& cell : bills[i])
            expected.push_back(cell.toStdString());
        QCOMPARE(reader.GetRow(std::size_t(i) + 1), expected);
    }
}

QTEST_MAIN(QueryBillDlgTest)
#include "QueryBillDlgTest.moc"
