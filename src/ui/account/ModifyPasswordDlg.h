#pragma once

#include "account/AccountAdmin.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace telvora {

class CADODataBase;
class CParameterStore;
class CPasswordVault;
class CServiceTask;
class Prompter;

// "修改密码": the login password of the user logged in, with the strength of the new one
// shown as it is typed.
class CModifyPasswordDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CModifyPasswordDlg)

public:
    struct Dependencies
    {
        Prompter& prompter;
        CServiceClient& service;
        CSession& session;
        CADODataBase& database;
        CParameterStore& parameters;
        CPasswordVault* vault; // null without a secret store
    };

    explicit CModifyPasswordDlg(Dependencies dependencies, QWidget* parent = nullptr);
    ~CModifyPasswordDlg() override;

    QLineEdit* oldEdit() const { return m_old; }
    QLineEdit* newEdit() const { return m_new; }
    QLineEdit* confirmEdit() const { return m_confirm; }
    QLabel* strengthLabel() const { return m_strength; }
    QPushButton* okButton() const { return m_ok; }
    bool isBusy() const;

signals:
    // The service call ended (whatever its outcome).
    void callFinished();

public slots:
    void onOkClicked();

private:
    void onChanged(bool ok);

    Dependencies m_deps;
    CAccountAdmin m_admin;
    QLineEdit* m_old;
    QLineEdit* m_new;
    QLineEdit* m_confirm;
    QLabel* m_strength;
    QPushButton* m_ok;
    CServiceTask* m_task;
    std::string m_newPassword;
};

} // namespace telvora
