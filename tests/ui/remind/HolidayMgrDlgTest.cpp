#include "remind/HolidayMgrDlg.h"

#include "remind/AddHolidayDlg.h"
#include "remind/RemindFixture.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

namespace telvora {

class HolidayMgrDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void onlyCustomHolidaysCanChange();
    void addChecksNameAndDay_data();
    void addChecksNameAndDay();
    void deleteNeedsASelection();
};

void HolidayMgrDlgTest::onlyCustomHolidaysCanChange()
{
    test::RemindFixture fixture;
    CHolidayMgrDlg dialog(fixture.db(), fixture.prompter);
    QVERIFY(dialog.list()->topLevelItemCount() > 0);
    QVERIFY(dialog.addButton()->isHidden());
    dialog.showType(4);
    QVERIFY(!dialog.addButton()->isHidden());
    QCOMPARE(dialog.list()->topLevelItemCount(), 0);
}

void HolidayMgrDlgTest::addChecksNameAndDay_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("empty name") << QString() << 10 << 1 << QStringLiteral("节日名称不能为空!");
    QTest::newRow("month placeholder") << QStringLiteral("x") << 0 << 1 << QStringLiteral("请重新设定节日配置!");
    QTest::newRow("day placeholder") << QStringLiteral("x") << 10 << 0 << QStringLiteral("请重新设定节日配置!");
    QTest::newRow("31 April") << QStringLiteral("x") << 4 << 31 << QStringLiteral("请重新设定节日配置!");
    QTest::newRow("accepted") << QStringLiteral("Tom's day") << 10 << 1 << QString();
}

void HolidayMgrDlgTest::addChecksNameAndDay()
{
    QFETCH(QString, name);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(QString, refusal);
    test::RemindFixture fixture;
    CAddHolidayDlg dialog(fixture.db(), fixture.prompter);
    dialog.nameBox()->setText(name);
    dialog.kindList()->setCurrentIndex(1);
    dialog.monthList()->setCurrentIndex(month);
    dialog.dayList()->setCurrentIndex(day);
    dialog.accept();
    QCOMPARE(fixture.prompter.lastText(), refusal);
    QCOMPARE(dialog.result() == QDialog::Accepted, refusal.isEmpty());
    if (refusal.isEmpty()) {
        QCOMPARE(fixture.scalar("SELECT holiday || '|' || Type FROM tbl_holiday WHERE name='Tom''s day'"),
            QStringLiteral("2008-10-01 00:00:00|4"));
    }
}

void HolidayMgrDlgTest::deleteNeedsASelection()
{
    test::RemindFixture fixture;
    QVERIFY(fixture.execute("INSERT INTO tbl_holiday (name, holiday, Type) VALUES ('mine', '2008-05-05', 4)"));
    CHolidayMgrDlg dialog(fixture.db(), fixture.prompter);
    dialog.showType(4);
    dialog.onDelete();
    QCOMPARE(fixture.prompter.lastText(), QStringLiteral("请先选中需要删除的节日!"));
    QCOMPARE(dialog.list()->topLevelItem(0)->text(1), QStringLiteral("05"));
    dialog.list()->setCurrentItem(dialog.list()->topLevelItem(0));
    dialog.onDelete();
    QCOMPARE(dialog.list()->topLevelItemCount(), 0);
    QCOMPARE(fixture.scalar("SELECT COUNT(*) FROM tbl_holiday WHERE Type=4"), QStringLiteral("0"));
}

} // namespace telvora

QTEST_MAIN(telvora::HolidayMgrDlgTest)
#include "HolidayMgrDlgTest.moc"
