#pragma once

#include "account/AccountAdmin.h"
#include "account/AccountList.h"

#include <QDialog>
#include <optional>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace telvora {

class CServiceTask;
class Prompter;

// "帐号管理": the account's users with their stock, and the commands on sub-accounts.
// The user list is asked for when the dialog opens.
class CMgrUserDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMgrUserDlg)

public:
    // account is the parameter "Account".
    CMgrUserDlg(Prompter& prompter, CServiceClient& service, CSession& session, const std::string& account,
        QWidget* parent = nullptr);
    ~CMgrUserDlg() override;

    QTreeWidget* userList() const { return m_list; }
    // The label that starts with caption ("可用帐号数：", "用户名称：", ...).
    QString labelText(const QString& caption) const;
    bool isBusy() const;

signals:
    // A service call of this dialog ended.
    void callFinished();
    // A sub-dialog ("新增帐号", "短信分配") was opened, window-modal.
    void subDialogOpened(QDialog* dialog);

public slots:
    void onAddClicked();
    void onResetPasswordClicked();
    void onRemoveClicked();
    void onDistributeClicked();

private:
    void onUserInfo(bool ok);
    void showRows();
    std::optional<std::string> selectedUser() const;
    void openSubDialog(QDialog* dialog);

    Prompter& m_prompter;
    CSession& m_session;
    std::string m_account;
    CAccountAdmin m_admin;
    AccountInfo m_info;
    std::vector<AccountRow> m_rows;
    QList<QLabel*> m_labels;
    QTreeWidget* m_list;
    CServiceTask* m_task = nullptr;
};

} // namespace telvora
