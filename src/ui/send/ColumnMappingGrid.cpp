#include "send/ColumnMappingGrid.h"

#include <QComboBox>
#include <QHeaderView>
#include <QSignalBlocker>

namespace telvora {

namespace {

// The caption of an item is its first line; the rest describes it.
void describe(QTreeWidgetItem* item, const QString& text)
{
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    item->setText(0, text.left(lineEnd));
    item->setToolTip(0, text.mid(lineEnd + 1));
    item->setToolTip(1, text.mid(lineEnd + 1));
}

} // namespace

CColumnMappingGrid::CColumnMappingGrid(QWidget* parent)
    : QTreeWidget(parent)
    , m_category(new QTreeWidgetItem(this))
    , m_phoneItem(new QTreeWidgetItem(m_category))
    , m_phone(new QComboBox(this))
{
    setColumnCount(2);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    describe(m_category,
        QStringLiteral(
            "请选择需要导入的列\n1、请点击[浏览]按钮,选择一个您需要导入自定义数据的Excel表格。2、点击[增加列]添加"
            "自定义列。3、在添加的自定义列右边选择一列导入的Excel列做匹配。"));
    m_category->setFirstColumnSpanned(true);
    describe(m_phoneItem, QStringLiteral("手机号码\n请从导入的Excel表格中选择包含手机号码的列,该列数据不能为空"));
    setItemWidget(m_phoneItem, 1, m_phone);
    expandAll();
    connect(m_phone, &QComboBox::currentIndexChanged, this, &CColumnMappingGrid::phoneColumnChosen);
    connect(this, &QTreeWidget::itemChanged, this, &CColumnMappingGrid::onItemChanged);
}

CColumnMappingGrid::~CColumnMappingGrid() = default;

void CColumnMappingGrid::setColumns(const QStringList& captions, int phoneColumn)
{
    clearColumns();
    const QSignalBlocker blocker(this);
    const QSignalBlocker phoneBlocker(m_phone);
    m_phone->addItems(captions);
    m_phone->setCurrentIndex(phoneColumn);
    for (const QString& caption : captions) {
        auto* item = new QTreeWidgetItem(m_category, {caption});
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Checked);
        m_columns.append(item);
    }
}

void CColumnMappingGrid::clearColumns()
{
    const QSignalBlocker blocker(this);
    const QSignalBlocker phoneBlocker(m_phone);
    m_phone->clear();
    qDeleteAll(m_columns);
    m_columns.clear();
}

int CColumnMappingGrid::mappedColumns() const
{
    return static_cast<int>(m_columns.size());
}

bool CColumnMappingGrid::isColumnTicked(int column) const
{
    return column >= 0 && column < m_columns.size() && m_columns[column]->checkState(0) == Qt::Checked;
}

void CColumnMappingGrid::setColumnTicked(int column, bool ticked)
{
    if (column >= 0 && column < m_columns.size())
        m_columns[column]->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
}

void CColumnMappingGrid::onItemChanged(QTreeWidgetItem* item, int column)
{
    const int index = static_cast<int>(m_columns.indexOf(item));
    if (column == 0 && index >= 0)
        emit columnToggled(index, item->checkState(0) == Qt::Checked);
}

} // namespace telvora
