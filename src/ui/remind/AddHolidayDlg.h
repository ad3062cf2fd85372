#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace telvora {

class CADODataBase;
class Prompter;

// Adds a holiday of the user's own.
class CAddHolidayDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CAddHolidayDlg)

public:
    CAddHolidayDlg(CADODataBase& database, Prompter& prompter, QWidget* parent = nullptr);
    ~CAddHolidayDlg() override;

    QLineEdit* nameBox() const { return m_name; }
    QComboBox* kindList() const { return m_kind; }
    QComboBox* monthList() const { return m_month; }
    QComboBox* dayList() const { return m_day; }

public slots:
    void accept() override;

private:
    CADODataBase& m_database;
    Prompter& m_prompter;
    QLineEdit* m_name;
    QComboBox* m_kind;
    QComboBox* m_month;
    QComboBox* m_day;
};

} // namespace telvora
