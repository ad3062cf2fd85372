#include "widgets/PropertyGrid.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QStyledItemDelegate>

namespace telvora {

namespace {

constexpr int kKeyRole = Qt::UserRole + 1;
constexpr int kDateRole = Qt::UserRole + 2;
const QString kShownFormat = QStringLiteral("yyyy-MM-dd");
const QString kTypedFormat = QStringLiteral("yyyy/MM/dd");

// Dates show as yyyy-MM-dd and are typed into a "____/__/__" mask; text needs no help.
class CPropertyDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QString displayText(const QVariant& value, const QLocale& locale) const override
    {
        if (value.metaType().id() == QMetaType::QDate)
            return value.toDate().toString(kShownFormat);
        return QStyledItemDelegate::displayText(value, locale);
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (!index.data(kDateRole).toBool())
            return QStyledItemDelegate::createEditor(parent, option, index);
        auto* edit = new QLineEdit(parent);
        edit->setInputMask(QStringLiteral("0000/00/00;_"));
        return edit;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        if (!index.data(kDateRole).toBool())
            return QStyledItemDelegate::setEditorData(editor, index);
        static_cast<QLineEdit*>(editor)->setText(index.data(Qt::EditRole).toDate().toString(kTypedFormat));
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        if (!index.data(kDateRole).toBool())
            return QStyledItemDelegate::setModelData(editor, model, index);
        QString typed = static_cast<QLineEdit*>(editor)->text();
        if (typed.remove(QLatin1Char('/')).trimmed().isEmpty()) {
            model->setData(index, QDate(), Qt::EditRole);
            return;
        }
        // A half-typed or impossible date keeps the value the item had.
        const QDate date = QDate::fromString(static_cast<QLineEdit*>(editor)->text(), kTypedFormat);
        if (date.isValid())
            model->setData(index, date, Qt::EditRole);
    }
};

} // namespace

CPropertyGrid::CPropertyGrid(QWidget* parent)
    : QTreeView(parent)
    , m_model(new QStandardItemModel(0, 2, this))
{
    m_model->setHorizontalHeaderLabels({QStringLiteral("名称"), QStringLiteral("值")});
    setModel(m_model);
    setItemDelegate(new CPropertyDelegate(this));
    setRootIsDecorated(false);
    setAlternatingRowColors(true);
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    header()->setStretchLastSection(true);
}

CPropertyGrid::~CPropertyGrid() = default;

void CPropertyGrid::addTextItem(const QString& key, const QString& caption, const QString& value)
{
    addItem(key, caption, value, false);
}

void CPropertyGrid::addDateItem(const QString& key, const QString& caption, const QDate& value)
{
    addItem(key, caption, value, true);
}

void CPropertyGrid::addItem(const QString& key, const QString& caption, const QVariant& value, bool isDate)
{
    auto* name = new QStandardItem(caption);
    name->setData(key, kKeyRole);
    name->setEditable(false);
    auto* cell = new QStandardItem;
    cell->setData(value, Qt::EditRole);
    cell->setData(isDate, kDateRole);
    cell->setEditable(!m_readOnly);
    m_model->appendRow({name, cell});
}

QStringList CPropertyGrid::keys() const
{
    QStringList keys;
    for (int row = 0; row < m_model->rowCount(); ++row)
        keys.append(m_model->item(row, 0)->data(kKeyRole).toString());
    return keys;
}

QModelIndex CPropertyGrid::valueIndex(const QString& key) const
{
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->item(row, 0)->data(kKeyRole).toString() == key)
            return m_model->index(row, 1);
    }
    return {};
}

bool CPropertyGrid::isDateItem(const QString& key) const
{
    return valueIndex(key).data(kDateRole).toBool();
}

QString CPropertyGrid::text(const QString& key) const
{
    return valueIndex(key).data(Qt::EditRole).toString();
}

QDate CPropertyGrid::date(const QString& key) const
{
    return valueIndex(key).data(Qt::EditRole).toDate();
}

void CPropertyGrid::setText(const QString& key, const QString& value)
{
    if (const QModelIndex index = valueIndex(key); index.isValid())
        m_model->setData(index, value, Qt::EditRole);
}

void CPropertyGrid::setDate(const QString& key, const QDate& value)
{
    if (const QModelIndex index = valueIndex(key); index.isValid())
        m_model->setData(index, value, Qt::EditRole);
}

void CPropertyGrid::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    for (int row = 0; row < m_model->rowCount(); ++row)
        m_model->item(row, 1)->setEditable(!readOnly);
}

} // namespace telvora
