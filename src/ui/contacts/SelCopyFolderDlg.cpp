#include "contacts/SelCopyFolderDlg.h"

#include "contacts/FolderTree.h"

#include <QDialogButtonBox>
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
    for (QTreeWidgetItem* item : FillFolderTree(m_tree, database))
        item->setCheckState(0, Qt::Unchecked);
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
