#pragma once

#include "send/NumberHistory.h"
#include "send/RecipientChoice.h"

#include <QDialog>

class QComboBox;
class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace telvora {

class CADODataBase;
class Prompter;

// "选择发送对象": recipients for the dialogs that send on their own (reminders). Checked
// folders, checked cards and typed numbers are the chosen entries; OK hands the numbers
// and the entries' captions to the caller.
class CSelCardDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSelCardDlg)

public:
    CSelCardDlg(CADODataBase& database, Prompter& prompter, QWidget* parent = nullptr);
    ~CSelCardDlg() override;

    // What OK collected.
    const PickedRecipients& picked() const { return m_picked; }
    const CRecipientChoice& choice() const { return m_choice; }

    QTreeWidget* folderTree() const { return m_folders; }
    QTreeWidget* cardList() const { return m_cards; }
    QComboBox* numberBox() const { return m_numberBox; }
    QListWidget* chosenList() const { return m_chosen; }

public slots:
    void accept() override;
    void onNumberEntered();
    // Takes the selected entries out of the choice.
    void removeSelected();

private:
    void loadFolders();
    void showCards(QTreeWidgetItem* folder);
    void onFolderChanged(QTreeWidgetItem* item);
    void onCardChanged(QTreeWidgetItem* item);
    void refreshChosen();
    // The boxes follow the choice (after entries were removed from it).
    void syncChecks();

    CADODataBase& m_database;
    Prompter& m_prompter;
    CNumberHistory m_history;
    CRecipientChoice m_choice;
    PickedRecipients m_picked;
    QTreeWidget* m_folders;
    QTreeWidget* m_cards;
    QComboBox* m_numberBox;
    QListWidget* m_chosen;
};

} // namespace telvora
