#include "widgets/ReportView.h"

#include "widgets/ReportFilterProxy.h"
#include "widgets/ReportTreeView.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

namespace telvora {

ReportView::ReportView(QWidget* parent)
    : QWidget(parent)
    , m_model(new ReportModel(this))
    , m_proxy(new ReportFilterProxy(m_model, this))
    , m_tree(new ReportTreeView(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tree);

    // The view's own reactions to model changes must run before ours, so set the
    // model before connecting.
    m_tree->setModel(m_proxy);
    m_tree->setUniformRowHeights(true);
    m_tree->setRootIsDecorated(false);
    m_tree->setIndentation(12);
    m_tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tree->setAllColumnsShowFocus(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree->header()->setSortIndicatorClearable(true);
    m_tree->header()->setSortIndicator(-1, Qt::AscendingOrder);
    m_tree->setSortingEnabled(true);
    QPalette palette = m_tree->palette();
    palette.setColor(QPalette::AlternateBase, QColor(0xF5, 0xF5, 0xF5));
    m_tree->setPalette(palette);
    m_model->setBoldFont(m_tree->font());

    connect(m_model, &ReportModel::rowCheckToggled, this, &ReportView::rowCheckToggled);
    connect(m_model, &ReportModel::modelReset, this, [this] { m_resetSeen = true; });
    connect(m_proxy, &QAbstractItemModel::modelReset, this, [this] {
        for (int c = 0; c < m_model->columnCount(); ++c)
            m_tree->setColumnHidden(c, m_model->columns()[c].hidden);
        updateTreePosition();
        expandHeaders(0, m_proxy->rowCount() - 1);
    });
    // Headers dropped by a filter come back collapsed; reopen them.
    connect(m_proxy, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex& parent, int first, int last) {
        if (!parent.isValid())
            expandHeaders(first, last);
    });
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex& current) { onCurrentChanged(current); });
    connect(m_tree->selectionModel(), &QItemSelectionModel::selectionChanged, this, &ReportView::selectedRowsChanged);
    connect(m_tree, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        const int row = rowAt(index);
        if (row >= 0)
            emit rowDoubleClicked(row);
    });
    connect(m_tree->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (value == m_tree->verticalScrollBar()->maximum())
            requestMoreIfAtEnd();
    });
    connect(m_tree->verticalScrollBar(), &QScrollBar::rangeChanged, this, &ReportView::checkEndLater);
    connect(m_tree, &QWidget::customContextMenuRequested, this,
        [this](const QPoint& pos) { emit contextMenuRequested(m_tree->viewport()->mapToGlobal(pos)); });
    connect(m_tree, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
        m_collapsedGroups.insert(index.data(ReportModel::GroupKeyRole).toString());
    });
    connect(m_tree, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        m_collapsedGroups.remove(index.data(ReportModel::GroupKeyRole).toString());
    });
}

ReportView::~ReportView() = default;

void ReportView::setColumns(const QVector<ReportColumn>& columns)
{
    restructure([&] { m_model->setColumns(columns); });
    applyColumns();
}

void ReportView::addColumn(const ReportColumn& column)
{
    restructure([&] { m_model->addColumn(column); });
    const int c = m_model->columnCount() - 1;
    m_tree->setColumnWidth(c, column.width);
    m_tree->setColumnHidden(c, column.hidden);
    updateTreePosition();
}

void ReportView::removeColumnsFrom(int first)
{
    restructure([&] { m_model->removeColumnsFrom(first); });
}

int ReportView::columnCount() const
{
    return m_model->columnCount();
}

ReportColumn ReportView::column(int column) const
{
    if (column < 0 || column >= m_model->columnCount())
        return {};
    ReportColumn result = m_model->columns()[column];
    // The user may have dragged the width since.
    if (!result.hidden)
        result.width = m_tree->columnWidth(column);
    return result;
}

void ReportView::setColumnHidden(int column, bool hidden)
{
    if (column < 0 || column >= m_model->columnCount() || isColumnHidden(column) == hidden)
        return;
    m_model->setColumnHidden(column, hidden);
    m_tree->setColumnHidden(column, hidden);
    updateTreePosition();
    // The filter only looks at visible cells.
    if (!m_proxy->filterText().isEmpty()) {
        const QString text = m_proxy->filterText();
        setFilterText(QString());
        setFilterText(text);
    }
}

bool ReportView::isColumnHidden(int column) const
{
    return column >= 0 && column < m_model->columnCount() && m_model->columns()[column].hidden;
}

void ReportView::setColumnWidth(int column, int width)
{
    m_model->setColumnWidth(column, width);
    m_tree->setColumnWidth(column, width);
}

QVector<int> ReportView::visibleColumns() const
{
    QVector<int> result;
    const QHeaderView* header = m_tree->header();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (!isColumnHidden(logical))
            result.append(logical);
    }
    return result;
}

void ReportView::setCheckColumn(int column)
{
    restructure([&] { m_model->setCheckColumn(column); });
}

void ReportView::setIconColumn(int column)
{
    restructure([&] { m_model->setIconColumn(column); });
}

void ReportView::setRows(QVector<ReportRow> rows)
{
    m_moreRequested = false;
    m_model->setRows(std::move(rows));
    m_focusSerial = 0;
}

void ReportView::appendRows(QVector<ReportRow> rows)
{
    m_moreRequested = false;
    restructure([&] { m_model->appendRows(std::move(rows)); });
}

int ReportView::appendRow(ReportRow row)
{
    QVector<ReportRow> rows;
    rows.append(std::move(row));
    appendRows(std::move(rows));
    return rowCount() - 1;
}

void ReportView::insertRow(int at, ReportRow row)
{
    restructure([&] { m_model->insertRow(at, std::move(row)); });
}

void ReportView::removeRows(const QVector<int>& rows)
{
    restructure([&] { m_model->removeRows(rows); });
}

void ReportView::removeRow(int row)
{
    removeRows({row});
}

void ReportView::clear()
{
    setRows({});
}

int ReportView::rowCount() const
{
    return m_model->count();
}

const ReportRow& ReportView::row(int row) const
{
    return m_model->row(row);
}

QString ReportView::cell(int row, int column) const
{
    return m_model->cell(row, column);
}

void ReportView::setCell(int row, int column, const QString& text)
{
    restructure([&] { m_model->setCell(row, column, text); });
}

QVariant ReportView::rowData(int row) const
{
    return m_model->row(row).data;
}

void ReportView::setRowData(int row, const QVariant& data)
{
    m_model->setRowData(row, data);
}

int ReportView::rowOfRecord(qint64 id) const
{
    return m_model->rowForRecord(id);
}

QVector<qint64> ReportView::recordIds(const QVector<int>& rows) const
{
    QVector<qint64> ids;
    ids.reserve(rows.size());
    for (int row : rows) {
        qint64 id = 0;
        if (ReportModel::recordIdOf(m_model->row(row), id))
            ids.append(id);
    }
    return ids;
}

QVector<int> ReportView::rowsOfRecords(const QVector<qint64>& ids) const
{
    QVector<int> rows;
    rows.reserve(ids.size());
    for (qint64 id : ids) {
        const int row = m_model->rowForRecord(id);
        if (row >= 0)
            rows.append(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

bool ReportView::isChecked(int row) const
{
    return m_model->row(row).checked;
}

void ReportView::setChecked(int row, bool checked)
{
    m_model->setChecked(row, checked);
}

void ReportView::setAllChecked(bool checked)
{
    m_model->setAllChecked(checked);
}

void ReportView::invertChecks()
{
    m_model->invertChecks();
}

QVector<int> ReportView::checkedRows() const
{
    QVector<int> rows;
    for (int r = 0; r < m_model->count(); ++r) {
        if (m_model->row(r).checked)
            rows.append(r);
    }
    return rows;
}

bool ReportView::isBold(int row) const
{
    return m_model->row(row).bold;
}

void ReportView::setBold(int row, bool bold)
{
    m_model->setBold(row, bold);
}

void ReportView::setIcon(int row, const QIcon& icon)
{
    m_model->setIcon(row, icon);
}

int ReportView::focusedRow() const
{
    return rowAt(m_tree->selectionModel()->currentIndex());
}

void ReportView::setFocusedRow(int row)
{
    m_focusSerial = m_model->serial(row);
    const QModelIndex index = viewIndex(row);
    if (!index.isValid()) {
        m_tree->selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
        return;
    }
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index);
}

QVector<int> ReportView::selectedRows() const
{
    QVector<int> rows;
    const QItemSelection selection = m_tree->selectionModel()->selection();
    for (const QItemSelectionRange& range : selection) {
        for (int r = range.top(); r <= range.bottom(); ++r) {
            const int row = rowAt(m_proxy->index(r, 0, range.parent()));
            if (row >= 0)
                rows.append(row);
        }
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void ReportView::selectRows(const QVector<int>& rows)
{
    QModelIndexList indexes;
    for (int row : rows) {
        const QModelIndex index = viewIndex(row);
        if (index.isValid())
            indexes.append(index);
    }
    // Merge neighbours into ranges: one range per row is slow for large selections.
    std::sort(indexes.begin(), indexes.end(), [](const QModelIndex& a, const QModelIndex& b) {
        if (a.parent() != b.parent())
            return a.parent().row() < b.parent().row();
        return a.row() < b.row();
    });
    QItemSelection selection;
    for (int i = 0; i < indexes.size();) {
        int j = i;
        while (j + 1 < indexes.size() && indexes[j + 1].parent() == indexes[i].parent()
            && indexes[j + 1].row() == indexes[j].row() + 1)
            ++j;
        selection.append(QItemSelectionRange(indexes[i], indexes[j]));
        i = j + 1;
    }
    m_tree->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ReportView::clearSelection()
{
    m_tree->clearSelection();
}

QVector<int> ReportView::shownRows() const
{
    QVector<int> rows;
    const int top = m_proxy->rowCount();
    if (!m_model->isGrouped()) {
        rows.reserve(top);
        for (int r = 0; r < top; ++r)
            rows.append(rowAt(m_proxy->index(r, 0)));
        return rows;
    }
    for (int g = 0; g < top; ++g) {
        const QModelIndex header = m_proxy->index(g, 0);
        const int children = m_proxy->rowCount(header);
        for (int r = 0; r < children; ++r)
            rows.append(rowAt(m_proxy->index(r, 0, header)));
    }
    return rows;
}

void ReportView::setGroupColumn(int column)
{
    if (column < 0 || column >= m_model->columnCount())
        column = -1;
    if (column == m_model->groupColumn())
        return;
    m_collapsedGroups.clear();
    restructure([&] { m_model->setGroupColumn(column); });
}

int ReportView::groupColumn() const
{
    return m_model->groupColumn();
}

void ReportView::setFilterText(const QString& text)
{
    if (text == m_proxy->filterText())
        return;
    m_adjusting = true;
    // When the filter hides the focused row the selection model moves the focus to a
    // neighbour, and the view would scroll after it.
    const bool autoScroll = m_tree->hasAutoScroll();
    m_tree->setAutoScroll(false);
    m_proxy->setFilterText(text);
    // The focus stays on the row the user chose while it is shown and comes back to it
    // when it is shown again; while it is hidden nothing is focused, so that a command
    // on the focused row never acts on a row the user cannot see.
    QItemSelectionModel* selection = m_tree->selectionModel();
    const QModelIndex focus = viewIndex(m_model->rowForSerial(m_focusSerial));
    if (focus != selection->currentIndex())
        selection->setCurrentIndex(focus, QItemSelectionModel::NoUpdate);
    m_tree->setAutoScroll(autoScroll);
    if (focus.isValid())
        m_tree->scrollTo(focus);
    m_adjusting = false;
}

QString ReportView::filterText() const
{
    return m_proxy->filterText();
}

void ReportView::sortByColumn(int column, Qt::SortOrder order)
{
    m_tree->sortByColumn(column, order);
}

void ReportView::setSortingEnabled(bool enabled)
{
    if (!enabled)
        m_tree->sortByColumn(-1, Qt::AscendingOrder);
    m_tree->setSortingEnabled(enabled);
}

bool ReportView::isSortingEnabled() const
{
    return m_tree->isSortingEnabled();
}

void ReportView::setAlternatingRowColors(bool on)
{
    m_tree->setAlternatingRowColors(on);
}

void ReportView::setMoreRowsAvailable(bool available)
{
    m_moreAvailable = available;
    m_moreRequested = false;
    checkEndLater();
}

bool ReportView::moreRowsAvailable() const
{
    return m_moreAvailable;
}

void ReportView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    checkEndLater();
}

void ReportView::checkEndLater()
{
    if (m_moreAvailable && !m_moreRequested)
        QMetaObject::invokeMethod(this, &ReportView::requestMoreIfAtEnd, Qt::QueuedConnection);
}

void ReportView::requestMoreIfAtEnd()
{
    if (!m_moreAvailable || m_moreRequested || !m_tree->isVisible())
        return;
    // The last row shown; visualRect() lays out first and is empty for a hidden column.
    const QVector<int> visible = visibleColumns();
    const int column = visible.isEmpty() ? 0 : visible.first();
    QModelIndex last = m_proxy->index(m_proxy->rowCount() - 1, column);
    const QModelIndex lastTop = last.siblingAtColumn(0);
    if (last.isValid() && m_tree->isExpanded(lastTop) && m_proxy->rowCount(lastTop) > 0)
        last = m_proxy->index(m_proxy->rowCount(lastTop) - 1, column, lastTop);
    if (last.isValid() && !m_tree->viewport()->rect().intersects(m_tree->visualRect(last)))
        return;
    // One request until the caller answers with rows or a new setMoreRowsAvailable().
    m_moreRequested = true;
    emit moreRowsWanted();
}

QTreeView* ReportView::treeView() const
{
    return m_tree;
}

QAbstractItemModel* ReportView::viewModel() const
{
    return m_proxy;
}

QModelIndex ReportView::viewIndex(int row, int column) const
{
    return m_proxy->mapFromSource(m_model->indexForRow(row, column));
}

int ReportView::rowAt(const QModelIndex& viewIndex) const
{
    return m_model->rowForIndex(m_proxy->mapToSource(viewIndex));
}

void ReportView::applyColumns()
{
    const QVector<ReportColumn>& columns = m_model->columns();
    for (int c = 0; c < columns.size(); ++c) {
        m_tree->setColumnHidden(c, columns[c].hidden);
        m_tree->setColumnWidth(c, columns[c].width);
    }
    updateTreePosition();
}

void ReportView::updateTreePosition()
{
    // Children of a group are indented in the first visible column; a hidden key column
    // in front would swallow the indentation.
    const QVector<int> visible = visibleColumns();
    m_tree->setTreePosition(visible.isEmpty() ? -1 : visible.first());
}

void ReportView::restructure(const std::function<void()>& change)
{
    const ViewState state = captureState();
    m_resetSeen = false;
    change();
    if (m_resetSeen)
        restoreState(state);
    m_resetSeen = false;
}

ReportView::ViewState ReportView::captureState() const
{
    ViewState state;
    for (int row : selectedRows())
        state.selected.append(m_model->serial(row));
    state.focused = m_focusSerial;
    return state;
}

void ReportView::restoreState(const ViewState& state)
{
    m_adjusting = true;
    QVector<int> rows;
    for (quint64 serial : state.selected) {
        const int row = m_model->rowForSerial(serial);
        if (row >= 0)
            rows.append(row);
    }
    if (!rows.isEmpty())
        selectRows(rows);
    const int focused = m_model->rowForSerial(state.focused);
    m_focusSerial = focused >= 0 ? state.focused : 0;
    const QModelIndex focus = viewIndex(focused);
    if (focus.isValid())
        m_tree->selectionModel()->setCurrentIndex(focus, QItemSelectionModel::NoUpdate);
    m_adjusting = false;
}

void ReportView::expandHeaders(int first, int last)
{
    if (!m_model->isGrouped())
        return;
    for (int g = first; g <= last; ++g) {
        const QModelIndex header = m_proxy->index(g, 0);
        if (!m_collapsedGroups.contains(header.data(ReportModel::GroupKeyRole).toString()))
            m_tree->expand(header);
    }
}

void ReportView::onCurrentChanged(const QModelIndex& current)
{
    const int row = rowAt(current);
    if (!m_adjusting)
        m_focusSerial = m_model->serial(row);
    if (row != m_lastFocusedRow) {
        m_lastFocusedRow = row;
        emit focusedRowChanged(row);
    }
}

} // namespace telvora
