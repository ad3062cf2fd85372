#include "maintenance/DataBackupDlg.h"

#include "maintenance/MaintenanceFixture.h"
#include "maintenance/RestoreDlg.h"

#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QtTest>

using namespace telvora;

class DataBackupDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void localBackupProposesNameAndWrites();
    void serviceBackupNeedsLogin();
    void serviceBackupAndRestoreRoundTrip();
    void restoreChoiceHandsOver();
    void localRestoreChecksInOrder_data();
    void localRestoreChecksInOrder();
    void localRestoreReplacesTickedGroups();
    void foreignFileIsRefused();
    void recordsRestoreWaitsForTheSend();
    void browseTicksEveryGroup();
    void serviceRestoreNeedsLogin();
};

namespace {

QString backupOf(test::MaintenanceFixture& f, const char* name)
{
    const QString path = f.services().backupDirectory() + QString::fromUtf8(name);
    CDatabaseMaintenance maintenance = f.services().maintenance();
    return maintenance.Backup(path.toStdString()) == CDatabaseMaintenance::Result::Done ? path : QString();
}

QStringList ticked(const CRestoreDlg& dialog)
{
    QStringList captions;
    for (int i = 0; i < dialog.groupTree()->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = dialog.groupTree()->topLevelItem(i);
        if (item->checkState(0) == Qt::Checked)
            captions.append(item->text(0));
    }
    return captions;
}

} // namespace

void DataBackupDlgTest::localBackupProposesNameAndWrites()
{
    test::MaintenanceFixture f;
    QVERIFY(f.ready);
    const QString path = f.services().backupDirectory() + QStringLiteral("mine.db");
    f.prompter.answerSaveFile(path);
    CDataBackupDlg dialog(f.services(), false);
    dialog.onOkClicked();
    QCOMPARE(f.prompter.fileDialogs().size(), 1);
    const QString proposed = QFileInfo(f.prompter.fileDialogs().first().request.path).fileName();
    QVERIFY2(proposed.startsWith(QStringLiteral("8001 ")) && proposed.endsWith(QStringLiteral("备份数据.db")),
        qPrintable(proposed));
    QCOMPARE(f.prompter.texts(), QStringList {QStringLiteral("数据备份到本地目录[%1]成功!").arg(path)});
    CADODataBase copy;
    QVERIFY(copy.Open(path.toStdString()));
    CADORecordset cards(&copy);
    QVERIFY(cards.Open("SELECT phone FROM tbl_card") && !cards.IsEOF());
}

void DataBackupDlgTest::serviceBackupNeedsLogin()
{
    test::MaintenanceFixture f;
    f.session.loggedIn = false;
    CDataBackupDlg dialog(f.services(), false);
    dialog.serviceButton()->setChecked(true);
    dialog.onOkClicked();
    QCOMPARE(f.prompter.texts(), QStringList {"您尚未在线登录，不可以操作远程服务器备份！"});
    QVERIFY(!f.sim.backup("8001", "admin"));
}

void DataBackupDlgTest::serviceBackupAndRestoreRoundTrip()
{
    test::MaintenanceFixture f;
    QVERIFY(f.ready);
    CDataBackupDlg backup(f.services(), false);
    backup.serviceButton()->setChecked(true);
    backup.onOkClicked();
    QVERIFY(backup.isBusy());
    QVERIFY(test::waitFor(&backup, &CDataBackupDlg::transferFinished));
    QCOMPARE(f.prompter.texts(), QStringList {"备份数据到服务器成功完成!"});
    QVERIFY(f.sim.backup("8001", "admin"));

    QVERIFY(f.app->GetDatabase().Execute("DELETE FROM tbl_card"));
    CRestoreDlg restore(f.services(), true);
    QVERIFY(!restore.localButton()->isEnabled());
    QVERIFY(!restore.browseButton()->isEnabled());
    f.prompter.answerQuestion(true);
    restore.onOkClicked();
    QVERIFY(restore.isBusy());
    QVERIFY(test::waitFor(&restore, &CRestoreDlg::transferFinished));
    QCOMPARE(f.prompter.lastText(), QStringLiteral("数据资料恢复成功!"));
    QCOMPARE(f.cards(), 1);
    QCOMPARE(restore.result(), int(QDialog::Accepted));
    // The download's temporary copy is gone.
    const QStringList left = QDir(QString::fromStdString(f.app->GetApplicationDirectory()))
                                 .entryList({QStringLiteral("restore-*")}, QDir::Files);
    QVERIFY2(left.isEmpty(), qPrintable(left.join(',')));
}

void DataBackupDlgTest::restoreChoiceHandsOver()
{
    test::MaintenanceFixture f;
    CDataBackupDlg dialog(f.services(), true);
    QVERIFY(dialog.restoreButton()->isChecked());
    dialog.serviceButton()->setChecked(true);
    QSignalSpy chosen(&dialog, &CDataBackupDlg::restoreChosen);
    dialog.onOkClicked();
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen.first().first().toBool(), true);
    QVERIFY(f.prompter.shown().isEmpty());
}

void DataBackupDlgTest::localRestoreChecksInOrder_data()
{
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QString>("last");
    const QString question = QStringLiteral("数据恢复将覆盖您现有本地数据记录，是否继续？");
    QTest::newRow("question first") << false << false << question;
    QTest::newRow("a file must be chosen") << true << false << "请选择一个要从本地还原的备份数据文件!";
}

void DataBackupDlgTest::localRestoreChecksInOrder()
{
    QFETCH(bool, confirmed);
    QFETCH(bool, selected);
    QFETCH(QString, last);
    test::MaintenanceFixture f;
    QVERIFY(!backupOf(f, "a.db").isEmpty());
    CRestoreDlg dialog(f.services(), false);
    QCOMPARE(dialog.fileList()->count(), 1);
    QVERIFY(!dialog.serviceButton()->isEnabled());
    if (selected)
        dialog.fileList()->setCurrentRow(0);
    f.prompter.answerQuestion(confirmed);
    dialog.onOkClicked();
    QCOMPARE(f.prompter.lastText(), last);
    QCOMPARE(f.cards(), 1);
}

void DataBackupDlgTest::localRestoreReplacesTickedGroups()
{
    test::MaintenanceFixture f;
    QVERIFY(f.ready);
    const QString path = backupOf(f, "a.db");
    QVERIFY(!path.isEmpty());
    QVERIFY(f.app->GetDatabase().Execute("INSERT INTO tbl_card (id, phone, name) VALUES (2, '13900000002', '李四')"));
    QVERIFY(f.app->GetDatabase().Execute("INSERT INTO tbl_message (Title, Message) VALUES ('t', '保留')"));
    CRestoreDlg dialog(f.services(), false);
    QCOMPARE(ticked(dialog), QStringList {"客户资料"});
    dialog.fileList()->setCurrentRow(0);
    f.prompter.answerQuestion(true);
    dialog.onOkClicked();
    QCOMPARE(f.prompter.lastText(), QStringLiteral("数据资料恢复成功!"));
    QCOMPARE(f.cards(), 1);
    CADORecordset phrases(&f.app->GetDatabase());
    QVERIFY(phrases.Open("SELECT Message FROM tbl_message WHERE Message='保留'"));
    QVERIFY(!phrases.IsEOF());
}

void DataBackupDlgTest::foreignFileIsRefused()
{
    test::MaintenanceFixture f;
    QVERIFY(f.ready);
    QFile foreign(f.services().backupDirectory() + QStringLiteral("notes.db"));
    QVERIFY(foreign.open(QIODevice::WriteOnly));
    foreign.write("not a database at all");
    foreign.close();
    CRestoreDlg dialog(f.services(), false);
    dialog.fileList()->setCurrentRow(0);
    f.prompter.answerQuestion(true);
    dialog.onOkClicked();
    QCOMPARE(f.prompter.lastText(), QStringLiteral("无法打开恢复的数据库!"));
    QCOMPARE(f.cards(), 1);
    QVERIFY(dialog.isVisible() || dialog.result() != QDialog::Accepted);
}

void DataBackupDlgTest::recordsRestoreWaitsForTheSend()
{
    test::MaintenanceFixture f;
    QVERIFY(f.ready);
    QVERIFY(!backupOf(f, "a.db").isEmpty());
    QVERIFY(f.app->GetDatabase().Execute("DELETE FROM tbl_card"));
    f.sending = true;
    CRestoreDlg dialog(f.services(), false);
    // The send writes the records; the cards alone could go back meanwhile.
    dialog.groupTree()->topLevelItem(1)->setCheckState(0, Qt::Checked);
    dialog.fileList()->setCurrentRow(0);
    f.prompter.answerQuestion(true);
    dialog.onOkClicked();
    QCOMPARE(f.prompter.shown().last().kind, PromptKind::Error);
    QCOMPARE(f.prompter.lastText(), QStringLiteral("短信发送任务尚未完成，请等发送结束后再操作!"));
    QCOMPARE(f.cards(), 0);
    QVERIFY(dialog.result() != QDialog::Accepted);
}

void DataBackupDlgTest::browseTicksEveryGroup()
{
    test::MaintenanceFixture f;
    const QString path = backupOf(f, "elsewhere.db");
    f.prompter.answerOpenFile(path);
    CRestoreDlg dialog(f.services(), false);
    dialog.onBrowseClicked();
    QCOMPARE(dialog.fileList()->currentItem()->text(), path);
    QCOMPARE(ticked(dialog), (QStringList {"客户资料", "短信记录", "日常用语", "移动助理"}));
}

void DataBackupDlgTest::serviceRestoreNeedsLogin()
{
    test::MaintenanceFixture f;
    f.session.loggedIn = false;
    CRestoreDlg dialog(f.services(), true);
    f.prompter.answerQuestion(true);
    QSignalSpy finished(&dialog, &CRestoreDlg::transferFinished);
    dialog.onOkClicked();
    QVERIFY(finished.wait(10'000));
    QCOMPARE(f.prompter.lastText(), QStringLiteral("您尚未在线登陆,不可以远程恢复数据!"));
    QCOMPARE(f.cards(), 1);
}

QTEST_MAIN(DataBackupDlgTest)
#include "DataBackupDlgTest.moc"
