#include "SendViewFixture.h"
#include "remind/RemindFixture.h"
#include "send/FolderNumberCache.h"
#include "send/SelCardDlg.h"
#include "send/SelCardFolderView.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <memory>

using namespace telvora;

namespace {

// Folder 1 "客户" (subfolder 2 "子目录") and folder 3 "其他". Of folder 1's cards, one is
// opted out and one has no mobile number; card 6 lives in 3 and is copied into 1.
void fillAddressBook(CADODataBase& db)
{
    for (const char* sql : {
             "INSERT INTO tbl_card_folder (id, name, sub_id) VALUES (1, '客户', 0), (2, '子目录', 1), (3, '其他', 0)",
             "INSERT INTO tbl_card (id, phone, name, folder_id, status) VALUES "
             "(1, '13800000001', '张三', 1, NULL), (2, '13800000002', '李四', 1, '退订'), "
             "(3, '18900000003', '', 1, '正常'), (4, '12345', '坏号', 1, NULL), "
             "(5, '13800000005', '子', 2, NULL), (6, '13000000006', '王五', 3, NULL)",
             "INSERT INTO tbl_card_copy (folder_id, card_id) VALUES (1, 6)",
         })
        QVERIFY2(db.Execute(sql), db.GetLastError().c_str());
}

QTreeWidgetItem* folderItem(QTreeWidget* tree, const QString& name)
{
    const QList<QTreeWidgetItem*> found = tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

QStringList captions(QTreeWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        out.append(list->topLevelItem(i)->text(0));
    return out;
}

QStringList rowsOf(const CSendList& list)
{
    QStringList out;
    for (const CSendList::Row& row : list.rows())
        out.append(QStringLiteral("%1|%2|%3")
                       .arg(QString::fromStdString(row.type), QString::fromStdString(row.resource))
                       .arg(row.count));
    return out;
}

// The picker beside a send view, wired as the main window wires them.
struct PickerFixture : test::SendViewFixture
{
    PickerFixture()
    {
        fillAddressBook(app->GetDatabase());
        picker = std::make_unique<CSelCardFolderView>(
            CSelCardFolderView::Dependencies {*app, prompter, hints, handOver, frame, cache});
        QObject::connect(picker.get(), &CSelCardFolderView::folderChecked, view.get(), &CSMSSendView::addFolderRow);
        QObject::connect(
            picker.get(), &CSelCardFolderView::folderUnchecked, view.get(), &CSMSSendView::removeFolderRows);
    }
    void check(const QString& folder, Qt::CheckState state)
    {
        folderItem(picker->folderTree(), folder)->setCheckState(0, state);
    }
    QStringList rows() const { return rowsOf(view->sendList()); }

    CFolderNumberCache cache;
    std::unique_ptr<CSelCardFolderView> picker;
};

} // namespace

class RecipientPickerTest : public QObject
{
    Q_OBJECT

private slots:
    void folderStatesAddAndRemoveRows();
    void recheckReusesNumbersUntilTheBookChanges();
    void copiedCardCountsInBothFolders();
    void checkedCardsBecomeManualRows();
    void searchAndReloadKeepState();
    void dialogCollectsChosenEntries();
    void dialogRemovalUnchecksBoxes();
    void dialogFailureStaysOpen();
};

void RecipientPickerTest::folderStatesAddAndRemoveRows()
{
    PickerFixture f;
    f.check(QStringLiteral("客户"), Qt::PartiallyChecked);
    QCOMPARE(captions(f.picker->cardList()), QStringList({"张三", "李四", "18900000003", "坏号", "王五"}));
    QVERIFY(f.rows().isEmpty());

    f.check(QStringLiteral("客户"), Qt::Checked);
    QCOMPARE(f.rows(), QStringList({"目录加载|客户|3"}));
    QCOMPARE(f.view->sendList().counts(), (CarrierCounts {1, 1, 1}));
    // Checking a folder lists nothing new; the cards of the partly checked state stay.
    QCOMPARE(f.picker->cardList()->topLevelItemCount(), 5);

    f.check(QStringLiteral("客户"), Qt::Unchecked);
    QVERIFY(f.rows().isEmpty());
    QCOMPARE(f.view->sendList().counts(), CarrierCounts {});
    QCOMPARE(f.picker->cardList()->topLevelItemCount(), 0);

    // The subfolder's box is its own; a manual row of the same text is not a folder row.
    f.check(QStringLiteral("子目录"), Qt::Checked);
    QCOMPARE(folderItem(f.picker->folderTree(), QStringLiteral("客户"))->checkState(0), Qt::Unchecked);
    f.view->numberBox()->setEditText(QStringLiteral("13800000009"));
    QTest::keyClick(f.view->numberBox()->lineEdit(), Qt::Key_Return);
    f.check(QStringLiteral("子目录"), Qt::PartiallyChecked);
    QCOMPARE(f.rows(), QStringList({"手工添加|13800000009|1"}));
}

void RecipientPickerTest::recheckReusesNumbersUntilTheBookChanges()
{
    PickerFixture f;
    CADODataBase& db = f.app->GetDatabase();
    f.check(QStringLiteral("客户"), Qt::Checked);
    f.check(QStringLiteral("客户"), Qt::Unchecked);
    // Renaming a table writes no row: only numbers kept from the first check can come back.
    QVERIFY(db.Execute("ALTER TABLE tbl_card RENAME TO tbl_card_gone"));
    f.check(QStringLiteral("客户"), Qt::Checked);
    QCOMPARE(f.rows(), QStringList({"目录加载|客户|3"}));
    QVERIFY(f.prompter.shown().isEmpty());

    f.check(QStringLiteral("客户"), Qt::Unchecked);
    QVERIFY(db.Execute("INSERT INTO tbl_inputphone (phone) VALUES ('13800000010')"));
    f.check(QStringLiteral("客户"), Qt::Checked);
    QCOMPARE(f.prompter.shown().size(), 1);
    QCOMPARE(f.prompter.shown().first().kind, PromptKind::Error);
    QVERIFY(f.rows().isEmpty());
    QCOMPARE(folderItem(f.picker->folderTree(), QStringLiteral("客户"))->checkState(0), Qt::Unchecked);

    QVERIFY(db.Execute("ALTER TABLE tbl_card_gone RENAME TO tbl_card"));
    QVERIFY(db.Execute("UPDATE tbl_card SET status = '退订' WHERE id = 1"));
    f.check(QStringLiteral("客户"), Qt::Checked);
    QCOMPARE(f.rows(), QStringList({"目录加载|客户|2"}));
}

void RecipientPickerTest::copiedCardCountsInBothFolders()
{
    PickerFixture f;
    f.check(QStringLiteral("客户"), Qt::Checked);
    f.check(QStringLiteral("其他"), Qt::Checked);
    QCOMPARE(f.rows(), QStringList({"目录加载|客户|3", "目录加载|其他|1"}));
    const std::vector<std::string> numbers = f.view->sendList().allNumbers();
    QCOMPARE(std::count(numbers.begin(), numbers.end(), "13000000006"), 2);
    QCOMPARE(f.view->totalLabel()->text(), QStringLiteral("合计[4]"));
    f.check(QStringLiteral("客户"), Qt::PartiallyChecked);
    QCOMPARE(f.rows(), QStringList({"目录加载|其他|1"}));
}

void RecipientPickerTest::checkedCardsBecomeManualRows()
{
    PickerFixture f;
    f.check(QStringLiteral("客户"), Qt::PartiallyChecked);
    f.picker->invertCardChecks();
    // An opted-out customer may still be picked by hand; a card without a mobile number not.
    f.picker->cardList()->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    f.picker->button(QStringLiteral("选中发送"))->click();
    QTRY_COMPARE(f.rows(), QStringList({"手工添加|13800000002|1", "手工添加|18900000003|1", "手工添加|13000000006|1"}));
    QVERIFY(f.handOver.singleNumbers().empty());

    f.picker->invertCardChecks();
    QCOMPARE(f.picker->cardList()->topLevelItem(0)->checkState(0), Qt::Checked);
    QCOMPARE(f.picker->cardList()->topLevelItem(1)->checkState(0), Qt::Unchecked);
    f.frame.leftPaneShown = true;
    f.picker->button(QStringLiteral("隐藏"))->click();
    QVERIFY(!f.frame.leftPaneShown);
}

void RecipientPickerTest::searchAndReloadKeepState()
{
    PickerFixture f;
    f.check(QStringLiteral("其他"), Qt::Checked);
    f.picker->showSearchResult(" WHERE name = '王五'");
    QCOMPARE(captions(f.picker->cardList()), QStringList({"王五"}));
    QCOMPARE(f.picker->cardList()->topLevelItem(0)->data(0, Qt::UserRole).toString(), QStringLiteral("13000000006"));

    QVERIFY(f.app->GetDatabase().Execute("INSERT INTO tbl_card_folder (id, name, sub_id) VALUES (4, '新目录', 0)"));
    f.hints.broadcast(HintBroadcaster::AddressBookChanged);
    QTRY_VERIFY(folderItem(f.picker->folderTree(), QStringLiteral("新目录")));
    QCOMPARE(folderItem(f.picker->folderTree(), QStringLiteral("其他"))->checkState(0), Qt::Checked);
    QCOMPARE(f.rows(), QStringList({"目录加载|其他|1"}));
    // Unchecking after the reload still takes the row out.
    f.check(QStringLiteral("其他"), Qt::Unchecked);
    QVERIFY(f.rows().isEmpty());
}

void RecipientPickerTest::dialogCollectsChosenEntries()
{
    test::RemindFixture f;
    fillAddressBook(f.db());
    CSelCardDlg dialog(f.db(), f.prompter);
    dialog.folderTree()->setCurrentItem(folderItem(dialog.folderTree(), QStringLiteral("客户")));
    // Only the folder's own cards, not its copies.
    QCOMPARE(captions(dialog.cardList()), QStringList({"张三", "李四", "18900000003", "坏号"}));
    dialog.cardList()->topLevelItem(1)->setCheckState(0, Qt::Checked);
    folderItem(dialog.folderTree(), QStringLiteral("其他"))->setCheckState(0, Qt::Checked);
    for (const char* typed : {"12345678901", "13900000009", "13000000006", "13900000009"}) {
        dialog.numberBox()->setEditText(QString::fromUtf8(typed));
        QTest::keyClick(dialog.numberBox()->lineEdit(), Qt::Key_Return);
    }
    QVERIFY(dialog.result() != QDialog::Accepted);
    QCOMPARE(dialog.chosenList()->count(), 4);
    QCOMPARE(f.scalar("SELECT group_concat(phone) FROM tbl_inputphone"), QStringLiteral("13900000009,13000000006"));
    QCOMPARE(dialog.numberBox()->count(), 2);

    dialog.accept();
    QCOMPARE(dialog.result(), static_cast<int>(QDialog::Accepted));
    QCOMPARE(dialog.picked().numbers, (std::vector<std::string> {"13000000006", "13900000009", "13800000002"}));
    QCOMPARE(QString::fromStdString(dialog.picked().text), QStringLiteral("李四;其他;13900000009;13000000006;"));
}

void RecipientPickerTest::dialogRemovalUnchecksBoxes()
{
    test::RemindFixture f;
    fillAddressBook(f.db());
    CSelCardDlg dialog(f.db(), f.prompter);
    QTreeWidgetItem* folder = folderItem(dialog.folderTree(), QStringLiteral("客户"));
    dialog.folderTree()->setCurrentItem(folder);
    folder->setCheckState(0, Qt::Checked);
    dialog.cardList()->topLevelItem(0)->setCheckState(0, Qt::Checked);
    dialog.chosenList()->item(0)->setSelected(true);
    dialog.chosenList()->item(1)->setSelected(true);
    dialog.removeSelected();
    QCOMPARE(dialog.chosenList()->count(), 0);
    QCOMPARE(folder->checkState(0), Qt::Unchecked);
    QCOMPARE(dialog.cardList()->topLevelItem(0)->checkState(0), Qt::Unchecked);

    // A card chosen in one folder shows checked when another folder lists it again.
    dialog.cardList()->topLevelItem(0)->setCheckState(0, Qt::Checked);
    dialog.folderTree()->setCurrentItem(folderItem(dialog.folderTree(), QStringLiteral("其他")));
    dialog.folderTree()->setCurrentItem(folder);
    QCOMPARE(dialog.cardList()->topLevelItem(0)->checkState(0), Qt::Checked);
    QCOMPARE(dialog.chosenList()->count(), 1);
}

void RecipientPickerTest::dialogFailureStaysOpen()
{
    test::RemindFixture f;
    fillAddressBook(f.db());
    CSelCardDlg dialog(f.db(), f.prompter);
    folderItem(dialog.folderTree(), QStringLiteral("客户"))->setCheckState(0, Qt::Checked);
    QVERIFY(f.execute("ALTER TABLE tbl_card RENAME TO tbl_card_gone"));
    dialog.accept();
    QVERIFY(dialog.result() != QDialog::Accepted);
    QCOMPARE(f.prompter.shown().size(), 1);
    QVERIFY(dialog.picked().numbers.empty());
}

QTEST_MAIN(RecipientPickerTest)
#include "RecipientPickerTest.moc"
