#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace telvora {

class CAccountAdmin;
class CServiceTask;
class Prompter;

// "新增帐号": a sub-account's name, password (twice) and memo, created at the service on OK.
class CAddSubAccountDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CAddSubAccountDlg)

public:
    CAddSubAccountDlg(Prompter& prompter, CAccountAdmin& admin, QWidget* parent = nullptr);
    ~CAddSubAccountDlg() override;

    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* passwordEdit() const { return m_password; }
    QLineEdit* confirmEdit() const { return m_confirm; }
    QLineEdit* memoEdit() const { return m_memo; }
    bool isBusy() const;

signals:
    void callFinished();

public slots:
    void onOkClicked();

private:
    Prompter& m_prompter;
    CAccountAdmin& m_admin;
    QLineEdit* m_name;
    QLineEdit* m_password;
    QLineEdit* m_confirm;
    QLineEdit* m_memo;
    CServiceTask* m_task = nullptr;
};

} // namespace telvora
