#pragma once

#include "send/NumberList.h"
#include "send/PickerCards.h"

#include <QWidget>
#include <string>
#include <vector>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace telvora {

class CAppContext;
class CFolderNumberCache;
class FrameServices;
class HintBroadcaster;
class Prompter;
class RecipientHandOver;

// The recipient picker left of the send page. A folder's box goes through three states
// with each click: partly checked lists its cards for picking single ones, checked takes
// the whole folder as one row of the send list, unchecked takes the folder out again.
class CSelCardFolderView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSelCardFolderView)

public:
    struct Dependencies
    {
        CAppContext& app;
        Prompter& prompter;
        HintBroadcaster& hints;
        RecipientHandOver& handOver;
        FrameServices& frame;
        CFolderNumberCache& folderNumbers;
    };

    explicit CSelCardFolderView(Dependencies dependencies, QWidget* parent = nullptr);
    ~CSelCardFolderView() override;

    // Keeps the boxes of the folders that are still there.
    void reload();
    QTreeWidget* folderTree() const { return m_folders; }
    QTreeWidget* cardList() const { return m_cards; }
    QPushButton* button(const QString& caption) const;

public slots:
    // "客户查找".
    void onFindClicked();
    void showSearchResult(const std::string& whereClause);
    // "全选/反选".
    void invertCardChecks();
    // "选中发送".
    void onSendCheckedClicked();

signals:
    // A whole folder was checked: its sendable numbers go to the send list.
    void folderChecked(const QString& folder, const CollectedNumbers& numbers);
    // The folder was unchecked or partly checked: its rows leave the send list.
    void folderUnchecked(const QString& folder);

private:
    void onHint(int hint);
    void onFolderChanged(QTreeWidgetItem* item);
    void showFolderCards(long folderId);
    void fillCards(const std::vector<PickerCard>& cards);
    void showCardMenu(const QPoint& position);

    Dependencies m_deps;
    QTreeWidget* m_folders;
    QTreeWidget* m_cards;
    QList<QPushButton*> m_buttons;
    long m_currentFolder = 0;
    QString m_currentFolderName;
};

} // namespace telvora
