#pragma once

#include "session/LoginService.h"

#include <QDialog>
#include <QFutureWatcher>
#include <QPointer>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace telvora {

class CServerIPDlg;
struct ShellServices;

// "系统登录": account, sub-account and password, the remembered histories and password,
// start at logon and the service address. The log-in itself is CLoginService's and runs
// on a worker, so the dialog keeps painting while the service answers; this dialog shows
// its outcome, asks about an update and closes with OK once logged in.
class CLoginDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CLoginDlg)

public:
    static constexpr int kMaxAccountLength = 6;
    static constexpr int kMaxUserLength = 10;
    static constexpr int kMaxPasswordLength = 20;

    explicit CLoginDlg(ShellServices& services, QWidget* parent = nullptr);
    ~CLoginDlg() override;

    // The outcome of the last attempt.
    const LoginOutcome& outcome() const { return m_outcome; }
    // A log-in is under way; the fields are locked and the dialog cannot be cancelled.
    bool isBusy() const { return m_attempt.isRunning(); }
    bool isAddressLocked() const { return m_addressLocked; }

    // Fills the fields, e.g. for a scripted log-in.
    void setCredentials(const QString& account, const QString& user, const QString& password);

    QComboBox* accountCombo() const { return m_account; }
    QComboBox* userCombo() const { return m_user; }
    QLineEdit* passwordEdit() const { return m_password; }
    QCheckBox* rememberCheck() const { return m_remember; }
    QCheckBox* autoRunCheck() const { return m_autoRun; }
    QPushButton* loginButton() const { return m_login; }
    QPushButton* clearHistoryButton() const { return m_clearHistory; }
    QPushButton* serverButton() const { return m_server; }
    // The server settings while they are open.
    CServerIPDlg* serverDialog() const;

public slots:
    void onLoginClicked();
    void onClearHistoryClicked();
    void onServerSettingsClicked();
    void reject() override;

signals:
    // The log-in went to the worker: the session and the database are its until
    // loginAttempted.
    void loginStarted();
    // After every attempt, with the LoginOutcome::Result.
    void loginAttempted(int result);

private:
    void onLoginFinished();
    void setBusy(bool busy);
    void onUserSelected(int index);
    void loadAccountPassword(const QString& user);
    void offerUpdate();

    ShellServices& m_services;
    LoginOutcome m_outcome;
    bool m_addressLocked = false;
    QComboBox* m_account;
    QComboBox* m_user;
    QLineEdit* m_password;
    QCheckBox* m_remember;
    QCheckBox* m_autoRun;
    QPushButton* m_login;
    QPushButton* m_cancel;
    QPushButton* m_clearHistory;
    QPushButton* m_server;
    QPointer<CServerIPDlg> m_serverDialog;
    QFutureWatcher<LoginOutcome> m_attempt;
};

} // namespace telvora
