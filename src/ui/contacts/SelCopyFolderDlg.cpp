#include "contacts/SelCopyFolderDlg.h"

#include "contacts/CardStore.h"

#include <QDialogButtonBox>
#include <QMap>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace telvora {

CSelCopyFolderDlg::CSelCopyFolderDlg(CADODataBase& database, QWidget* parent)
    : QDialog(parent)
    , m_tree(new QTreeWidget(this))
{
    setWindowTitle(QStringLiteral("请选择需要添加的组别"));
    m_tree->setHeaderHidden(true);
    QMap<long, QTreeWidgetItem*> items;
    for (const CardFolder& folder : CCardStore(database).LoadFolderTree()) {
        auto* item
            = folder.parentId == 0 ? new QTreeWidgetItem(m_tree) : new QTreeWidgetItem(items.value(folder.parentId));
        item->setText(0, QString::fromStdString(folder.name));
        item->setData(0, Qt::UserRole, static_cast<qlonglong>(folder.id));
        item->setCheckState(0, Qt::Unchecked);
        items.insert(folder.id, item);
    }
    m_tree->expandAll();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tree);
    layout->addWidget(buttons);
}

std::vector<long> CSelCopyFolderDlg::checkedFolders() const
{
    std::vector<long> ids;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        if ((*it)->checkState(0) == Qt::Checked)
            ids.push_back(static_cast<long>((*it)->data(0, Qt::UserRole).toLongLong()));
    }
    return ids;
}

} // namespace telvora
