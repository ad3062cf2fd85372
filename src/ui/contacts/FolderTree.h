#pragma once

#include <QMap>

class QTreeWidget;
class QTreeWidgetItem;

namespace telvora {

class CADODataBase;

// Fills the tree with the address-book folders, each under its parent, all expanded; an
// item's Qt::UserRole data is its folder id. Returns the items by folder id.
QMap<long, QTreeWidgetItem*> FillFolderTree(QTreeWidget* tree, CADODataBase& database);

} // namespace telvora
