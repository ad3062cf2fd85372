#pragma once

#include "tools/PhraseLibrary.h"

#include <QDialog>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace telvora {

class CADODataBase;
class CToolWorker;
class Prompter;

// "短信用语": the phrase library, its groups and phrases, and the choice of one phrase for
// the send view ("选中发送"). Imports run on a worker with a connection of their own.
class CShortMessageDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CShortMessageDlg)

public:
    CShortMessageDlg(Prompter& prompter, CADODataBase& database, QWidget* parent = nullptr);
    ~CShortMessageDlg() override;

    // The chosen phrase, trimmed, after OK.
    const QString& chosenText() const { return m_chosen; }

    QTreeWidget* groupTree() const { return m_tree; }
    QTreeWidget* phraseList() const { return m_phrases; }
    QLineEdit* titleEdit() const { return m_title; }
    QComboBox* groupBox() const { return m_group; }
    QPlainTextEdit* contentEdit() const { return m_content; }
    QLabel* counterLabel() const { return m_counter; }
    QPushButton* button(const QString& caption) const;
    bool isImporting() const;
    // Selects the tree entry of a group name and lists its phrases; false when none.
    bool selectGroup(const QString& name);

public slots:
    void onAddClicked();
    void onModifyClicked();
    void onDeleteClicked();
    void onUseClicked();
    void onImportClicked();
    void onNewGroup();
    void onRenameGroup();
    void onDeleteGroup();
    void reject() override;

signals:
    void importFinished();

private:
    void loadGroups();
    void listPhrases();
    void onPhraseSelected();
    void onContentChanged();
    QTreeWidgetItem* selectedGroupItem() const;
    QTreeWidgetItem* groupsRoot() const;
    void addGroupItem(int id, const QString& name);

    Prompter& m_prompter;
    CADODataBase& m_database;
    CPhraseLibrary m_library;
    QString m_chosen;
    bool m_editing = false;
    bool m_imported = false;
    std::string m_importMessage;

    QTreeWidget* m_tree = nullptr;
    QTreeWidget* m_phrases = nullptr;
    QLineEdit* m_title = nullptr;
    QComboBox* m_group = nullptr;
    QPlainTextEdit* m_content = nullptr;
    QLabel* m_counter = nullptr;
    QProgressBar* m_progress = nullptr;
    QList<QPushButton*> m_buttons;
    CToolWorker* m_worker = nullptr;
};

} // namespace telvora
