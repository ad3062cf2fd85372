#include "widgets/ReportModel.h"

#include <algorithm>

namespace telvora {

namespace {

// Past this many separate runs one reset is cheaper than a removal signal per run.
constexpr int kMaxRemovalRuns = 32;

bool lessText(const QString& a, const QString& b, bool numeric)
{
    if (numeric) {
        bool okA = false;
        bool okB = false;
        const double x = a.toDouble(&okA);
        const double y = b.toDouble(&okB);
        if (okA && okB)
            return x < y;
        if (okA != okB)
            return okA; // numbers before texts
    }
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

} // namespace

ReportModel::ReportModel(QObject* parent)
    : QAbstractItemModel(parent)
{
    m_boldFont.setBold(true);
}

ReportModel::~ReportModel() = default;

void ReportModel::setColumns(const QVector<ReportColumn>& columns)
{
    resetStructure([&] { m_columns = columns; });
}

void ReportModel::addColumn(const ReportColumn& column)
{
    resetStructure([&] { m_columns.append(column); });
}

void ReportModel::removeColumnsFrom(int first)
{
    if (first < 0 || first >= m_columns.size())
        return;
    resetStructure([&] {
        m_columns.resize(first);
        if (m_groupColumn >= first)
            m_groupColumn = -1;
    });
}

void ReportModel::setColumnHidden(int column, bool hidden)
{
    if (column >= 0 && column < m_columns.size())
        m_columns[column].hidden = hidden;
}

void ReportModel::setColumnWidth(int column, int width)
{
    if (column >= 0 && column < m_columns.size())
        m_columns[column].width = width;
}

void ReportModel::setCheckColumn(int column)
{
    if (column != m_checkColumn)
        resetStructure([&] { m_checkColumn = column; });
}

void ReportModel::setIconColumn(int column)
{
    if (column != m_iconColumn)
        resetStructure([&] { m_iconColumn = column; });
}

void ReportModel::setBoldFont(const QFont& font)
{
    m_boldFont = font;
    m_boldFont.setBold(true);
}

void ReportModel::store(ReportRow&& row, QVector<Stored>& into)
{
    into.append(Stored {std::move(row), m_nextSerial++});
}

void ReportModel::setRows(QVector<ReportRow> rows)
{
    resetStructure([&] {
        m_rows.clear();
        m_rows.reserve(rows.size());
        for (ReportRow& r : rows)
            store(std::move(r), m_rows);
    });
}

void ReportModel::appendRows(QVector<ReportRow> rows)
{
    if (rows.isEmpty())
        return;
    if (isGrouped()) {
        appendGrouped(std::move(rows));
        return;
    }
    const int first = count();
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    m_rows.reserve(m_rows.size() + rows.size());
    for (ReportRow& r : rows)
        store(std::move(r), m_rows);
    indexAppended(first);
    endInsertRows();
}

void ReportModel::appendGrouped(QVector<ReportRow>&& rows)
{
    // The rows go into the store first; each group shows its new rows only inside its
    // own insertion, so the structure seen between the signals is always consistent.
    const int first = count();
    m_rows.reserve(m_rows.size() + rows.size());
    for (ReportRow& r : rows)
        store(std::move(r), m_rows);
    indexAppended(first);
    m_rowGroup.resize(m_rows.size());
    m_rowPosition.resize(m_rows.size());

    QVector<QVector<int>> added(m_groups.size());
    QVector<Group> opened;
    for (int r = first; r < m_rows.size(); ++r) {
        const QString key = cell(r, m_groupColumn);
        int g = m_groupByKey.value(key, -1);
        if (g < 0) {
            g = static_cast<int>(m_groups.size() + opened.size());
            m_groupByKey.insert(key, g);
            opened.append(Group {key, {}});
        }
        m_rowGroup[r] = g;
        if (g < m_groups.size()) {
            m_rowPosition[r] = static_cast<int>(m_groups[g].rows.size() + added[g].size());
            added[g].append(r);
        } else {
            Group& group = opened[g - m_groups.size()];
            m_rowPosition[r] = static_cast<int>(group.rows.size());
            group.rows.append(r);
        }
    }
    for (int g = 0; g < added.size(); ++g) {
        if (added[g].isEmpty())
            continue;
        const QModelIndex header = index(g, 0);
        const int at = static_cast<int>(m_groups[g].rows.size());
        beginInsertRows(header, at, at + static_cast<int>(added[g].size()) - 1);
        m_groups[g].rows.append(added[g]);
        endInsertRows();
        // The header shows how many rows it holds.
        emit dataChanged(header, header, {Qt::DisplayRole});
    }
    if (!opened.isEmpty()) {
        const int at = static_cast<int>(m_groups.size());
        beginInsertRows({}, at, at + static_cast<int>(opened.size()) - 1);
        m_groups.append(opened);
        endInsertRows();
    }
}

void ReportModel::insertRow(int at, ReportRow row)
{
    at = std::clamp(at, 0, count());
    const auto add = [&] {
        m_rows.insert(at, Stored {std::move(row), m_nextSerial++});
        m_indexesValid = false;
    };
    if (isGrouped()) {
        resetStructure(add);
        return;
    }
    beginInsertRows({}, at, at);
    add();
    endInsertRows();
}

void ReportModel::removeRows(QVector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::remove_if(rows.begin(), rows.end(), [this](int r) { return !validRow(r); }), rows.end());
    if (rows.isEmpty())
        return;

    // Runs of consecutive rows, last run first so earlier positions stay valid.
    QVector<std::pair<int, int>> runs;
    for (int r : rows) {
        if (!runs.isEmpty() && runs.last().second + 1 == r)
            runs.last().second = r;
        else
            runs.append({r, r});
    }

    if (isGrouped() || runs.size() > kMaxRemovalRuns) {
        resetStructure([&] {
            QVector<Stored> kept;
            kept.reserve(m_rows.size() - rows.size());
            auto next = rows.cbegin();
            for (int r = 0; r < m_rows.size(); ++r) {
                if (next != rows.cend() && *next == r)
                    ++next;
                else
                    kept.append(std::move(m_rows[r]));
            }
            m_rows = std::move(kept);
        });
        return;
    }
    for (auto it = runs.crbegin(); it != runs.crend(); ++it) {
        beginRemoveRows({}, it->first, it->second);
        m_rows.remove(it->first, it->second - it->first + 1);
        m_indexesValid = false;
        endRemoveRows();
    }
}

void ReportModel::clear()
{
    setRows({});
}

const ReportRow& ReportModel::row(int row) const
{
    static const ReportRow empty;
    return validRow(row) ? m_rows[row].row : empty;
}

QString ReportModel::cell(int row, int column) const
{
    if (!validRow(row))
        return {};
    const QStringList& cells = m_rows[row].row.cells;
    return column >= 0 && column < cells.size() ? cells[column] : QString();
}

void ReportModel::setCell(int row, int column, const QString& text)
{
    if (!validRow(row) || column < 0 || column >= m_columns.size())
        return;
    QStringList& cells = m_rows[row].row.cells;
    while (cells.size() <= column)
        cells.append(QString());
    if (cells[column] == text)
        return;
    cells[column] = text;
    if (column == m_groupColumn) {
        // The row moves to another group.
        resetStructure([] {});
        return;
    }
    emitRowChanged(row, column, column, {Qt::DisplayRole, Qt::EditRole});
}

void ReportModel::setRowData(int row, const QVariant& data)
{
    if (!validRow(row))
        return;
    m_rows[row].row.data = data;
    m_indexesValid = false;
}

void ReportModel::setChecked(int row, bool checked)
{
    if (!validRow(row) || m_rows[row].row.checked == checked)
        return;
    m_rows[row].row.checked = checked;
    if (m_checkColumn >= 0)
        emitRowChanged(row, m_checkColumn, m_checkColumn, {Qt::CheckStateRole});
}

void ReportModel::setAllChecked(bool checked)
{
    for (Stored& s : m_rows)
        s.row.checked = checked;
    emitAllRowsChanged(m_checkColumn, {Qt::CheckStateRole});
}

void ReportModel::invertChecks()
{
    for (Stored& s : m_rows)
        s.row.checked = !s.row.checked;
    emitAllRowsChanged(m_checkColumn, {Qt::CheckStateRole});
}

void ReportModel::setBold(int row, bool bold)
{
    if (!validRow(row) || m_rows[row].row.bold == bold)
        return;
    m_rows[row].row.bold = bold;
    emitRowChanged(row, 0, columnCount() - 1, {Qt::FontRole});
}

void ReportModel::setIcon(int row, const QIcon& icon)
{
    if (!validRow(row))
        return;
    m_rows[row].row.icon = icon;
    if (m_iconColumn >= 0)
        emitRowChanged(row, m_iconColumn, m_iconColumn, {Qt::DecorationRole});
}

void ReportModel::setGroupColumn(int column)
{
    if (column >= m_columns.size())
        column = -1;
    if (column < 0)
        column = -1;
    if (column != m_groupColumn)
        resetStructure([&] { m_groupColumn = column; });
}

void ReportModel::regroup()
{
    m_groups.clear();
    m_groupByKey.clear();
    m_rowGroup.clear();
    m_rowPosition.clear();
    if (!isGrouped())
        return;
    QHash<QString, int>& byKey = m_groupByKey;
    m_rowGroup.resize(m_rows.size());
    m_rowPosition.resize(m_rows.size());
    for (int r = 0; r < m_rows.size(); ++r) {
        const QString key = cell(r, m_groupColumn);
        auto it = byKey.constFind(key);
        if (it == byKey.cend()) {
            it = byKey.insert(key, static_cast<int>(m_groups.size()));
            m_groups.append(Group {key, {}});
        }
        Group& group = m_groups[*it];
        m_rowGroup[r] = *it;
        m_rowPosition[r] = static_cast<int>(group.rows.size());
        group.rows.append(r);
    }
}

void ReportModel::resetStructure(const std::function<void()>& change)
{
    beginResetModel();
    change();
    m_indexesValid = false;
    regroup();
    endResetModel();
}

QModelIndex ReportModel::indexForRow(int row, int column) const
{
    if (!validRow(row) || column < 0 || column >= columnCount())
        return {};
    if (isGrouped())
        return createIndex(m_rowPosition[row], column, static_cast<quintptr>(m_rowGroup[row]) + 1);
    return createIndex(row, column, quintptr {0});
}

int ReportModel::rowForIndex(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return -1;
    if (!isGrouped())
        return index.row();
    const quintptr id = index.internalId();
    if (id == 0)
        return -1;
    return m_groups[static_cast<int>(id - 1)].rows[index.row()];
}

bool ReportModel::isGroupHeader(const QModelIndex& index) const
{
    return index.isValid() && isGrouped() && index.internalId() == 0;
}

QString ReportModel::groupKey(const QModelIndex& index) const
{
    return isGroupHeader(index) ? m_groups[index.row()].key : QString();
}

quint64 ReportModel::serial(int row) const
{
    return validRow(row) ? m_rows[row].serial : 0;
}

void ReportModel::buildIndexes() const
{
    if (m_indexesValid)
        return;
    m_serialIndex.clear();
    m_recordIndex.clear();
    m_indexesValid = true;
    indexAppended(0);
}

void ReportModel::indexAppended(int first) const
{
    // Blocks appended one after another keep the indexes instead of rebuilding them.
    if (!m_indexesValid)
        return;
    m_serialIndex.reserve(m_rows.size());
    m_recordIndex.reserve(m_rows.size());
    for (int r = first; r < m_rows.size(); ++r) {
        m_serialIndex.insert(m_rows[r].serial, r);
        qint64 id = 0;
        if (recordIdOf(m_rows[r].row, id) && !m_recordIndex.contains(id))
            m_recordIndex.insert(id, r);
    }
}

int ReportModel::rowForSerial(quint64 serial) const
{
    buildIndexes();
    return m_serialIndex.value(serial, -1);
}

bool ReportModel::recordIdOf(const ReportRow& row, qint64& id)
{
    bool isNumber = false;
    id = row.data.toLongLong(&isNumber);
    return isNumber;
}

int ReportModel::rowForRecord(qint64 id) const
{
    buildIndexes();
    return m_recordIndex.value(id, -1);
}

bool ReportModel::lessThan(const QModelIndex& left, const QModelIndex& right, int column) const
{
    const bool leftHeader = isGroupHeader(left);
    if (leftHeader != isGroupHeader(right))
        return leftHeader;
    if (leftHeader) {
        const bool numeric = m_columns[m_groupColumn].numeric;
        return lessText(groupKey(left), groupKey(right), numeric);
    }
    const bool numeric = column >= 0 && column < m_columns.size() && m_columns[column].numeric;
    return lessText(cell(rowForIndex(left), column), cell(rowForIndex(right), column), numeric);
}

bool ReportModel::rowContains(int row, const QString& text) const
{
    if (!validRow(row))
        return false;
    const QStringList& cells = m_rows[row].row.cells;
    const int n = std::min(static_cast<int>(cells.size()), static_cast<int>(m_columns.size()));
    for (int c = 0; c < n; ++c) {
        if (!m_columns[c].hidden && cells[c].contains(text, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QModelIndex ReportModel::index(int row, int column, const QModelIndex& parent) const
{
    if (row < 0 || column < 0 || column >= columnCount())
        return {};
    if (!parent.isValid())
        return row < rowCount() ? createIndex(row, column, quintptr {0}) : QModelIndex();
    if (!isGroupHeader(parent) || row >= m_groups[parent.row()].rows.size())
        return {};
    return createIndex(row, column, static_cast<quintptr>(parent.row()) + 1);
}

QModelIndex ReportModel::parent(const QModelIndex& child) const
{
    if (!child.isValid() || !isGrouped() || child.internalId() == 0)
        return {};
    return createIndex(static_cast<int>(child.internalId() - 1), 0, quintptr {0});
}

int ReportModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return isGrouped() ? static_cast<int>(m_groups.size()) : count();
    if (parent.column() == 0 && isGroupHeader(parent))
        return static_cast<int>(m_groups[parent.row()].rows.size());
    return 0;
}

int ReportModel::columnCount(const QModelIndex&) const
{
    return static_cast<int>(m_columns.size());
}

QVariant ReportModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (isGroupHeader(index)) {
        const Group& group = m_groups[index.row()];
        switch (role) {
        case GroupHeaderRole:
            return true;
        case StoreRowRole:
            return -1;
        case GroupKeyRole:
            return group.key;
        case GroupCaptionRole:
            return QStringLiteral("%1: %2").arg(m_columns[m_groupColumn].caption, group.key);
        case Qt::DisplayRole:
            if (index.column() == 0)
                return QStringLiteral("%1: %2 (%3)")
                    .arg(m_columns[m_groupColumn].caption, group.key)
                    .arg(group.rows.size());
            return {};
        case Qt::FontRole:
            return m_boldFont;
        default:
            return {};
        }
    }

    const int r = rowForIndex(index);
    if (!validRow(r))
        return {};
    const ReportRow& row = m_rows[r].row;
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return column < row.cells.size() ? row.cells[column] : QString();
    case Qt::CheckStateRole:
        if (column == m_checkColumn)
            return row.checked ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::DecorationRole:
        if (column == m_iconColumn && !row.icon.isNull())
            return row.icon;
        return {};
    case Qt::FontRole:
        if (row.bold)
            return m_boldFont;
        return {};
    case RowDataRole:
        return row.data;
    case StoreRowRole:
        return r;
    case GroupHeaderRole:
        return false;
    default:
        return {};
    }
}

bool ReportModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || index.column() != m_checkColumn || m_checkColumn < 0)
        return false;
    const int r = rowForIndex(index);
    if (!validRow(r))
        return false;
    const bool checked = value.toInt() == Qt::Checked;
    if (m_rows[r].row.checked == checked)
        return true;
    m_rows[r].row.checked = checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    emit rowCheckToggled(r, checked);
    return true;
}

Qt::ItemFlags ReportModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (isGroupHeader(index))
        return Qt::ItemIsEnabled;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == m_checkColumn)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant ReportModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_columns[section].caption;
    return {};
}

void ReportModel::emitRowChanged(int row, int firstColumn, int lastColumn, const QList<int>& roles)
{
    const QModelIndex first = indexForRow(row, firstColumn);
    const QModelIndex last = indexForRow(row, lastColumn);
    if (first.isValid() && last.isValid())
        emit dataChanged(first, last, roles);
}

void ReportModel::emitAllRowsChanged(int column, const QList<int>& roles)
{
    if (column < 0 || column >= columnCount() || m_rows.isEmpty())
        return;
    if (!isGrouped()) {
        emit dataChanged(index(0, column), index(count() - 1, column), roles);
        return;
    }
    for (int g = 0; g < m_groups.size(); ++g) {
        const QModelIndex header = index(g, 0);
        const int last = static_cast<int>(m_groups[g].rows.size()) - 1;
        emit dataChanged(index(0, column, header), index(last, column, header), roles);
    }
}

} // namespace telvora
