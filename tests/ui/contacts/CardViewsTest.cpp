#include "app/AppContext.h"
#include "app/HintBroadcaster.h"
#include "app/LoginGate.h"
#include "contacts/CardExportRunner.h"
#include "contacts/CardFolderView.h"
#include "contacts/CardListView.h"
#include "contacts/EditCardDlg.h"
#include "contacts/FieldCatalogue.h"
#include "contacts/FieldSetupDlg.h"
#include "contacts/FindCardDlg.h"
#include "contacts/ImportCardDlg.h"
#include "contacts/ImportGuideDlg.h"
#include "contacts/ProgressAdapter.h"
#include "contacts/SelCopyFolderDlg.h"
#include "core/contacts/XlsxFixture.h"
#include "db/ADORecordset.h"
#include "send/RecipientHandOver.h"
#include "support/RecordingFrame.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"
#include "widgets/PropertyGrid.h"
#include "widgets/ReportView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

using namespace telvora;

namespace {

CDataDirectory dataDirectory(const test::TempDir& temp)
{
    DataDirectoryInputs inputs;
    inputs.telvoraHome = temp.path().string();
    inputs.templateDirectory = TELVORA_TEST_TEMPLATE_DIR;
    CDataDirectory directory(inputs);
    directory.Prepare();
    return directory;
}

// The address book page on a fresh working database: the tree and the list, joined as
// the main window joins them.
struct Fixture
{
    Fixture()
    {
        app.OpenWorkDatabase("user.db");
        folders = std::make_unique<CCardFolderView>(CCardFolderView::Dependencies {app, prompter, hints, frame});
        list = std::make_unique<CCardListView>(CCardListView::Dependencies {app, prompter, hints, handOver, frame});
        QObject::connect(folders.get(), &CCardFolderView::folderSelected, list.get(), &CCardListView::showFolder);
    }
    void cards(long folderId, int count)
    {
        CADODataBase& db = app.GetDatabase();
        db.BeginTransaction();
        for (int i = 0; i < count; ++i) {
            const long id = app.GetNextCardId().Take(db);
            db.Execute("INSERT INTO tbl_card (id, phone, folder_id) VALUES (" + std::to_string(id) + ", '"
                + std::to_string(13800000000 + id) + "', " + std::to_string(folderId) + ")");
        }
        db.CommitTransaction();
    }
    QStringList tree() const
    {
        QStringList names;
        QTreeWidgetItemIterator it(folders->tree());
        for (; *it; ++it)
            names.append(QString((*it)->parent() ? "  " : "") + (*it)->text(0));
        return names;
    }
    void folder()
    {
        prompter.answerText(QStringLiteral("A"));
        folders->newFolder(false);
    }
    void select(int topLevel) { folders->tree()->setCurrentItem(folders->tree()->topLevelItem(topLevel)); }

    test::TempDir temp;
    CAppContext app {dataDirectory(temp)};
    LoginGate gate;
    HintBroadcaster hints {gate};
    ScriptedPrompter prompter;
    RecipientHandOver handOver;
    RecordingFrame frame {hints};
    std::unique_ptr<CCardFolderView> folders;
    std::unique_ptr<CCardListView> list;
};

// "text|date" of the first custom text and date columns of a card.
QString storedCustom(Fixture& f, long cardId)
{
    CADORecordset recordset(&f.app.GetDatabase());
    std::string text;
    std::string date;
    recordset.Open("SELECT custom1, custom9 FROM tbl_card WHERE id=" + std::to_string(cardId));
    if (recordset.IsEOF() || !recordset.GetFieldValue(0, text) || !recordset.GetFieldValue(1, date, "%Y-%m-%d"))
        return QStringLiteral("?");
    return QString::fromStdString(text + "|" + date);
}

// Every copy row as "folder:card".
QString copyRows(Fixture& f)
{
    QStringList rows;
    CADORecordset recordset(&f.app.GetDatabase());
    recordset.Open("SELECT folder_id, card_id FROM tbl_card_copy ORDER BY folder_id, card_id");
    for (; !recordset.IsEOF(); recordset.MoveNext()) {
        long folder = 0;
        long card = 0;
        recordset.GetFieldValue(0, folder);
        recordset.GetFieldValue(1, card);
        rows.append(QStringLiteral("%1:%2").arg(folder).arg(card));
    }
    return rows.join(QLatin1Char(' '));
}

} // namespace

class CardViewsTest : public QObject
{
    Q_OBJECT

private slots:
    void foldersAreMadeRenamedAndRefused()
    {
        Fixture f;
        f.folders->newFolder(true);
        QCOMPARE(f.prompter.lastText(), QStringLiteral("请先添加根目录!"));
        f.prompter.answerText(QStringLiteral("客户"));
        f.folders->newFolder(false);
        f.select(0);
        f.prompter.answerText(QStringLiteral("VIP"));
        f.folders->newFolder(true);
        QTRY_COMPARE(f.tree(), (QStringList {QStringLiteral("客户"), QStringLiteral("  VIP")}));

        f.prompter.answerText(QStringLiteral("vip"));
        f.folders->newFolder(false);
        QCOMPARE(f.prompter.lastText(), QStringLiteral("已存在同名目录!"));
        f.select(0);
        f.prompter.answerText(QStringLiteral("老客户"));
        f.folders->renameFolder();
        QCOMPARE(f.tree().front(), QStringLiteral("老客户"));

        f.prompter.answerQuestion(true);
        f.folders->deleteFolder();
        QTRY_COMPARE(f.tree(), QStringList());
        QCOMPARE(f.prompter.unexpectedQuestions(), 0);
    }

    void listReadsBlocksDeletesTickedAndClears()
    {
        Fixture f;
        f.folder();
        QTRY_COMPARE(f.folders->tree()->topLevelItemCount(), 1);
        f.cards(1, 1500);
        f.select(0);
        QCOMPARE(f.list->report()->rowCount(), 1000);
        QCOMPARE(f.list->labelText(), QStringLiteral("[2/1]共 1500条记录"));
        QCOMPARE(f.list->report()->cell(999, 1), QStringLiteral("1000"));
        f.list->loadNextBlock();
        QCOMPARE(f.list->report()->rowCount(), 1500);
        QCOMPARE(f.list->labelText(), QStringLiteral("[2/2]共 1500条记录"));

        f.list->report()->setChecked(0, true);
        f.list->report()->setChecked(1499, true);
        f.prompter.answerQuestion(false);
        f.list->deleteChecked();
        QCOMPARE(f.list->report()->rowCount(), 1500); // Cancel changes nothing
        f.prompter.answerQuestion(true);
        f.list->deleteChecked();
        QCOMPARE(f.list->labelText(), QStringLiteral("[2/1]共 1498条记录"));
        QCOMPARE(f.list->report()->cell(0, 2), QStringLiteral("13800000002"));

        f.prompter.answerQuestion(true);
        f.folders->clearFolder();
        QCOMPARE(f.list->report()->rowCount(), 0);
        QCOMPARE(f.list->labelText(), QStringLiteral("[0/0]共 0条记录"));
    }

    // The sample follows the chosen source and names the columns the import reads.
    void importHelpShowsTheLayoutOfTheChosenSource()
    {
        Fixture f;
        CImportCardDlg dialog(f.app, f.prompter, 1);
        QVERIFY(dialog.helpTable()->isHidden());
        dialog.setSource(CImportCardDlg::Spreadsheet);
        QVERIFY(!dialog.helpTable()->isHidden());
        QCOMPARE(dialog.helpTable()->horizontalHeaderItem(0)->text(), QStringLiteral("手机"));
        QCOMPARE(dialog.helpTable()->horizontalHeaderItem(2)->text(), QStringLiteral("组别"));
        dialog.setSource(CImportCardDlg::Text);
        QCOMPARE(dialog.helpTable()->columnCount(), 4);
        QCOMPARE(dialog.helpTable()->item(0, 2)->text(), QStringLiteral("男"));
        dialog.setSource(CImportCardDlg::VCard);
        QVERIFY(dialog.helpTable()->isHidden());
    }

    void importRunsOnAWorkerAndOffersTheFailures()
    {
        Fixture f;
        f.folder();
        QTRY_COMPARE(f.folders->tree()->topLevelItemCount(), 1);
        f.cards(1, 1); // 13800000001
        const QString file = QString::fromStdString(f.temp.file("cards.txt"));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        for (int i = 1; i <= 3000; ++i)
            out.write(QByteArray::number(13800000000LL + i) + ",name\n");
        out.close();

        CImportCardDlg dialog(f.app, f.prompter, 1);
        dialog.setSource(CImportCardDlg::Text);
        QSignalSpy finished(&dialog, &CImportCardDlg::importFinished);
        f.prompter.answerOpenFile(file);
        f.prompter.answerQuestion(true);
        const QString failures = QString::fromStdString(f.temp.file("failed.txt"));
        f.prompter.answerSaveFile(failures);
        dialog.startImport();
        QVERIFY(finished.wait(60000));
        QCOMPARE(f.prompter.shown().front().text,
            QStringLiteral("导入成功客户数[2999],错误或重复号码数[1],是否导出失败或重复的号码清单?"));
        QVERIFY(dialog.imported());
        QFile list(failures);
        QVERIFY(list.open(QIODevice::ReadOnly));
        QCOMPARE(list.readAll(), QByteArray("13800000001\n"));
        f.select(0);
        QCOMPARE(f.list->labelText(), QStringLiteral("[3/1]共 3000条记录"));
    }

    void editorSavesAddsRepeatedlyAndRefuses()
    {
        Fixture f;
        f.folder();
        CEditCardDlg dialog(f.app, f.prompter, 1, QStringLiteral("A"));
        dialog.autoTitleButton()->setChecked(true);
        dialog.nameEdit()->setText(QStringLiteral("王芳"));
        dialog.femaleButton()->click();
        QCOMPARE(dialog.titleEdit()->text(), QStringLiteral("王小姐"));
        dialog.repeatBox()->setChecked(true);
        QCOMPARE(dialog.saveButton()->text(), QStringLiteral("保存并增加"));
        dialog.phoneEdit()->setText(QStringLiteral("13800138000"));
        dialog.birthdayEdit()->setDate(QDate(1990, 5, 3));
        dialog.save();
        QVERIFY(dialog.saved());
        QCOMPARE(dialog.phoneEdit()->text(), QString());
        QCOMPARE(dialog.birthdayEdit()->date(), QDate(1990, 5, 3));
        dialog.phoneEdit()->setText(QStringLiteral("13800138000"));
        dialog.save();
        QCOMPARE(f.prompter.lastText(), QStringLiteral("添加客户资料失败，手机号码不能重复!"));

        CEditCardDlg edit(f.app, f.prompter, 1, false);
        QCOMPARE(edit.nameEdit()->text(), QStringLiteral("王芳"));
        QVERIFY(edit.femaleButton()->isChecked());
        QCOMPARE(edit.birthdayEdit()->date(), QDate(1990, 5, 3));
        edit.birthdayEdit()->setDate(QDate(1900, 1, 1));
        edit.save();
        QCOMPARE(edit.result(), int(QDialog::Accepted));
        f.select(0);
        QCOMPARE(f.list->labelText(), QStringLiteral("[1/1]共 1条记录"));
        QCOMPARE(f.list->report()->cell(0, 9), QString()); // no birthday any more
    }

    void editorStoresCustomFieldsAndAdditionalFolders()
    {
        Fixture f;
        f.folder();
        f.prompter.answerText(QStringLiteral("B"));
        f.folders->newFolder(false);
        f.app.GetDatabase().Execute("UPDATE tbl_field_info SET ValidFlag=1 WHERE id IN (16, 24)");
        CEditCardDlg dialog(f.app, f.prompter, 1, QStringLiteral("A"));
        CPropertyGrid* grid = dialog.customGrid();
        QCOMPARE(grid->keys(), (QStringList {QStringLiteral("custom1"), QStringLiteral("custom9")}));
        grid->setText(QStringLiteral("custom1"), QStringLiteral("O'Neil 100%"));
        grid->setDate(QStringLiteral("custom9"), QDate(2024, 2, 29));
        // Home folder 1 as well as folder 2: only folder 2 gains a copy.
        QTimer::singleShot(0, &dialog, [] {
            auto* picker = qobject_cast<CSelCopyFolderDlg*>(QApplication::activeModalWidget());
            QVERIFY(picker);
            picker->tree()->topLevelItem(0)->setCheckState(0, Qt::Checked);
            picker->tree()->topLevelItem(1)->setCheckState(0, Qt::Checked);
            picker->accept();
        });
        dialog.foldersButton()->click();
        QCOMPARE(dialog.additionalFolders(), (std::vector<long> {1, 2}));
        dialog.phoneEdit()->setText(QStringLiteral("13800138000"));
        dialog.repeatBox()->setChecked(true);
        dialog.save();
        QVERIFY(dialog.saved());
        QCOMPARE(grid->text(QStringLiteral("custom1")), QString()); // emptied for the next card
        QCOMPARE(grid->date(QStringLiteral("custom9")), QDate(2024, 2, 29));
        QCOMPARE(storedCustom(f, 1), QStringLiteral("O'Neil 100%|2024-02-29"));
        QCOMPARE(copyRows(f), QStringLiteral("2:1"));

        CEditCardDlg shown(f.app, f.prompter, 1, true);
        QCOMPARE(shown.customGrid()->text(QStringLiteral("custom1")), QStringLiteral("O'Neil 100%"));
        QCOMPARE(shown.customGrid()->date(QStringLiteral("custom9")), QDate(2024, 2, 29));
        QVERIFY(shown.customGrid()->isReadOnly());
        QVERIFY(!shown.foldersButton()->isEnabled());
        QVERIFY(!shown.saveButton()->isEnabled());
    }

    void tickedNumbersGoToTheSendPage()
    {
        Fixture f;
        f.folder();
        QTRY_COMPARE(f.folders->tree()->topLevelItemCount(), 1);
        f.app.GetDatabase().Execute("INSERT INTO tbl_card (id, phone, folder_id) VALUES (1, '13800000001', 1), "
                                    "(2, '13000000002', 1), (3, '18900000003', 1)");
        f.select(0);
        f.list->addCheckedToSend(0);
        QCOMPARE(f.prompter.lastText(), QStringLiteral("请先选中需要发送短信的客户!"));
        f.list->report()->setAllChecked(true);
        f.list->addCheckedToSend(2);
        QCOMPARE(f.handOver.recipients(), std::vector<std::string> {"13000000002"});
        QCOMPARE(f.frame.pages, QStringList {QStringLiteral("短信群发")});
        CarrierCounts counts;
        f.handOver.takeRecipients(counts);
        f.list->addCheckedToSend(0);
        QCOMPARE(f.handOver.takeRecipients(counts).size(), std::size_t(3));
        QCOMPARE(counts.mobile + counts.unicom + counts.telecom, std::size_t(3));
    }

    void fieldSetupKeepsSystemFields()
    {
        Fixture f;
        CFieldSetupDlg dialog(f.app.GetDatabase(), f.prompter);
        dialog.toggleActive();
        QCOMPARE(f.prompter.lastText(), QStringLiteral("请先选择一个需要修改的字段!"));
        dialog.report()->setFocusedRow(0);
        QVERIFY(!dialog.activeButton()->isEnabled());
        QVERIFY(!dialog.shownButton()->isEnabled());
        dialog.report()->setFocusedRow(15); // custom1
        QVERIFY(dialog.activeButton()->isEnabled());
        dialog.toggleActive();
        QCOMPARE(dialog.activeButton()->text(), QStringLiteral("不激活字段"));
        f.prompter.answerText(QStringLiteral("等级 [A]"));
        dialog.renameField();
        dialog.toggleShown();
        QVERIFY(dialog.changed());
        const auto fields = CFieldCatalogue(f.app.GetDatabase()).ListFields();
        QCOMPARE(QString::fromStdString(fields.back().caption), QStringLiteral("等级 [A]"));
    }

    void findDialogBuildsTheSearch()
    {
        Fixture f;
        f.folder();
        QTRY_COMPARE(f.folders->tree()->topLevelItemCount(), 1);
        f.app.GetDatabase().Execute("INSERT INTO tbl_card (id, phone, folder_id, name, birtyday) VALUES "
                                    "(1, '13800000001', 1, '王一', '1990-12-31'), (2, '13800000002', 1, '李二', NULL)");
        f.select(0);
        CFindCardDlg dialog(f.app.GetDatabase(), f.prompter, 1, QStringLiteral("A"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("客户搜索：A"));
        dialog.search();
        QCOMPARE(f.prompter.lastText(), QStringLiteral("请先选择一个查询条件再搜索!"));
        QCOMPARE(dialog.result(), 0);

        dialog.monthDayBox()->setChecked(true);
        QVERIFY(!dialog.monthBox()->isEnabled());
        dialog.rangeBox()->setChecked(true);
        dialog.birthdayFrom()->setDate(QDate(2026, 12, 1));
        dialog.birthdayTo()->setDate(QDate(2026, 12, 31));
        dialog.search();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        f.list->showSearchResult(dialog.whereClause());
        QCOMPARE(f.list->labelText(), QStringLiteral("共搜索到 1条记录"));
        QCOMPARE(f.list->report()->cell(0, 3), QStringLiteral("王一"));

        f.list->filterCards(QStringLiteral("nothing"));
        QCOMPARE(f.list->report()->shownRows().size(), 0);
        f.select(0);
        f.folders->tree()->setCurrentItem(nullptr);
        f.select(0);
        QCOMPARE(f.list->report()->rowCount(), 2); // choosing the folder ends the search
    }

    void quickFilterRefiltersOnlyWhenTheTextChanges()
    {
        Fixture f;
        f.folder();
        QTRY_COMPARE(f.folders->tree()->topLevelItemCount(), 1);
        f.cards(1, 12); // 13800000001 .. 13800000012
        f.select(0);
        QCOMPARE(f.list->report()->rowCount(), 12);
        QAbstractItemModel* shown = f.list->report()->viewModel();
        int changes = 0;
        const auto count = [&changes]() { ++changes; };
        connect(shown, &QAbstractItemModel::layoutChanged, this, count);
        connect(shown, &QAbstractItemModel::modelReset, this, count);
        connect(shown, &QAbstractItemModel::rowsRemoved, this, count);
        connect(shown, &QAbstractItemModel::rowsInserted, this, count);

        f.list->filterCards(QStringLiteral("1380000001"));
        QCOMPARE(f.list->report()->shownRows().size(), 3); // ...10, ...11, ...12
        QVERIFY(changes > 0);
        changes = 0;
        f.list->filterCards(QStringLiteral("1380000001"));
        QCOMPARE(changes, 0);
        f.list->filterCards(QString());
        QCOMPARE(f.list->report()->shownRows().size(), 12);
    }

    void wizardImportsIntoASubfolderNamedAfterTheFile()
    {
        Fixture f;
        f.folder();
        QTRY_COMPARE(f.folders->tree()->topLevelItemCount(), 1);
        f.cards(1, 1); // 13800000001, kept and listed in the new folder too
        const std::string path = f.temp.file("新客户.xlsx");
        {
            test::XlsxFixture xlsx(path);
            xlsx.sheet("first").text(0, 0, "x").sheet("客户");
            xlsx.text(0, 0, "号码").text(0, 1, "姓名").text(0, 2, "生日");
            xlsx.text(1, 0, "13800000001").text(1, 1, "old").text(1, 2, "1990-5-3");
            xlsx.text(2, 0, "13800000002").text(2, 1, "new").text(2, 2, "bad");
        }
        CImportGuideDlg wizard(f.app.GetDatabase(), f.prompter);
        QVERIFY(wizard.openFile(QString::fromStdString(path)));
        wizard.sheetBox()->setCurrentIndex(1);
        QCOMPARE(wizard.preview()->item(0, 1)->text(), QStringLiteral("old"));
        wizard.finish();
        QCOMPARE(f.prompter.lastText(), QStringLiteral("[手机]列不能为空!"));
        wizard.mapField(0, 0);
        QCOMPARE(wizard.preview()->item(1, 7)->text(), QStringLiteral("NULL")); // 生日 of "bad"
        wizard.finish();
        QCOMPARE(wizard.result(), int(QDialog::Accepted));

        CImportCardDlg dialog(f.app, f.prompter, 1);
        QSignalSpy finished(&dialog, &CImportCardDlg::importFinished);
        f.prompter.answerQuestion(false);
        dialog.importWizardChoice(wizard.choice());
        QVERIFY(finished.wait(60000));
        QCOMPARE(f.prompter.lastText(),
            QStringLiteral("导入成功客户数[1],错误或重复号码数[1],是否导出失败或重复的号码清单?"));
        f.folders->reload();
        QCOMPARE(f.tree(), (QStringList {QStringLiteral("A"), QStringLiteral("  新客户")}));
        f.folders->tree()->setCurrentItem(f.folders->tree()->topLevelItem(0)->child(0));
        QCOMPARE(f.list->labelText(), QStringLiteral("[1/1]共 2条记录"));
    }

    void exportWithoutRowsIsRefused()
    {
        Fixture f;
        f.list->exportRows(true);
        QCOMPARE(f.prompter.lastText(), QStringLiteral("没有可导出的客户资料!"));
        f.list->deleteChecked();
        QCOMPARE(f.prompter.lastText(), QStringLiteral("请先选择要操作的目录!"));
    }
    // Both folder exports, from the tree and from the list, go through a worker.
    void folderExportRunsOnAWorker_data()
    {
        QTest::addColumn<bool>("fromTree");
        QTest::addColumn<QString>("message");
        QTest::newRow("tree") << true << QStringLiteral("导出目录[A]客户资料成功");
        QTest::newRow("list") << false << QStringLiteral("导出目录客户资料成功");
    }
    void folderExportRunsOnAWorker()
    {
        QFETCH(bool, fromTree);
        QFETCH(QString, message);
        Fixture f;
        f.folder();
        f.select(0);
        const long folderId = f.folders->currentFolderId();
        f.cards(folderId, 3);
        f.folders->tree()->setCurrentItem(nullptr);
        f.select(0);
        const QString path = QString::fromStdString((f.temp.path() / "cards.csv").string());
        f.prompter.answerSaveFile(path);
        CCardExportRunner* runner = fromTree ? f.folders->exportRunner() : f.list->exportRunner();
        QSignalSpy finished(runner, &CCardExportRunner::finished);
        if (fromTree)
            f.folders->exportCards(false);
        else
            f.list->exportRows(false);
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(f.prompter.lastText(), message);
        QVERIFY(f.frame.progressEnded);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().trimmed().split('\n').size(), 4); // the captions and three cards
    }

    void cancelledExportLeavesNoFile()
    {
        Fixture f;
        f.folder();
        f.select(0);
        f.cards(f.folders->currentFolderId(), 1500);
        const QString path = QString::fromStdString((f.temp.path() / "cards.xlsx").string());
        f.prompter.answerSaveFile(path);
        CCardExportRunner* runner = f.folders->exportRunner();
        // Stopped from the worker's first report, so the export is surely still under way.
        QObject::connect(runner->progressAdapter(), &CProgressAdapter::progressReported, runner,
            &CCardExportRunner::cancel, Qt::DirectConnection);
        QSignalSpy finished(runner, &CCardExportRunner::finished);
        f.folders->exportCards(true);
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(f.prompter.lastText(), QStringLiteral("导出所有客户资料已取消"));
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_MAIN(CardViewsTest)
#include "CardViewsTest.moc"
