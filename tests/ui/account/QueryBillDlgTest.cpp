#include "account/QueryBillDlg.h"

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
    QVERIFY(!dialog->exportButton()->isEnabled());
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

QTEST_MAIN(QueryBillDlgTest)
#include "QueryBillDlgTest.moc"
