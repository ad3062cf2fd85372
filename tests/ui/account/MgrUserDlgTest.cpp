#include "account/MgrUserDlg.h"

#include "account/AddSubAccountDlg.h"
#include "account/MallocSMSDlg.h"
#include "support/AdminFixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeWidget>
#include <QtTest>

using namespace telvora;

class MgrUserDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void openingListsTheUsers();
    void addRefusesThenAppendsTheRow();
    void resetPassword_data();
    void resetPassword();
    void remove_data();
    void remove();
    void distribute_data();
    void distribute();
};

namespace {

// The management dialog of the fixture's main user, its user list loaded.
struct Opened
{
    Opened()
    {
        if (!f.loggedIn)
            return;
        dialog = std::make_unique<CMgrUserDlg>(f.prompter, f.service, f.session, "8001");
        loaded = test::waitFor(dialog.get(), &CMgrUserDlg::callFinished);
        connect();
    }
    void connect()
    {
        QObject::connect(
            dialog.get(), &CMgrUserDlg::subDialogOpened, dialog.get(), [this](QDialog* opened) { sub = opened; });
    }
    QStringList column(int column) const
    {
        QStringList texts;
        for (int i = 0; i < dialog->userList()->topLevelItemCount(); ++i)
            texts.append(dialog->userList()->topLevelItem(i)->text(column));
        return texts;
    }
    void select(int row) { dialog->userList()->topLevelItem(row)->setSelected(true); }
    // Presses the button and waits for its call when one is started.
    void wait()
    {
        if (dialog->isBusy())
            QVERIFY(test::waitFor(dialog.get(), &CMgrUserDlg::callFinished));
    }

    test::AdminFixture f;
    std::unique_ptr<CMgrUserDlg> dialog;
    QPointer<QDialog> sub;
    bool loaded = false;
};

} // namespace

void MgrUserDlgTest::openingListsTheUsers()
{
    Opened o;
    QVERIFY(o.loaded);
    QCOMPARE(o.column(1), (QStringList {"admin", "sales"}));
    QCOMPARE(o.column(2), (QStringList {"管理员", "子帐号"}));
    QCOMPARE(o.column(3), (QStringList {"500", "40"}));
    QCOMPARE(o.column(4), (QStringList {"", "销售&市场"}));
    QCOMPARE(o.dialog->labelText("用户名称："), QStringLiteral("用户名称：小店"));
    QCOMPARE(o.dialog->labelText("用户帐号："), QStringLiteral("用户帐号：8001"));
    QCOMPARE(o.dialog->labelText("可用帐号数："), QStringLiteral("可用帐号数：10"));
    QCOMPARE(o.dialog->labelText("已用帐号数："), QStringLiteral("已用帐号数：2"));
    QCOMPARE(o.dialog->labelText("联系电话："), QStringLiteral("联系电话：010-1234"));
}

// The order of the checks is the core's; the dialog shows the refusal and stays open.
void MgrUserDlgTest::addRefusesThenAppendsTheRow()
{
    Opened o;
    QVERIFY(o.loaded);
    o.dialog->onAddClicked();
    auto* add = qobject_cast<CAddSubAccountDlg*>(o.sub.data());
    QVERIFY(add);
    add->nameEdit()->setText(QStringLiteral("o'neil+1"));
    add->passwordEdit()->setText(QStringLiteral("abcdefgh"));
    add->confirmEdit()->setText(QStringLiteral("abcdefgh"));
    add->onOkClicked();
    QCOMPARE(o.f.prompter.texts(), QStringList {"系统检查到您的密码过于简单，为保障您的帐号安全，请修改为强密码!"});
    QVERIFY(add->isVisible() && !add->isBusy());

    add->passwordEdit()->setText(QStringLiteral("abcd1234"));
    add->confirmEdit()->setText(QStringLiteral("abcd1234"));
    add->memoEdit()->setText(QStringLiteral("仓库 50%"));
    add->onOkClicked();
    QVERIFY(add->isBusy());
    QVERIFY(test::waitFor(add, &CAddSubAccountDlg::callFinished));
    QCOMPARE(o.f.prompter.shown().size(), 1);
    QCOMPARE(o.column(1), (QStringList {"admin", "sales", "o'neil+1"}));
    QCOMPARE(o.column(0).last(), QStringLiteral("3"));
    QCOMPARE(o.column(4).last(), QStringLiteral("仓库 50%"));
    QCOMPARE(o.f.sim.password("8001", "o'neil+1").value_or(""), std::string("abcd1234"));
}

void MgrUserDlgTest::resetPassword_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("stored");
    QTest::newRow("nothing selected") << -1 << ""
                                      << "请选择要初始化密码的用户!"
                                      << "s12345";
    QTest::newRow("admin") << 0 << ""
                           << "请选中子帐号，不能在此修改admin帐号的密码!"
                           << "s12345";
    QTest::newRow("too long") << 1 << "abcdefghijk"
                              << "密码的长度不能小于6位，或大于10位!"
                              << "s12345";
    QTest::newRow("cancelled") << 1 << QString() << ""
                               << "s12345";
    QTest::newRow("no strength needed") << 1 << "aaaaaa"
                                        << "修改帐号密码成功"
                                        << "aaaaaa";
}

void MgrUserDlgTest::resetPassword()
{
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, stored);
    Opened o;
    QVERIFY(o.loaded);
    if (row >= 0)
        o.select(row);
    o.f.prompter.answerText(typed);
    o.dialog->onResetPasswordClicked();
    o.wait();
    QCOMPARE(o.f.prompter.lastText(), message);
    QCOMPARE(o.f.sim.password("8001", "sales").value_or(""), stored.toStdString());
}

void MgrUserDlgTest::remove_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("users");
    const QString question = QStringLiteral("您确认要删除此该用户？");
    QTest::newRow("nothing selected") << -1 << true << QStringList {"请选择要删除的用户!"}
                                      << QStringList {"admin", "sales"};
    QTest::newRow("cancelled") << 1 << false << QStringList {question} << QStringList {"admin", "sales"};
    QTest::newRow("admin after the question")
        << 0 << true << QStringList {question, "不能删除admin管理员用户!"} << QStringList {"admin", "sales"};
    QTest::newRow("removed") << 1 << true << QStringList {question} << QStringList {"admin"};
}

void MgrUserDlgTest::remove()
{
    QFETCH(int, row);
    QFETCH(bool, confirmed);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, users);
    Opened o;
    QVERIFY(o.loaded);
    if (row >= 0)
        o.select(row);
    o.f.prompter.answerQuestion(confirmed);
    o.dialog->onRemoveClicked();
    o.wait();
    QCOMPARE(o.f.prompter.texts(), texts);
    QCOMPARE(o.column(1), users);
    QCOMPARE(o.f.sim.users("8001").size(), std::size_t(users.size()));
}

void MgrUserDlgTest::distribute_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<bool>("adding");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QStringList>("stocks");
    const QStringList unchanged {"500", "40"};
    // The main user is not offered, so typing it is as good as a name that is not there.
    QTest::newRow("admin") << "admin"
                           << "1" << true << QStringLiteral("您输入的子帐号不存在，请重新选择或录入!") << unchanged;
    QTest::newRow("more than the stock") << "sales"
                                         << "501" << true << QStringLiteral("分配的数量不能大于可分配数量!")
                                         << unchanged;
    QTest::newRow("add") << "sales"
                         << "100" << true << QString() << QStringList {"400", "140"};
    // Taking back has no upper check here; the service decides.
    QTest::newRow("take back") << "sales"
                               << "30" << false << QString() << QStringList {"530", "10"};
}

void MgrUserDlgTest::distribute()
{
    QFETCH(QString, name);
    QFETCH(QString, amount);
    QFETCH(bool, adding);
    QFETCH(QString, refusal);
    QFETCH(QStringList, stocks);
    Opened o;
    QVERIFY(o.loaded);
    o.dialog->onDistributeClicked();
    auto* malloc = qobject_cast<CMallocSMSDlg*>(o.sub.data());
    QVERIFY(malloc);
    QCOMPARE(malloc->userBox()->count(), 1);
    QCOMPARE(malloc->stockLabel()->text(), QStringLiteral("可分配数量：500"));
    malloc->userBox()->setEditText(name);
    malloc->amountEdit()->setText(amount);
    (adding ? malloc->addButton() : malloc->takeBackButton())->setChecked(true);
    malloc->onOkClicked();
    if (refusal.isEmpty())
        QVERIFY(test::waitFor(malloc, &CMallocSMSDlg::callFinished));
    QCOMPARE(o.f.prompter.texts(), refusal.isEmpty() ? QStringList() : QStringList {refusal});
    QCOMPARE(o.column(3), stocks);
    QCOMPARE(QString::number(o.f.sim.stock("8001", "sales").value_or(-1)), stocks[1]);
}

QTEST_MAIN(MgrUserDlgTest)
#include "MgrUserDlgTest.moc"
