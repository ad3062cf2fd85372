#pragma once

#include "db/ADODataBase.h"

#include <QDialog>
#include <string>

class QLineEdit;
class QPushButton;

namespace telvora {

class Prompter;

// "手机归属地查询": the province and city of one number's segment.
class CPhoneQueryDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPhoneQueryDlg)

public:
    // regionDatabase is the path of mobileArea.db; when it will not open the dialog says so.
    CPhoneQueryDlg(Prompter& prompter, const std::string& regionDatabase, QWidget* parent = nullptr);
    ~CPhoneQueryDlg() override;

    QLineEdit* numberEdit() const { return m_number; }
    QLineEdit* provinceEdit() const { return m_province; }
    QLineEdit* cityEdit() const { return m_city; }
    QPushButton* queryButton() const { return m_query; }

public slots:
    void onQueryClicked();

private:
    CADODataBase m_database;
    QLineEdit* m_number;
    QLineEdit* m_province;
    QLineEdit* m_city;
    QPushButton* m_query;
};

} // namespace telvora
