#include "account/ModifyPasswordDlg.h"

#include "db/ADORecordset.h"
#include "support/AdminFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QtTest>

using namespace telvora;

class ModifyPasswordDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void checksInOrder_data();
    void checksInOrder();
    void changeReachesServiceAndDatabase();
    void strengthShownAsTyped();
};

namespace {

std::unique_ptr<CModifyPasswordDlg> makeDialog(test::AdminFixture& f)
{
    return std::make_unique<CModifyPasswordDlg>(
        CModifyPasswordDlg::Dependencies {f.prompter, f.service, f.session, f.database, f.parameters, nullptr});
}

} // namespace

void ModifyPasswordDlgTest::checksInOrder_data()
{
    QTest::addColumn<QString>("oldPassword");
    QTest::addColumn<QString>("newPassword");
    QTest::addColumn<QString>("confirmation");
    QTest::addColumn<QString>("message");
    // The order of the checks is the core's; these show the stored password is what is checked.
    QTest::newRow("old before strength") << "wrong"
                                         << "abcdefgh"
                                         << "abcdefgh"
                                         << "输入的旧密码验证失败!";
    QTest::newRow("too simple") << "pw1234"
                                << "abcdefgh"
                                << "abcdefgh"
                                << "系统检查到您的密码过于简单，为保障您的帐号安全，请修改为强密码!";
}

void ModifyPasswordDlgTest::checksInOrder()
{
    QFETCH(QString, oldPassword);
    QFETCH(QString, newPassword);
    QFETCH(QString, confirmation);
    QFETCH(QString, message);
    test::AdminFixture f;
    QVERIFY(f.loggedIn);
    auto dialog = makeDialog(f);
    dialog->oldEdit()->setText(oldPassword);
    dialog->newEdit()->setText(newPassword);
    dialog->confirmEdit()->setText(confirmation);
    dialog->onOkClicked();
    QCOMPARE(f.prompter.texts(), QStringList {message});
    QVERIFY(!dialog->isBusy());
    QCOMPARE(f.sim.password("8001", "admin").value_or(""), std::string("pw1234"));
}

void ModifyPasswordDlgTest::changeReachesServiceAndDatabase()
{
    test::AdminFixture f;
    QVERIFY(f.loggedIn);
    // Without a secret store a remembered password stays in the database.
    f.parameters.Set("RememberPwd", "1");
    auto dialog = makeDialog(f);
    const QString password = QStringLiteral("abcd1234");
    dialog->oldEdit()->setText(QStringLiteral("pw1234"));
    dialog->newEdit()->setText(password);
    dialog->confirmEdit()->setText(password);
    QSignalSpy done(dialog.get(), &CModifyPasswordDlg::callFinished);
    dialog->onOkClicked();
    QVERIFY(dialog->isBusy());
    QVERIFY(done.wait(10'000));
    QCOMPARE(f.prompter.lastText(), QStringLiteral("修改登录密码成功,您的密码强度为 [21]分 !"));
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(f.sim.password("8001", "admin").value_or(""), password.toStdString());
    QCOMPARE(f.parameters.Get("Password"), password.toStdString());
    CADORecordset stored(&f.database);
    std::string value;
    QVERIFY(stored.Open("SELECT para_value FROM tbl_sys_param WHERE para_name='Password'"));
    stored.GetFieldValue(0, value);
    QCOMPARE(value, password.toStdString());
}

void ModifyPasswordDlgTest::strengthShownAsTyped()
{
    test::AdminFixture f;
    auto dialog = makeDialog(f);
    dialog->newEdit()->setText(QStringLiteral("Abcdefg1234!@"));
    QCOMPARE(dialog->strengthLabel()->text(), QStringLiteral("31"));
    dialog->newEdit()->clear();
    QCOMPARE(dialog->strengthLabel()->text(), QString());
}

QTEST_MAIN(ModifyPasswordDlgTest)
#include "ModifyPasswordDlgTest.moc"
