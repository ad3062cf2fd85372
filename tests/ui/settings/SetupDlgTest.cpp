#include "settings/SetupDlg.h"

#include "app/BasicSettings.h"
#include "remind/RemindFixture.h"
#include "settings/BasicSetupView.h"
#include "settings/SecuritySetupView.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimeEdit>
#include <QtTest>

namespace telvora {

class SetupDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void pagesRefuseInTurnAndStoreNothing();
    void storesEveryValueOnce();
    void serviceSignatureIsFixed();
    void birthdayControlsFollowTheAutoBox();
};

// The limits are BasicSettings' (core); the dialog shows a page's refusal and writes nothing.
void SetupDlgTest::pagesRefuseInTurnAndStoreNothing()
{
    test::RemindFixture fixture;
    CSetupDlg dialog(*fixture.app, fixture.session, fixture.prompter);
    auto* keepDays = dialog.basicPage()->findChild<QSpinBox*>(QStringLiteral("keepDays"));
    keepDays->setValue(14);
    dialog.birthdayPage()->findChild<QCheckBox*>(QStringLiteral("autoSend"))->setChecked(true);
    dialog.birthdayPage()->findChild<QPlainTextEdit*>(QStringLiteral("content"))->clear();
    dialog.accept();
    QCOMPARE(fixture.prompter.lastText(), QString::fromUtf8(BasicSettings::kKeepTooShort));
    keepDays->setValue(40);
    dialog.accept();
    QCOMPARE(fixture.prompter.lastText(), QStringLiteral("生日祝福内容不能为空!"));
    QCOMPARE(dialog.tabs()->currentIndex(), 1);
    QVERIFY(dialog.result() != QDialog::Accepted);
    QCOMPARE(fixture.scalar("SELECT para_value FROM tbl_sys_param WHERE para_name='SaveMaxDay'") == "40", false);
}

void SetupDlgTest::storesEveryValueOnce()
{
    test::RemindFixture fixture;
    fixture.app->GetParameters().Set("SMSTail", "abc");
    fixture.app->GetParameters().Set("HideTray", "0");
    CSetupDlg dialog(*fixture.app, fixture.session, fixture.prompter);
    auto* signature = dialog.basicPage()->findChild<QLineEdit*>(QStringLiteral("signature"));
    QCOMPARE(signature->text(), QStringLiteral("【abc】"));
    dialog.basicPage()->findChild<QSpinBox*>(QStringLiteral("keepDays"))->setValue(20);
    dialog.basicPage()->findChild<QCheckBox*>(QStringLiteral("stockWarning"))->setChecked(true);
    dialog.basicPage()->findChild<QSpinBox*>(QStringLiteral("stockAmount"))->setValue(300);
    dialog.birthdayPage()->findChild<QCheckBox*>(QStringLiteral("autoSend"))->setChecked(true);
    dialog.birthdayPage()
        ->findChild<QPlainTextEdit*>(QStringLiteral("content"))
        ->setPlainText(QStringLiteral("It's your day"));
    dialog.birthdayPage()->findChild<QTimeEdit*>(QStringLiteral("time"))->setTime(QTime(8, 30));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const auto stored = [&fixture](const char* key) {
        return fixture.scalar(std::string("SELECT para_value FROM tbl_sys_param WHERE para_name='") + key + "'");
    };
    QCOMPARE(stored("SMSTail"), QStringLiteral("【abc】"));
    QCOMPARE(stored("HideTray"), QStringLiteral("1"));
    QCOMPARE(stored("SaveMaxDay"), QStringLiteral("20"));
    QCOMPARE(stored("BirthSMSContent"), QStringLiteral("It's your day"));
    QCOMPARE(stored("BirthdayTime"), QStringLiteral("1900-01-01 8:30:0"));
    QCOMPARE(stored("AutoSendBirth"), QStringLiteral("1"));
    QCOMPARE(QString::fromStdString(fixture.app->GetSetupFile().GetString("section", "RemainAmount")),
        QStringLiteral("300"));
}

void SetupDlgTest::serviceSignatureIsFixed()
{
    test::RemindFixture fixture;
    fixture.session.signName = "【Shop】";
    fixture.session.fetchSendStat = 1;
    CSetupDlg dialog(*fixture.app, fixture.session, fixture.prompter);
    auto* signature = dialog.basicPage()->findChild<QLineEdit*>(QStringLiteral("signature"));
    auto* addSignature = dialog.basicPage()->findChild<QCheckBox*>(QStringLiteral("addSignature"));
    QVERIFY(!signature->isEnabled());
    QVERIFY(!addSignature->isEnabled());
    QVERIFY(addSignature->isChecked());
    dialog.basicPage()->findChild<QSpinBox*>(QStringLiteral("keepDays"))->setValue(30);
    dialog.accept();
    QCOMPARE(
        fixture.scalar("SELECT para_value FROM tbl_sys_param WHERE para_name='SMSTail'"), QStringLiteral("【Shop】"));
}

void SetupDlgTest::birthdayControlsFollowTheAutoBox()
{
    CSecuritySetupView page;
    BirthdaySettings settings;
    settings.content = std::string(200, 'x');
    page.load(settings);
    auto* content = page.findChild<QPlainTextEdit*>(QStringLiteral("content"));
    QVERIFY(!content->isEnabled());
    QCOMPARE(content->toPlainText().size(), BirthdaySettings::kMaxContentLength);
    page.findChild<QCheckBox*>(QStringLiteral("autoSend"))->setChecked(true);
    QVERIFY(content->isEnabled());
    QVERIFY(page.findChild<QTimeEdit*>(QStringLiteral("time"))->isEnabled());
}

} // namespace telvora

QTEST_MAIN(telvora::SetupDlgTest)
#include "SetupDlgTest.moc"
