#include "tools/PhoneDivisionDlg.h"

#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"
#include "tools/ToolFiles.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

using namespace telvora;

namespace {

const std::string kRegions = TELVORA_TEST_TEMPLATE_DIR "/mobileArea.db";
constexpr int kWaitMs = 30000;

} // namespace

class PhoneDivisionDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void dividesAFileByProvinceOnAWorker();
    void startRefusesWithoutNumbersOrName();
    void sendListOffersOnlyTheNamedRegionModes();
    void missingRegionDatabaseDisablesStart();
};

void PhoneDivisionDlgTest::dividesAFileByProvinceOnAWorker()
{
    test::TempDir temp;
    const QString input
        = test::writeToolFile(temp, "numbers.txt", "8613800138000\n13410012345\n19912345678\n01012345678\n");

    ScriptedPrompter prompter;
    CPhoneDivisionDlg dialog(prompter, kRegions);
    QVERIFY(!dialog.sendListCheck()->isVisibleTo(&dialog));
    QVERIFY(dialog.modeButton(DivisionMode::ByProvince)->isChecked());
    QSignalSpy finished(&dialog, &CPhoneDivisionDlg::workFinished);
    prompter.answerOpenFile(input);
    dialog.onBrowseClicked();
    QVERIFY(finished.wait(kWaitMs));
    QCOMPARE(dialog.pathEdit()->text(), input);

    const QString base = QString::fromStdString(temp.file("所属区域"));
    prompter.answerSaveFile(base + ".txt");
    dialog.onStartClicked();
    QVERIFY(finished.wait(kWaitMs));
    QCOMPARE(prompter.lastText(), QStringLiteral("分离手机号码列表完成!"));
    QCOMPARE(prompter.fileDialogs().last().request.path, QStringLiteral("所属区域.txt"));
    QCOMPARE(test::readToolFile(base + "北京(1).txt"), QByteArray("13800138000\n"));
    QCOMPARE(test::readToolFile(base + "广东(1).txt"), QByteArray("13410012345\n"));
    QCOMPARE(test::readToolFile(base + "未知省份号码(1).txt"), QByteArray("19912345678\n"));

    // A cancelled save dialog writes nothing and says nothing.
    const int shown = prompter.shown().size();
    dialog.onStartClicked();
    QVERIFY(!dialog.isBusy());
    QCOMPARE(prompter.shown().size(), shown);
}

void PhoneDivisionDlgTest::startRefusesWithoutNumbersOrName()
{
    ScriptedPrompter prompter;
    CPhoneDivisionDlg empty(prompter, kRegions);
    empty.onStartClicked();
    QCOMPARE(prompter.lastText(), QStringLiteral("请先选择一个需要分离号码的文件！"));

    const std::vector<std::string> list {"13800138000"};
    CPhoneDivisionDlg dialog(prompter, kRegions, &list);
    dialog.extractEdit()->setText(QStringLiteral("   "));
    dialog.onStartClicked();
    QCOMPARE(prompter.lastText(), QStringLiteral("请输入需要提取的省/市名称！"));
    dialog.modeButton(DivisionMode::Remove)->setChecked(true);
    dialog.onStartClicked();
    QCOMPARE(prompter.lastText(), QStringLiteral("请输入需要去除的的省/市名称！"));
    QCOMPARE(dialog.result().numbers.size(), std::size_t(0));
}

void PhoneDivisionDlgTest::sendListOffersOnlyTheNamedRegionModes()
{
    ScriptedPrompter prompter;
    const std::vector<std::string> list {"13800138000", "13410012345", "19912345678"};
    CPhoneDivisionDlg dialog(prompter, kRegions, &list);
    QVERIFY(dialog.modeButton(DivisionMode::Extract)->isChecked());
    QVERIFY(!dialog.modeButton(DivisionMode::ByCity)->isEnabled());
    QVERIFY(!dialog.browseButton()->isEnabled());
    dialog.modeButton(DivisionMode::Remove)->setChecked(true);
    dialog.removeEdit()->setText(QStringLiteral(" 北京 "));
    dialog.onStartClicked();
    QCOMPARE(dialog.result().numbers, (std::vector<std::string> {"13410012345", "19912345678"}));
    QCOMPARE(dialog.result().counts, (CarrierCounts {1, 0, 1}));
    QCOMPARE(dialog.regionName(), QStringLiteral("北京"));
}

void PhoneDivisionDlgTest::missingRegionDatabaseDisablesStart()
{
    ScriptedPrompter prompter;
    CPhoneDivisionDlg dialog(prompter, "/nonexistent/mobileArea.db");
    QCOMPARE(prompter.lastText(), QStringLiteral("打开号码查询数据库失败！"));
    QVERIFY(!dialog.startButton()->isEnabled());
}

QTEST_MAIN(PhoneDivisionDlgTest)
#include "PhoneDivisionDlgTest.moc"
