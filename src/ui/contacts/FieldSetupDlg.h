#pragma once

#include "contacts/FieldCatalogue.h"

#include <QDialog>

class QPushButton;

namespace telvora {

class CADODataBase;
class Prompter;
class ReportView;

// "客户字段设置": renames the card fields, switches custom fields on and off and chooses
// which fields the card list shows.
class CFieldSetupDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CFieldSetupDlg)

public:
    CFieldSetupDlg(CADODataBase& database, Prompter& prompter, QWidget* parent = nullptr);

    // Some catalogue row was changed.
    bool changed() const { return m_changed; }

    void renameField();
    void toggleActive();
    void toggleShown();

    ReportView* report() const { return m_report; }
    QPushButton* activeButton() const { return m_active; }
    QPushButton* shownButton() const { return m_shown; }

private:
    void reload();
    void updateButtons();
    const CardField* focused();

    CFieldCatalogue m_catalogue;
    Prompter& m_prompter;
    std::vector<CardField> m_fields;
    ReportView* m_report;
    QPushButton* m_active;
    QPushButton* m_shown;
    bool m_changed = false;
};

} // namespace telvora
