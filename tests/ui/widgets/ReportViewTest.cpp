#include "widgets/ReportView.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

using namespace telvora;

namespace {

enum Column { Pid, Number, Kind, Content, Day };

// Five records over three days; the key and the day columns are hidden.
void fill(ReportView& view)
{
    view.setColumns(
        {{"PID", 0, true, true}, {"序号", 40, false, true}, {"类型", 60}, {"内容", 150}, {"日期", 0, true}});
    const auto row = [](int id, const char* number, const char* kind, const char* content, const char* day) {
        return ReportRow {{QString::number(id), number, kind, content, day}, id};
    };
    view.setRows({
        row(1, "1", "普通发送", "hello world", "2024-01-02"),
        row(2, "2", "定时发送", "Happy New Year", "2024-01-01"),
        row(3, "10", "普通发送", "生日快乐", "2024-01-02"),
        row(4, "3", "普通发送", "HELLO again", "2024-01-01"),
        row(5, "4", "定时发送", "meeting 15", "2024-01-03"),
    });
}

QStringList headerTexts(const ReportView& view)
{
    QStringList texts;
    for (int r = 0; r < view.viewModel()->rowCount(); ++r)
        texts.append(view.viewModel()->index(r, 0).data().toString());
    return texts;
}

bool allGroupsExpanded(const ReportView& view)
{
    for (int g = 0; g < view.viewModel()->rowCount(); ++g) {
        if (!view.treeView()->isExpanded(view.viewModel()->index(g, 0)))
            return false;
    }
    return true;
}

// The view's index of a store row, looked for at the top level and inside groups.
QModelIndex viewIndexOf(const ReportView& view, int storeRow, int column)
{
    const QAbstractItemModel* model = view.viewModel();
    QVector<QModelIndex> parents {QModelIndex()};
    for (int g = 0; g < model->rowCount(); ++g)
        parents.append(model->index(g, 0));
    for (const QModelIndex& parent : parents) {
        for (int r = 0; r < model->rowCount(parent); ++r) {
            const QModelIndex index = model->index(r, column, parent);
            if (index.data(ReportModel::StoreRowRole).toInt() == storeRow)
                return index;
        }
    }
    return {};
}

} // namespace

class ReportViewTest : public QObject
{
    Q_OBJECT

private slots:
    void filterMatchesVisibleCells_data();
    void filterMatchesVisibleCells();
    void groupingCountsShownRows();
    void checksAndFocusSurviveFiltering();
    void sortingByValueAndOff();
    void appendingWhileGroupedNeedsNoReset();
    void recordsAreFoundByIdAfterTheListChanged_data();
    void recordsAreFoundByIdAfterTheListChanged();
    void removalKeepsSelectionAndFocus_data();
    void removalKeepsSelectionAndFocus();
    void moreRowsWantedAtEndOfList();
    void hundredThousandRows();
};

void ReportViewTest::filterMatchesVisibleCells_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QVector<int>>("shown");

    QTest::newRow("empty filter shows all") << QString() << QVector<int> {0, 1, 2, 3, 4};
    QTest::newRow("any case") << "hello" << QVector<int> {0, 3};
    QTest::newRow("part of a Chinese text") << "快乐" << QVector<int> {2};
    QTest::newRow("hidden day column not searched") << "2024" << QVector<int> {};
    QTest::newRow("hidden key column not searched") << "5" << QVector<int> {4};
}

void ReportViewTest::filterMatchesVisibleCells()
{
    QFETCH(QString, filter);
    QFETCH(QVector<int>, shown);
    ReportView view;
    fill(view);
    view.setFilterText(filter);
    QCOMPARE(view.shownRows(), shown);
}

void ReportViewTest::groupingCountsShownRows()
{
    ReportView view;
    fill(view);
    view.setGroupColumn(Day);
    // Groups in order of first appearance, each counting its rows.
    QCOMPARE(headerTexts(view), (QStringList {"日期: 2024-01-02 (2)", "日期: 2024-01-01 (2)", "日期: 2024-01-03 (1)"}));
    QCOMPARE(view.shownRows(), (QVector<int> {0, 2, 1, 3, 4}));
    QVERIFY(allGroupsExpanded(view));

    view.setFilterText("hello");
    QCOMPARE(headerTexts(view), (QStringList {"日期: 2024-01-02 (1)", "日期: 2024-01-01 (1)"}));
    // Groups that come back with the rows are open again.
    view.setFilterText(QString());
    QCOMPARE(view.viewModel()->rowCount(), 3);
    QVERIFY(allGroupsExpanded(view));

    // Rows fetched later join their groups; a group the user closed stays closed.
    view.treeView()->collapse(view.viewModel()->index(1, 0));
    view.appendRows(
        {ReportRow {{"6", "5", "", "late", "2024-01-01"}, 6}, ReportRow {{"7", "6", "", "", "2024-01-04"}, 7}});
    QCOMPARE(headerTexts(view),
        (QStringList {"日期: 2024-01-02 (2)", "日期: 2024-01-01 (3)", "日期: 2024-01-03 (1)", "日期: 2024-01-04 (1)"}));
    QVERIFY(!view.treeView()->isExpanded(view.viewModel()->index(1, 0)));
    QVERIFY(view.treeView()->isExpanded(view.viewModel()->index(3, 0)));

    view.setGroupColumn(-1);
    QCOMPARE(view.viewModel()->rowCount(), 7);
    QCOMPARE(view.viewModel()->rowCount(view.viewModel()->index(0, 0)), 0);
}

void ReportViewTest::checksAndFocusSurviveFiltering()
{
    ReportView view;
    fill(view);
    view.setCheckColumn(Number);
    view.setGroupColumn(Day);
    QSignalSpy ticked(&view, &ReportView::rowCheckToggled);
    // A tick in the grouped view names the store row; headers carry no check box.
    QVERIFY(view.viewModel()->setData(viewIndexOf(view, 3, Number), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(ticked.at(0), (QVariantList {3, true}));
    QVERIFY(!(view.viewModel()->index(0, Number).flags() & Qt::ItemIsUserCheckable));
    view.setGroupColumn(-1);
    view.setFocusedRow(3);

    view.setFilterText("hello");
    QCOMPARE(view.focusedRow(), 3);
    QCOMPARE(viewIndexOf(view, 3, Number).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    // While hidden the row is not focused, so a command on the focused row cannot hit it.
    view.setFilterText("定时");
    QCOMPARE(view.focusedRow(), -1);
    QCOMPARE(view.checkedRows(), QVector<int> {3});
    view.setFilterText(QString());
    QCOMPARE(view.focusedRow(), 3);
    QCOMPARE(view.checkedRows(), QVector<int> {3});

    view.invertChecks();
    QCOMPARE(view.checkedRows(), (QVector<int> {0, 1, 2, 4}));
    view.setAllChecked(false);
    QCOMPARE(view.checkedRows(), QVector<int> {});
}

void ReportViewTest::sortingByValueAndOff()
{
    ReportView view;
    fill(view);
    view.sortByColumn(Number, Qt::AscendingOrder);
    // As texts "10" would come between "1" and "2".
    QCOMPARE(view.shownRows(), (QVector<int> {0, 1, 3, 4, 2}));
    view.sortByColumn(-1, Qt::AscendingOrder);
    QCOMPARE(view.shownRows(), (QVector<int> {0, 1, 2, 3, 4}));
    view.sortByColumn(Number, Qt::AscendingOrder);
    view.appendRows({ReportRow {{"6", "0", "", "first by number", ""}, 6}});
    QCOMPARE(view.shownRows().first(), 5);

    // A list that keeps its own order (newest first, say) while blocks are appended.
    view.setSortingEnabled(false);
    QVERIFY(!view.isSortingEnabled());
    QCOMPARE(view.shownRows(), (QVector<int> {0, 1, 2, 3, 4, 5}));
    view.appendRows({ReportRow {{"7", "-1", "", "", ""}, 7}});
    QCOMPARE(view.shownRows().last(), 6);
    // Nor does a click on a header sort it.
    view.resize(400, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QHeaderView* header = view.treeView()->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
        QPoint(header->sectionViewportPosition(Number) + 5, header->height() / 2));
    QCOMPARE(view.shownRows(), (QVector<int> {0, 1, 2, 3, 4, 5, 6}));

    view.setSortingEnabled(true);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
        QPoint(header->sectionViewportPosition(Number) + 5, header->height() / 2));
    QCOMPARE(view.shownRows().first(), 6);
}

void ReportViewTest::appendingWhileGroupedNeedsNoReset()
{
    ReportView view;
    fill(view);
    view.setGroupColumn(Day);
    view.setFocusedRow(2);
    view.selectRows({1, 2});
    QSignalSpy resets(view.viewModel(), &QAbstractItemModel::modelReset);
    QSignalSpy inserts(view.viewModel(), &QAbstractItemModel::rowsInserted);

    view.appendRows({ReportRow {{"6", "5", "", "late", "2024-01-01"}, 6},
        ReportRow {{"7", "6", "", "", "2024-01-04"}, 7}, ReportRow {{"8", "7", "", "", "2024-01-02"}, 8}});

    QCOMPARE(resets.size(), 0);
    QVERIFY(inserts.size() >= 3);
    QCOMPARE(headerTexts(view),
        (QStringList {"日期: 2024-01-02 (3)", "日期: 2024-01-01 (3)", "日期: 2024-01-03 (1)", "日期: 2024-01-04 (1)"}));
    QCOMPARE(view.shownRows(), (QVector<int> {0, 2, 7, 1, 3, 5, 4, 6}));
    QVERIFY(allGroupsExpanded(view));
    QCOMPARE(view.selectedRows(), (QVector<int> {1, 2}));
    QCOMPARE(view.focusedRow(), 2);
    // The filter sees the new rows, and the grouping rebuilt from scratch agrees.
    view.setFilterText("late");
    QCOMPARE(view.shownRows(), QVector<int> {5});
    view.setFilterText(QString());
    view.setGroupColumn(-1);
    view.setGroupColumn(Day);
    QCOMPARE(view.shownRows(), (QVector<int> {0, 2, 7, 1, 3, 5, 4, 6}));
}

void ReportViewTest::recordsAreFoundByIdAfterTheListChanged_data()
{
    QTest::addColumn<int>("groupColumn");
    QTest::newRow("flat") << -1;
    QTest::newRow("grouped") << int(Day);
}

void ReportViewTest::recordsAreFoundByIdAfterTheListChanged()
{
    QFETCH(int, groupColumn);
    ReportView view;
    fill(view);
    view.setGroupColumn(groupColumn);
    QCOMPARE(view.rowOfRecord(4), 3);
    QCOMPARE(view.rowOfRecord(99), -1);

    // A delete command takes the ids before it asks ...
    view.selectRows({1, 3});
    const QVector<qint64> ids = view.recordIds(view.selectedRows());
    QCOMPARE(ids, (QVector<qint64> {2, 4}));
    // ... and while the question is open the list reloads newest first, with record 2 gone
    // and ids now held as texts, as read from the database.
    view.setRows({ReportRow {{"6"}, QStringLiteral("6")}, ReportRow {{"5"}, QStringLiteral("5")},
        ReportRow {{"4"}, QStringLiteral("4")}, ReportRow {{"3"}, QStringLiteral("3")},
        ReportRow {{"1"}, QStringLiteral("1")}});
    QCOMPARE(view.rowsOfRecords(ids), QVector<int> {2});

    // Blocks appended and rows removed keep the lookup right.
    view.appendRows({ReportRow {{"2"}, 2}, ReportRow {{"note"}, QStringLiteral("no id")}});
    QCOMPARE(view.rowOfRecord(2), 5);
    QCOMPARE(view.recordIds({5, 6}), QVector<qint64> {2});
    view.removeRows(view.rowsOfRecords({6, 4}));
    QCOMPARE(view.rowOfRecord(5), 0);
    QCOMPARE(view.rowOfRecord(2), 3);
    QCOMPARE(view.rowOfRecord(4), -1);
    view.setRowData(0, 50);
    QCOMPARE(view.rowOfRecord(50), 0);
    QCOMPARE(view.rowOfRecord(5), -1);
}

void ReportViewTest::removalKeepsSelectionAndFocus_data()
{
    QTest::addColumn<int>("groupColumn");
    QTest::addColumn<QVector<int>>("removed");
    QTest::addColumn<int>("firstKept");

    QVector<int> scattered;
    for (int r = 0; r < 200; r += 4)
        scattered.append(r);
    scattered.append({9999, -1, 0}); // out of range and repeated rows are ignored

    QTest::newRow("flat, one run") << -1 << QVector<int> {0, 1, 2} << 3;
    QTest::newRow("flat, many runs") << -1 << scattered << 1;
    QTest::newRow("grouped") << 2 << scattered << 1;
}

void ReportViewTest::removalKeepsSelectionAndFocus()
{
    QFETCH(int, groupColumn);
    QFETCH(QVector<int>, removed);
    QFETCH(int, firstKept);

    ReportView view;
    view.setColumns({{"id"}, {"text"}, {"group"}});
    QVector<ReportRow> data;
    for (int r = 0; r < 200; ++r)
        data.append(ReportRow {{QString::number(r), QStringLiteral("row %1").arg(r), QString::number(r % 7)}, r});
    view.setRows(data);
    view.setGroupColumn(groupColumn);
    view.setFocusedRow(199);
    view.selectRows({5, 199});

    view.removeRows(removed);

    QSet<int> gone(removed.cbegin(), removed.cend());
    gone.remove(9999);
    gone.remove(-1);
    QCOMPARE(view.rowCount(), 200 - gone.size());
    QVector<int> selectedIds;
    for (int row : view.selectedRows())
        selectedIds.append(view.rowData(row).toInt());
    QCOMPARE(selectedIds, (QVector<int> {5, 199}));
    QCOMPARE(view.rowData(view.focusedRow()).toInt(), 199);
    QCOMPARE(view.cell(0, 1), QStringLiteral("row %1").arg(firstKept));
}

void ReportViewTest::moreRowsWantedAtEndOfList()
{
    ReportView view;
    view.setColumns({{"n"}});
    view.setRows({ReportRow {{"1"}, {}}});
    view.resize(300, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QSignalSpy wanted(&view, &ReportView::moreRowsWanted);
    // A list too short to scroll asks at once.
    view.setMoreRowsAvailable(true);
    QTRY_COMPARE(wanted.count(), 1);

    QVector<ReportRow> rows;
    for (int r = 0; r < 300; ++r)
        rows.append(ReportRow {{QString::number(r)}, {}});
    view.appendRows(rows);
    QScrollBar* bar = view.treeView()->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 0);
    // Relayouts (sorting, filtering) away from the end ask for nothing.
    view.setFocusedRow(0);
    view.sortByColumn(0, Qt::AscendingOrder);
    view.setFilterText("1");
    view.setFilterText(QString());
    QCoreApplication::processEvents();
    QCOMPARE(wanted.count(), 1);

    bar->setValue(bar->maximum());
    QTRY_COMPARE(wanted.count(), 2);
    // One request until the view answers.
    bar->setValue(0);
    bar->setValue(bar->maximum());
    QCOMPARE(wanted.count(), 2);

    view.appendRows(rows);
    QTRY_VERIFY(bar->maximum() > bar->value());
    bar->setValue(bar->maximum());
    QTRY_COMPARE(wanted.count(), 3);

    view.setMoreRowsAvailable(false);
    bar->setValue(0);
    bar->setValue(bar->maximum());
    QCoreApplication::processEvents();
    QCOMPARE(wanted.count(), 3);
}

void ReportViewTest::hundredThousandRows()
{
    constexpr int kRows = 100000;
    ReportView view;
    view.setColumns({{"PID", 0, true}, {"号码"}, {"组"}, {"内容", 200}});
    QVector<ReportRow> rows;
    rows.reserve(kRows);
    for (int r = 0; r < kRows; ++r) {
        rows.append(ReportRow {{QString::number(r), QStringLiteral("138%1").arg(r, 8, 10, QChar('0')),
                                   QStringLiteral("组%1").arg(r % 10), QStringLiteral("内容 %1").arg(r)},
            r});
    }
    view.resize(400, 300);
    view.show();
    view.setRows(std::move(rows));
    QCOMPARE(view.viewModel()->rowCount(), kRows);

    view.setFilterText("13800099999");
    QCOMPARE(view.shownRows(), QVector<int> {99999});
    view.setFilterText(QString());
    view.setGroupColumn(2);
    QCOMPARE(view.viewModel()->rowCount(), 10);
    QCOMPARE(view.shownRows().size(), kRows);
    view.setGroupColumn(-1);
    view.sortByColumn(1, Qt::DescendingOrder);
    QCOMPARE(view.shownRows().first(), kRows - 1);
}

QTEST_MAIN(ReportViewTest)
#include "ReportViewTest.moc"
