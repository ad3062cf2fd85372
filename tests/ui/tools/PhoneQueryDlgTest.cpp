#include "tools/PhoneQueryDlg.h"

#include "support/ScriptedPrompter.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace telvora;

class PhoneQueryDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void query_data();
    void query();
    void missingDatabaseIsReported();
};

void PhoneQueryDlgTest::query_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("province");
    QTest::addColumn<QString>("city");
    QTest::newRow("known segment") << "13800138000"
                                   << "北京"
                                   << "北京";
    QTest::newRow("seven digits are enough") << "1341001"
                                             << "广东"
                                             << "深圳";
    QTest::newRow("six digits leave the fields") << "134100"
                                                 << "-"
                                                 << "-";
    QTest::newRow("unknown segment leaves the fields") << "19912345678"
                                                       << "-"
                                                       << "-";
    QTest::newRow("apostrophe is only text") << "1'00000"
                                             << "-"
                                             << "-";
}

void PhoneQueryDlgTest::query()
{
    QFETCH(QString, number);
    QFETCH(QString, province);
    QFETCH(QString, city);
    ScriptedPrompter prompter;
    CPhoneQueryDlg dialog(prompter, TELVORA_TEST_TEMPLATE_DIR "/mobileArea.db");
    QVERIFY(prompter.shown().isEmpty());
    dialog.provinceEdit()->setText(QStringLiteral("-"));
    dialog.cityEdit()->setText(QStringLiteral("-"));
    dialog.numberEdit()->setText(number);
    dialog.onQueryClicked();
    QCOMPARE(dialog.provinceEdit()->text(), province);
    QCOMPARE(dialog.cityEdit()->text(), city);
}

void PhoneQueryDlgTest::missingDatabaseIsReported()
{
    ScriptedPrompter prompter;
    CPhoneQueryDlg dialog(prompter, "/nonexistent/mobileArea.db");
    QCOMPARE(prompter.lastText(), QStringLiteral("打开号码查询数据库失败！"));
    QVERIFY(!dialog.queryButton()->isEnabled());
}

QTEST_MAIN(PhoneQueryDlgTest)
#include "PhoneQueryDlgTest.moc"
