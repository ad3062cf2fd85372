#pragma once

#include "contacts/CardStore.h"

#include <QWidget>

class QTreeWidget;
class QTreeWidgetItem;

namespace telvora {

class CAppContext;
class CCardExportRunner;
class FrameServices;
class HintBroadcaster;
class Prompter;

// The folder tree of the address book ("地址目录") with its context menu: new, rename,
// delete and clear folders, export their cards. Selecting a folder tells the card list.
class CCardFolderView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CCardFolderView)

public:
    struct Dependencies
    {
        CAppContext& app;
        Prompter& prompter;
        HintBroadcaster& hints;
        FrameServices& frame;
    };

    explicit CCardFolderView(Dependencies dependencies, QWidget* parent = nullptr);

    void reload();
    long currentFolderId() const;
    QTreeWidget* tree() const { return m_tree; }

    // The menu's commands, on the selected folder.
    void newFolder(bool subfolder);
    void renameFolder();
    void deleteFolder();
    void clearFolder();
    void clearAllFolders();
    // Runs on a worker; the menu offers "停止导出" meanwhile.
    void exportCards(bool allFolders);
    CCardExportRunner* exportRunner() const { return m_export; }

signals:
    // An empty name: the list forgets what it showed of that folder (0: of every folder).
    void folderSelected(const QString& name, long id);

private:
    void onHint(int hint);
    void showMenu(const QPoint& position);
    QTreeWidgetItem* current() const;
    // Shows why a name was refused; true when it was taken.
    bool told(CCardStore::NameResult result, const CCardStore& store);

    Dependencies m_deps;
    QTreeWidget* m_tree;
    CCardExportRunner* m_export;
};

} // namespace telvora
