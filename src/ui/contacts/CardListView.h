#pragma once

#include "contacts/FieldCatalogue.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QLabel;

namespace telvora {

class CAppContext;
class CCardExportRunner;
class CCardListPager;
class CCardStore;
class FrameServices;
class HintBroadcaster;
class Prompter;
class RecipientHandOver;
class ReportView;

// The cards of the folder chosen in the tree, 1,000 at a time as the list reaches its end:
// ticking, "全选"/"反选", deleting, removing from the folder, exporting, e-mail and QQ.
class CCardListView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CCardListView)

public:
    struct Dependencies
    {
        CAppContext& app;
        Prompter& prompter;
        HintBroadcaster& hints;
        RecipientHandOver& handOver;
        FrameServices& frame;
    };

    explicit CCardListView(Dependencies dependencies, QWidget* parent = nullptr);
    ~CCardListView() override;

    // From the folder tree; an empty name empties the list.
    void showFolder(const QString& name, long id);
    void loadNextBlock();
    // The quick filter over the rows loaded; the same text again changes nothing.
    void filterCards(const QString& text);
    // The advanced search: its result replaces the list until a folder is chosen.
    void findCards();
    void showSearchResult(const std::string& whereClause);

    // The menu's commands on the ticked rows (focused row for QQ).
    // Hands the ticked numbers (of one carrier, 0 for all) to the send page.
    void addCheckedToSend(int carrier);
    void copyCheckedToFolders();
    void setUpFields();
    void newCard();
    void editFocused();
    void deleteChecked();
    // Opens the import dialog for the current folder.
    void importCards();
    void removeCheckedFromFolder();
    // A folder export runs on a worker; the menu offers "停止导出" meanwhile.
    void exportRows(bool checkedOnly);
    CCardExportRunner* exportRunner() const { return m_export; }
    void mailChecked();
    void chatWithFocused();

    ReportView* report() const { return m_report; }
    QString labelText() const;

private:
    void onHint(int hint);
    void rebuildColumns();
    void showMenu(const QPoint& position);
    bool needFolder();
    std::vector<long> checkedCardIds() const;
    // Asks, then changes the ticked cards and shows the folder again.
    void changeChecked(
        const QString& question, const std::function<bool(CCardStore&, const std::vector<long>&, long)>& change);

    Dependencies m_deps;
    ReportView* m_report;
    QLabel* m_label;
    QCheckBox* m_checkAll;
    QCheckBox* m_invert;
    CCardExportRunner* m_export;
    bool m_searchResult = false;
    std::vector<CardField> m_fields;
    std::unique_ptr<CCardListPager> m_pager;
    long m_folderId = 0;
    QString m_folderName;
};

} // namespace telvora
