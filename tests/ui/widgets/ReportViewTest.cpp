#include "widgets/ReportView.h"

#include <QFont>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QTreeView>

using namespace telvora;

namespace {

enum Column { Pid, Number, Kind, Content, Day };

ReportRow makeRow(int id, const QString& number, const QString& kind, const QString& content, const QString& day)
{
    ReportRow row;
    row.cells = {QString::number(id), number, kind, content, day};
    row.data = id;
    return row;
}

// Five records over three days; the key and the day columns are hidden.
void fill(ReportView& view)
{
    view.setColumns({
        {QStringLiteral("PID"), 0, true, true},
        {QStringLiteral("序号"), 40, false, true},
        {QStringLiteral("类型"), 60, false, false},
        {QStringLiteral("内容"), 150, false, false},
        {QStringLiteral("日期"), 0, true, false},
    });
    view.setRows({
        makeRow(1, "1", "普通发送", "hello world", "2024-01-02"),
        makeRow(2, "2", "定时发送", "Happy New Year", "2024-01-01"),
        makeRow(3, "10", "普通发送", "生日快乐", "2024-01-02"),
        makeRow(4, "3", "普通发送", "HELLO again", "2024-01-01"),
        makeRow(5, "4", "定时发送", "meeting 15", "2024-01-03"),
    });
}

QStringList headerTexts(const ReportView& view)
{
    QStringList texts;
    const QAbstractItemModel* model = view.viewModel();
    for (int r = 0; r < model->rowCount(); ++r)
        texts.append(model->index(r, 0).data().toString());
    return texts;
}

QModelIndex viewIndexOf(const ReportView& view, int storeRow, int column)
{
    const QAbstractItemModel* model = view.viewModel();
    const auto search = [&](const QModelIndex& parent) -> QModelIndex {
        for (int r = 0; r < model->rowCount(parent); ++r) {
            const QModelIndex index = model->index(r, column, parent);
            if (index.data(ReportModel::StoreRowRole).toInt() == storeRow)
                return index;
        }
        return {};
    };
    const QModelIndex top = search({});
    if (top.isValid())
        return top;
    for (int g = 0; g < model->rowCount(); ++g) {
        const QModelIndex child = search(model->index(g, 0));
        if (child.isValid())
            return child;
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
    void groupingShowsCountsAndComesOff();
    void filterWhileGroupedCountsShownRows();
    void checksAndFocusSurviveFiltering();
    void userTickReportsStoreRow();
    void numericColumnSortsByValue();
    void selectionReturnsStoreRows();
    void boldAndIconRoles();
    void removalKeepsSelectionAndFocus_data();
    void removalKeepsSelectionAndFocus();
    void appendWhileGroupedKeepsCollapsedGroups();
    void editingGroupCellMovesRow();
    void moreRowsWantedAtEndOfList();
    void shortListAsksForMoreAtOnce();
    void hundredThousandRows();
};

void ReportViewTest::filterMatchesVisibleCells_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QVector<int>>("shown");

    QTest::newRow("empty filter shows all") << QString() << QVector<int> {0, 1, 2, 3, 4};
    QTest::newRow("any case") << "hello" << QVector<int> {0, 3};
    QTest::newRow("another column") << "定时" << QVector<int> {1, 4};
    QTest::newRow("part of a Chinese text") << "快乐" << QVector<int> {2};
    QTest::newRow("digits of a visible cell") << "10" << QVector<int> {2};
    QTest::newRow("hidden day column not searched") << "2024" << QVector<int> {};
    QTest::newRow("hidden key column not searched") << "5" << QVector<int> {4};
    QTest::newRow("no match") << "zzz" << QVector<int> {};
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

void ReportViewTest::groupingShowsCountsAndComesOff()
{
    ReportView view;
    fill(view);
    view.setGroupColumn(Day);

    // Groups in order of first appearance, each counting its rows.
    QCOMPARE(headerTexts(view), (QStringList {"日期: 2024-01-02 (2)", "日期: 2024-01-01 (2)", "日期: 2024-01-03 (1)"}));
    QCOMPARE(view.shownRows(), (QVector<int> {0, 2, 1, 3, 4}));
    for (int g = 0; g < 3; ++g)
        QVERIFY(view.treeView()->isExpanded(view.viewModel()->index(g, 0)));
    QCOMPARE(view.rowCount(), 5);

    view.setGroupColumn(-1);
    QCOMPARE(view.groupColumn(), -1);
    QCOMPARE(view.viewModel()->rowCount(), 5);
    QCOMPARE(view.shownRows(), (QVector<int> {0, 1, 2, 3, 4}));
    QCOMPARE(view.viewModel()->rowCount(view.viewModel()->index(0, 0)), 0);
}

void ReportViewTest::filterWhileGroupedCountsShownRows()
{
    ReportView view;
    fill(view);
    view.setGroupColumn(Day);
    view.setFilterText("hello");
    QCOMPARE(headerTexts(view), (QStringList {"日期: 2024-01-02 (1)", "日期: 2024-01-01 (1)"}));
    QCOMPARE(view.shownRows(), (QVector<int> {0, 3}));

    // Groups that come back with the rows are open again.
    view.setFilterText(QString());
    QCOMPARE(view.viewModel()->rowCount(), 3);
    for (int g = 0; g < 3; ++g)
        QVERIFY(view.treeView()->isExpanded(view.viewModel()->index(g, 0)));
}

void ReportViewTest::checksAndFocusSurviveFiltering()
{
    ReportView view;
    fill(view);
    view.setCheckColumn(Number);
    view.setChecked(3, true);
    view.setFocusedRow(3);
    QCOMPARE(view.focusedRow(), 3);

    view.setFilterText("hello");
    QCOMPARE(view.focusedRow(), 3);
    QCOMPARE(viewIndexOf(view, 3, Number).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));

    // While hidden the row is not focused, so a command on the focused row cannot hit it.
    view.setFilterText("定时");
    QCOMPARE(view.focusedRow(), -1);
    QCOMPARE(view.checkedRows(), QVector<int> {3});

    view.setFilterText(QString());
    QCOMPARE(view.focusedRow(), 3);
    QVERIFY(view.isChecked(3));
    QCOMPARE(view.checkedRows(), QVector<int> {3});

    view.invertChecks();
    QCOMPARE(view.checkedRows(), (QVector<int> {0, 1, 2, 4}));
    view.setAllChecked(false);
    QCOMPARE(view.checkedRows(), QVector<int> {});
}

void ReportViewTest::userTickReportsStoreRow()
{
    ReportView view;
    fill(view);
    view.setCheckColumn(Number);
    view.setGroupColumn(Day);
    view.sortByColumn(Number, Qt::DescendingOrder);
    QSignalSpy ticked(&view, &ReportView::rowCheckToggled);

    const QModelIndex index = viewIndexOf(view, 3, Number);
    QVERIFY(index.isValid());
    QVERIFY(index.flags() & Qt::ItemIsUserCheckable);
    QVERIFY(view.viewModel()->setData(index, Qt::Checked, Qt::CheckStateRole));

    QCOMPARE(ticked.count(), 1);
    QCOMPARE(ticked.at(0).at(0).toInt(), 3);
    QCOMPARE(ticked.at(0).at(1).toBool(), true);
    QCOMPARE(view.checkedRows(), QVector<int> {3});
    // Headers carry no check box.
    QVERIFY(!(view.viewModel()->index(0, Number).flags() & Qt::ItemIsUserCheckable));
}

void ReportViewTest::numericColumnSortsByValue()
{
    ReportView view;
    fill(view);
    view.sortByColumn(Number, Qt::AscendingOrder);
    // As texts "10" would come between "1" and "2".
    QCOMPARE(view.shownRows(), (QVector<int> {0, 1, 3, 4, 2}));
    view.sortByColumn(Content, Qt::AscendingOrder);
    QCOMPARE(view.cell(view.shownRows().first(), Content), QString("Happy New Year"));
    view.sortByColumn(-1, Qt::AscendingOrder);
    QCOMPARE(view.shownRows(), (QVector<int> {0, 1, 2, 3, 4}));
}

void ReportViewTest::selectionReturnsStoreRows()
{
    ReportView view;
    fill(view);
    view.sortByColumn(Number, Qt::DescendingOrder); // rows 2, 4, 3, 1, 0
    QItemSelectionModel* selection = view.treeView()->selectionModel();
    const QAbstractItemModel* model = view.viewModel();
    selection->select(model->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection->select(model->index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QCOMPARE(view.selectedRows(), (QVector<int> {2, 4}));

    view.setGroupColumn(Day);
    QCOMPARE(view.selectedRows(), (QVector<int> {2, 4}));
    view.selectRows({0, 1, 3});
    QCOMPARE(view.selectedRows(), (QVector<int> {0, 1, 3}));

    // Filtering drops hidden rows from the selection.
    view.setFilterText("hello");
    QCOMPARE(view.selectedRows(), (QVector<int> {0, 3}));
}

void ReportViewTest::boldAndIconRoles()
{
    ReportView view;
    fill(view);
    view.setIconColumn(Number);
    const QIcon icon = view.style()->standardIcon(QStyle::SP_MessageBoxInformation);
    view.setBold(1, true);
    view.setIcon(1, icon);

    const QModelIndex bold = viewIndexOf(view, 1, Content);
    QVERIFY(bold.data(Qt::FontRole).value<QFont>().bold());
    QVERIFY(!viewIndexOf(view, 0, Content).data(Qt::FontRole).value<QFont>().bold());
    QVERIFY(!viewIndexOf(view, 1, Number).data(Qt::DecorationRole).value<QIcon>().isNull());
    QVERIFY(!viewIndexOf(view, 1, Content).data(Qt::DecorationRole).isValid());
    QVERIFY(!viewIndexOf(view, 0, Number).data(Qt::DecorationRole).isValid());

    view.setBold(1, false);
    QVERIFY(!viewIndexOf(view, 1, Content).data(Qt::FontRole).value<QFont>().bold());
    QCOMPARE(view.rowData(4), QVariant(5));
    QCOMPARE(view.findRow(4), 3);
}

void ReportViewTest::removalKeepsSelectionAndFocus_data()
{
    QTest::addColumn<int>("groupColumn");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QVector<int>>("removed");

    QVector<int> scattered;
    for (int r = 0; r < 200; r += 4)
        scattered.append(r);
    scattered.append({9999, -1, 0}); // out of range and repeated rows are ignored

    QTest::newRow("flat, one run") << -1 << 200 << QVector<int> {0, 1, 2};
    QTest::newRow("flat, many runs") << -1 << 200 << scattered;
    QTest::newRow("grouped") << 2 << 200 << scattered;
}

void ReportViewTest::removalKeepsSelectionAndFocus()
{
    QFETCH(int, groupColumn);
    QFETCH(int, rows);
    QFETCH(QVector<int>, removed);

    ReportView view;
    view.setColumns({{"id"}, {"text"}, {"group"}});
    QVector<ReportRow> data;
    for (int r = 0; r < rows; ++r)
        data.append(ReportRow {{QString::number(r), QStringLiteral("row %1").arg(r), QString::number(r % 7)}, r});
    view.setRows(data);
    view.setGroupColumn(groupColumn);
    view.setFocusedRow(199);
    view.selectRows({5, 199});

    view.removeRows(removed);

    QSet<int> gone(removed.cbegin(), removed.cend());
    gone.remove(9999);
    gone.remove(-1);
    QCOMPARE(view.rowCount(), rows - gone.size());
    QVector<int> selectedIds;
    for (int row : view.selectedRows())
        selectedIds.append(view.rowData(row).toInt());
    QCOMPARE(selectedIds, (QVector<int> {5, 199}));
    QCOMPARE(view.rowData(view.focusedRow()).toInt(), 199);
    int firstKept = 0;
    while (gone.contains(firstKept))
        ++firstKept;
    QCOMPARE(view.cell(0, 1), QStringLiteral("row %1").arg(firstKept));
}

void ReportViewTest::appendWhileGroupedKeepsCollapsedGroups()
{
    ReportView view;
    fill(view);
    view.setGroupColumn(Day);
    QTreeView* tree = view.treeView();
    tree->collapse(view.viewModel()->index(1, 0)); // 2024-01-01

    view.appendRows(
        {makeRow(6, "5", "普通发送", "late", "2024-01-01"), makeRow(7, "6", "普通发送", "new", "2024-01-04")});

    QCOMPARE(headerTexts(view),
        (QStringList {"日期: 2024-01-02 (2)", "日期: 2024-01-01 (3)", "日期: 2024-01-03 (1)", "日期: 2024-01-04 (1)"}));
    QVERIFY(tree->isExpanded(view.viewModel()->index(0, 0)));
    QVERIFY(!tree->isExpanded(view.viewModel()->index(1, 0)));
    QVERIFY(tree->isExpanded(view.viewModel()->index(3, 0)));
}

void ReportViewTest::editingGroupCellMovesRow()
{
    ReportView view;
    fill(view);
    view.setGroupColumn(Day);
    view.setFocusedRow(4);
    view.setCell(4, Day, "2024-01-02");
    QCOMPARE(headerTexts(view), (QStringList {"日期: 2024-01-02 (3)", "日期: 2024-01-01 (2)"}));
    QCOMPARE(view.focusedRow(), 4);
}

void ReportViewTest::moreRowsWantedAtEndOfList()
{
    ReportView view;
    view.setColumns({{"n"}});
    QVector<ReportRow> rows;
    for (int r = 0; r < 300; ++r)
        rows.append(ReportRow {{QString::number(r)}, {}});
    view.setRows(rows);
    QSignalSpy wanted(&view, &ReportView::moreRowsWanted);
    view.setMoreRowsAvailable(true);
    view.resize(300, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QScrollBar* bar = view.treeView()->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 0);
    // Relayouts (sorting, filtering) away from the end ask for nothing.
    view.setFocusedRow(0);
    view.sortByColumn(0, Qt::AscendingOrder);
    view.setFilterText("1");
    view.setFilterText(QString());
    QCoreApplication::processEvents();
    QCOMPARE(wanted.count(), 0);

    bar->setValue(bar->maximum());
    QTRY_COMPARE(wanted.count(), 1);
    // One request until the view answers.
    bar->setValue(0);
    bar->setValue(bar->maximum());
    QCOMPARE(wanted.count(), 1);

    view.appendRows(rows);
    QTRY_VERIFY(bar->maximum() > bar->value());
    bar->setValue(bar->maximum());
    QTRY_COMPARE(wanted.count(), 2);

    view.setMoreRowsAvailable(false);
    bar->setValue(0);
    bar->setValue(bar->maximum());
    QCoreApplication::processEvents();
    QCOMPARE(wanted.count(), 2);
}

void ReportViewTest::shortListAsksForMoreAtOnce()
{
    ReportView view;
    view.setColumns({{"n"}});
    view.setRows({ReportRow {{"1"}, {}}, ReportRow {{"2"}, {}}});
    view.resize(300, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QSignalSpy wanted(&view, &ReportView::moreRowsWanted);
    view.setMoreRowsAvailable(true);
    QTRY_COMPARE(wanted.count(), 1);
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
    QCOMPARE(view.rowCount(), kRows);
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
