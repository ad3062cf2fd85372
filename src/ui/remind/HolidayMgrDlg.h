#pragma once

#include <QDialog>

class QButtonGroup;
class QPushButton;
class QTreeWidget;

namespace telvora {

class CADODataBase;
class Prompter;

// "节日管理": the holidays of each type; the user's own can be added and deleted.
class CHolidayMgrDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CHolidayMgrDlg)

public:
    CHolidayMgrDlg(CADODataBase& database, Prompter& prompter, QWidget* parent = nullptr);
    ~CHolidayMgrDlg() override;

    QButtonGroup* types() const { return m_types; }
    QTreeWidget* list() const { return m_list; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* deleteButton() const { return m_delete; }

    void showType(int type);
    void onDelete();

signals:
    // The add dialog is about to run (tests fill it in from here).
    void addDialogOpened(QDialog* dialog);

private:
    void onAdd();

    CADODataBase& m_database;
    Prompter& m_prompter;
    QButtonGroup* m_types;
    QTreeWidget* m_list;
    QPushButton* m_add;
    QPushButton* m_delete;
    int m_type = 1;
};

} // namespace telvora
