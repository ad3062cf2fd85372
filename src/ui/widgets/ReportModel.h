#pragma once

#include <QAbstractItemModel>
#include <QFont>
#include <QHash>
#include <QIcon>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>

namespace telvora {

struct ReportColumn
{
    ReportColumn() = default;
    ReportColumn(QString caption, int width = 100, bool hidden = false, bool numeric = false)
        : caption(std::move(caption))
        , width(width)
        , hidden(hidden)
        , numeric(numeric)
    { }

    QString caption;
    int width = 100;
    bool hidden = false;
    // Cells of a numeric column sort by value ("9" before "10").
    bool numeric = false;
};

struct ReportRow
{
    ReportRow() = default;
    ReportRow(QStringList cells, QVariant data = {})
        : cells(std::move(cells))
        , data(std::move(data))
    { }

    QStringList cells;
    // Whatever the view needs to find its record again, typically the record id.
    QVariant data;
    QIcon icon;
    bool checked = false;
    bool bold = false;
};

// The rows of a ReportView. Rows are addressed by their position in the store ("row"),
// whatever the current grouping, filter or sort shows.
//
// Flat: every row is a top-level item. Grouped: the top level holds one header per
// distinct text of the group column, in order of first appearance, with the rows as
// children. Rows appended while grouped join their groups (or open new ones at the end)
// as row insertions; other structural changes while grouped rebuild the groups with a
// model reset, across which ReportView keeps selection, focus and collapsed groups.
class ReportModel final : public QAbstractItemModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReportModel)

public:
    enum Role {
        RowDataRole = Qt::UserRole + 1,
        StoreRowRole, // int, -1 for a group header
        GroupHeaderRole, // bool
        GroupKeyRole, // QString, on headers
        GroupCaptionRole, // QString "<column caption>: <key>", on headers
    };

    explicit ReportModel(QObject* parent = nullptr);
    ~ReportModel() override;

    void setColumns(const QVector<ReportColumn>& columns);
    void addColumn(const ReportColumn& column);
    void removeColumnsFrom(int first);
    const QVector<ReportColumn>& columns() const { return m_columns; }
    void setColumnHidden(int column, bool hidden);
    void setColumnWidth(int column, int width);

    void setCheckColumn(int column);
    int checkColumn() const { return m_checkColumn; }
    void setIconColumn(int column);
    int iconColumn() const { return m_iconColumn; }
    void setBoldFont(const QFont& font);

    void setRows(QVector<ReportRow> rows);
    void appendRows(QVector<ReportRow> rows);
    void insertRow(int at, ReportRow row);
    // Rows in any order, duplicates and out-of-range rows ignored.
    void removeRows(QVector<int> rows);
    void clear();

    int count() const { return static_cast<int>(m_rows.size()); }
    const ReportRow& row(int row) const;
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString& text);
    void setRowData(int row, const QVariant& data);
    void setChecked(int row, bool checked);
    void setAllChecked(bool checked);
    void invertChecks();
    void setBold(int row, bool bold);
    void setIcon(int row, const QIcon& icon);

    void setGroupColumn(int column);
    int groupColumn() const { return m_groupColumn; }
    bool isGrouped() const { return m_groupColumn >= 0; }

    // Source index of a row (invalid when out of range) and back (-1 for headers).
    QModelIndex indexForRow(int row, int column = 0) const;
    int rowForIndex(const QModelIndex& index) const;
    bool isGroupHeader(const QModelIndex& index) const;
    QString groupKey(const QModelIndex& index) const;

    // Stable identity of a row across inserts, removals and regrouping.
    quint64 serial(int row) const;
    int rowForSerial(quint64 serial) const;
    // A row's record id is its data read as a whole number; false when it is none.
    static bool recordIdOf(const ReportRow& row, qint64& id);
    // The first row holding that record id, or -1, without a scan.
    int rowForRecord(qint64 id) const;

    // Compares two rows (or two headers) for sorting by a column.
    bool lessThan(const QModelIndex& left, const QModelIndex& right, int column) const;
    // Case-insensitive substring match over the cells of the visible columns.
    bool rowContains(int row, const QString& text) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // Only for a box the user ticked; bulk changes through the API do not signal.
    void rowCheckToggled(int row, bool checked);

private:
    struct Group
    {
        QString key;
        QVector<int> rows;
    };
    struct Stored
    {
        ReportRow row;
        quint64 serial = 0;
    };

    bool validRow(int row) const { return row >= 0 && row < m_rows.size(); }
    void store(ReportRow&& row, QVector<Stored>& into);
    void regroup();
    void appendGrouped(QVector<ReportRow>&& rows);
    void buildIndexes() const;
    void indexAppended(int first) const;
    void resetStructure(const std::function<void()>& change);
    void emitRowChanged(int row, int firstColumn, int lastColumn, const QList<int>& roles);
    void emitAllRowsChanged(int column, const QList<int>& roles);

    QVector<ReportColumn> m_columns;
    QVector<Stored> m_rows;
    mutable QHash<quint64, int> m_serialIndex;
    mutable QHash<qint64, int> m_recordIndex;
    mutable bool m_indexesValid = false;
    quint64 m_nextSerial = 1;

    int m_groupColumn = -1;
    QVector<Group> m_groups;
    QHash<QString, int> m_groupByKey;
    QVector<int> m_rowGroup; // row -> group
    QVector<int> m_rowPosition; // row -> position inside its group

    int m_checkColumn = -1;
    int m_iconColumn = 0;
    QFont m_boldFont;
};

} // namespace telvora
