#pragma once

#include <QDialog>
#include <vector>

class QTreeWidget;

namespace telvora {

class CADODataBase;

// "请选择需要添加的组别": the folder tree with a check box on every folder.
class CSelCopyFolderDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSelCopyFolderDlg)

public:
    explicit CSelCopyFolderDlg(CADODataBase& database, QWidget* parent = nullptr);

    std::vector<long> checkedFolders() const;
    QTreeWidget* tree() const { return m_tree; }

private:
    QTreeWidget* m_tree;
};

} // namespace telvora
