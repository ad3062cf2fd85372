#pragma once

#include "widgets/ReportModel.h"

#include <QSet>
#include <QWidget>
#include <functional>

class QTreeView;

namespace telvora {

class ReportFilterProxy;
class ReportTreeView;

// The one grid every list view uses: columns with captions and widths (some hidden),
// rows of texts with a check box, an icon, bold type and the caller's data each, a
// focused row and a multiple selection, grouping by a column, a filter text over all
// visible cells, sorting by a click on a column header (unless switched off), finding a
// row by its record id, and a request for more rows when
// the user reaches the end of the list.
//
// Rows are always named by their position in the store (0 .. rowCount() - 1, in the order
// they were added), whatever the grouping, filter or sort shows.
class ReportView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReportView)

public:
    explicit ReportView(QWidget* parent = nullptr);
    ~ReportView() override;

    void setColumns(const QVector<ReportColumn>& columns);
    void addColumn(const ReportColumn& column);
    void removeColumnsFrom(int first);
    int columnCount() const;
    ReportColumn column(int column) const;
    void setColumnHidden(int column, bool hidden);
    bool isColumnHidden(int column) const;
    void setColumnWidth(int column, int width);
    // Visible columns in the order shown.
    QVector<int> visibleColumns() const;

    // The column carrying each row's check box; -1 (the default) for none.
    void setCheckColumn(int column);
    // The column showing each row's icon; 0 by default.
    void setIconColumn(int column);

    // Bulk loads: one model change however many rows.
    void setRows(QVector<ReportRow> rows);
    void appendRows(QVector<ReportRow> rows);
    int appendRow(ReportRow row);
    void insertRow(int at, ReportRow row);
    void removeRows(const QVector<int>& rows);
    void removeRow(int row);
    void clear();

    int rowCount() const;
    const ReportRow& row(int row) const;
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString& text);
    QVariant rowData(int row) const;
    void setRowData(int row, const QVariant& data);
    // A row's record id is its data read as a whole number (ReportRow::data). The first
    // row holding that record, or -1; no scan.
    int rowOfRecord(qint64 id) const;
    // Commands that ask a question before they act take the record ids of their rows
    // first: while the question is open a reply or a hint may reload or extend the list,
    // and the same positions then hold other records. Rows without a record id are left
    // out.
    QVector<qint64> recordIds(const QVector<int>& rows) const;
    // The rows that hold those records now, in store order; records no longer listed
    // are left out.
    QVector<int> rowsOfRecords(const QVector<qint64>& ids) const;

    bool isChecked(int row) const;
    void setChecked(int row, bool checked);
    void setAllChecked(bool checked);
    void invertChecks();
    QVector<int> checkedRows() const;
    bool isBold(int row) const;
    void setBold(int row, bool bold);
    void setIcon(int row, const QIcon& icon);

    // -1 when no row is focused, or the focus is on a group header or a filtered-out row.
    int focusedRow() const;
    void setFocusedRow(int row);
    // Selected rows in store order; rows hidden by the filter are never selected.
    QVector<int> selectedRows() const;
    void selectRows(const QVector<int>& rows);
    void clearSelection();
    // The rows the filter lets through, in the order shown (group by group when grouped).
    QVector<int> shownRows() const;

    // -1 switches grouping off and restores the flat list.
    void setGroupColumn(int column);
    int groupColumn() const;
    void setFilterText(const QString& text);
    QString filterText() const;
    // column -1 restores the order of the store.
    void sortByColumn(int column, Qt::SortOrder order);
    // Off: the list shows the store's order (rows appended stay at the end) and a click
    // on a header does not sort. On by default.
    void setSortingEnabled(bool enabled);
    bool isSortingEnabled() const;

    void setAlternatingRowColors(bool on);

    // Whether reaching the end of the list should ask for more rows (moreRowsWanted).
    // Adding rows or calling this again re-arms the request.
    void setMoreRowsAvailable(bool available);
    bool moreRowsAvailable() const;

    QTreeView* treeView() const;
    QAbstractItemModel* viewModel() const;

protected:
    void showEvent(QShowEvent* event) override;

signals:
    void moreRowsWanted();
    void focusedRowChanged(int row);
    void selectedRowsChanged();
    void rowDoubleClicked(int row);
    // Only for boxes the user ticks; the bulk functions do not signal.
    void rowCheckToggled(int row, bool checked);
    void contextMenuRequested(const QPoint& globalPos);

private:
    struct ViewState
    {
        QVector<quint64> selected;
        quint64 focused = 0;
    };

    QModelIndex viewIndex(int row, int column = 0) const;
    int rowAt(const QModelIndex& viewIndex) const;
    void applyColumns();
    void updateTreePosition();
    // Runs a change to the model, keeping selection and focus when it resets the model.
    void restructure(const std::function<void()>& change);
    ViewState captureState() const;
    void restoreState(const ViewState& state);
    void expandHeaders(int first, int last);
    void onCurrentChanged(const QModelIndex& current);
    // Not the model's fetchMore: QTreeView calls that on every relayout, not only at
    // the end of the list.
    void requestMoreIfAtEnd();
    void checkEndLater();

    ReportModel* m_model;
    ReportFilterProxy* m_proxy;
    ReportTreeView* m_tree;
    QSet<QString> m_collapsedGroups;
    // The row the user last focused; kept while a filter hides it.
    quint64 m_focusSerial = 0;
    int m_lastFocusedRow = -1;
    bool m_adjusting = false;
    bool m_resetSeen = false;
    bool m_moreAvailable = false;
    bool m_moreRequested = false;
};

} // namespace telvora
