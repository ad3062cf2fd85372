#include "contacts/FolderTree.h"

#include "contacts/CardStore.h"

#include <QTreeWidget>

namespace telvora {

QMap<long, QTreeWidgetItem*> FillFolderTree(QTreeWidget* tree, CADODataBase& database)
{
    tree->clear();
    QMap<long, QTreeWidgetItem*> items;
    for (const CardFolder& folder : CCardStore(database).LoadFolderTree()) {
        auto* item
            = folder.parentId == 0 ? new QTreeWidgetItem(tree) : new QTreeWidgetItem(items.value(folder.parentId));
        item->setText(0, QString::fromStdString(folder.name));
        item->setData(0, Qt::UserRole, static_cast<qlonglong>(folder.id));
        items.insert(folder.id, item);
    }
    tree->expandAll();
    return items;
}

} // namespace telvora
