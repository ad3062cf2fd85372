#pragma once

#include <QTreeWidget>

class QComboBox;

namespace telvora {

// The mapping beside the loaded sheet: a drop-down choosing the phone column and a tick
// per column saying whether it is shown and used.
class CColumnMappingGrid final : public QTreeWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CColumnMappingGrid)

public:
    explicit CColumnMappingGrid(QWidget* parent = nullptr);
    ~CColumnMappingGrid() override;

    // One choice and one ticked item per caption; phoneColumn -1 chooses none.
    void setColumns(const QStringList& captions, int phoneColumn);
    void clearColumns();

    QComboBox* phoneBox() const { return m_phone; }
    int mappedColumns() const;
    bool isColumnTicked(int column) const;
    void setColumnTicked(int column, bool ticked);

signals:
    void phoneColumnChosen(int column);
    void columnToggled(int column, bool ticked);

private:
    void onItemChanged(QTreeWidgetItem* item, int column);

    QTreeWidgetItem* m_category;
    QTreeWidgetItem* m_phoneItem;
    QComboBox* m_phone;
    QList<QTreeWidgetItem*> m_columns;
};

} // namespace telvora
