#include "shell/LoginDlg.h"

#include "app/AppConstants.h"
#include "app/AppContext.h"
#include "app/LoginGate.h"
#include "app/Prompter.h"
#include "service/ServiceClient.h"
#include "session/Session.h"
#include "shell/ServerIPDlg.h"
#include "shell/ShellServices.h"
#include "shell/Updater.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QtConcurrent/QtConcurrentRun>

namespace telvora {

namespace {

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

void fillCombo(QComboBox* combo, const std::vector<std::string>& entries)
{
    for (const std::string& entry : entries)
        combo->addItem(qs(entry));
}

} // namespace

CLoginDlg::CLoginDlg(ShellServices& services, QWidget* parent)
    : QDialog(parent)
    , m_services(services)
    , m_account(new QComboBox(this))
    , m_user(new QComboBox(this))
    , m_password(new QLineEdit(this))
    , m_remember(new QCheckBox(QStringLiteral("记住密码"), this))
    , m_autoRun(new QCheckBox(QStringLiteral("开机运行"), this))
    , m_login(new QPushButton(QStringLiteral("登录"), this))
    , m_cancel(new QPushButton(QStringLiteral("取消"), this))
    , m_clearHistory(new QPushButton(QStringLiteral("清除历史"), this))
    , m_server(new QPushButton(QStringLiteral("服务器设置"), this))
{
    setWindowTitle(QStringLiteral("系统登录"));
    m_account->setEditable(true);
    m_user->setEditable(true);
    m_account->setInsertPolicy(QComboBox::NoInsert);
    m_user->setInsertPolicy(QComboBox::NoInsert);
    m_account->lineEdit()->setMaxLength(kMaxAccountLength);
    m_account->lineEdit()->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_account));
    m_user->lineEdit()->setMaxLength(kMaxUserLength);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setMaxLength(kMaxPasswordLength);
    m_login->setDefault(true);

    auto* form = new QGridLayout;
    form->addWidget(new QLabel(QStringLiteral("登录帐号："), this), 0, 0);
    form->addWidget(m_account, 0, 1);
    form->addWidget(new QLabel(QStringLiteral("用户名："), this), 1, 0);
    form->addWidget(m_user, 1, 1);
    form->addWidget(new QLabel(QStringLiteral("登录密码："), this), 2, 0);
    form->addWidget(m_password, 2, 1);
    auto* checks = new QHBoxLayout;
    checks->addWidget(m_remember);
    checks->addWidget(m_autoRun);
    checks->addStretch();
    form->addLayout(checks, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_clearHistory);
    buttons->addWidget(m_server);
    buttons->addStretch();
    buttons->addWidget(m_login);
    buttons->addWidget(m_cancel);
    auto* layout = new QGridLayout(this);
    layout->addLayout(form, 0, 0);
    layout->addLayout(buttons, 1, 0);
    setMinimumWidth(360);

    // Initial state from the setup file: start at logon, histories, the last login.
    const CIniFile& setup = m_services.app.GetSetupFile();
    m_autoRun->setChecked(DecimalValue(setup.GetString(kSetupSection, "AutoRun")) != 0);
    fillCombo(m_account, m_services.login.AccountHistory());
    fillCombo(m_user, m_services.login.UserHistory());
    const QString account = qs(setup.GetString(kSetupSection, "CurAccount"));
    const QString user = qs(setup.GetString(kSetupSection, "CurUser"));
    loadAccountPassword(user);
    m_services.service.SetAddress(m_services.login.InitialServiceAddress());
    m_addressLocked = m_services.login.IsAddressLocked();
    m_account->setCurrentText(account);
    m_user->setCurrentText(user);

    connect(m_login, &QPushButton::clicked, this, &CLoginDlg::onLoginClicked);
    connect(m_cancel, &QPushButton::clicked, this, &CLoginDlg::reject);
    connect(m_clearHistory, &QPushButton::clicked, this, &CLoginDlg::onClearHistoryClicked);
    connect(m_server, &QPushButton::clicked, this, &CLoginDlg::onServerSettingsClicked);
    connect(m_user, &QComboBox::activated, this, &CLoginDlg::onUserSelected);
    connect(&m_attempt, &QFutureWatcher<LoginOutcome>::finished, this, &CLoginDlg::onLoginFinished);
}

CLoginDlg::~CLoginDlg()
{
    // The worker uses the session and the database the caller owns.
    m_attempt.waitForFinished();
}

CServerIPDlg* CLoginDlg::serverDialog() const
{
    return m_serverDialog.data();
}

void CLoginDlg::setCredentials(const QString& account, const QString& user, const QString& password)
{
    m_account->setCurrentText(account);
    m_user->setCurrentText(user);
    m_password->setText(password);
}

void CLoginDlg::loadAccountPassword(const QString& user)
{
    bool remember = false;
    std::string password;
    m_services.login.LoadAccountPassword(user.toStdString(), remember, password);
    m_remember->setChecked(remember);
    m_password->setText(qs(password));
}

void CLoginDlg::onUserSelected(int index)
{
    loadAccountPassword(m_user->itemText(index));
}

void CLoginDlg::onLoginClicked()
{
    if (isBusy())
        return;
    LoginRequest request;
    request.account = m_account->currentText().trimmed().toStdString();
    request.user = m_user->currentText().trimmed().toStdString();
    request.password = m_password->text().toStdString();
    request.rememberPassword = m_remember->isChecked();
    request.startAtLogon = m_autoRun->isChecked();

    setBusy(true);
    m_services.loginGate.loginStarted();
    emit loginStarted();
    CLoginService& login = m_services.login;
    m_attempt.setFuture(QtConcurrent::run([&login, request]() { return login.LogIn(request); }));
}

void CLoginDlg::onLoginFinished()
{
    m_outcome = m_attempt.result();
    // The connection and the session are settled; what waited may run, even while a
    // message below is open.
    m_services.loginGate.loginOver();
    setBusy(false);

    using Result = LoginOutcome::Result;
    switch (m_outcome.result) {
    case Result::Invalid:
    case Result::Refused:
        m_services.prompter.information(this, qs(m_outcome.message));
        break;
    case Result::DatabaseFailed:
        m_services.prompter.error(this, qs(m_outcome.message));
        break;
    case Result::LoggedIn:
        offerUpdate();
        break;
    case Result::InterfaceAccount:
        offerUpdate();
        m_services.prompter.information(this, qs(m_outcome.message));
        break;
    }
    emit loginAttempted(static_cast<int>(m_outcome.result));
    if (m_outcome.result == Result::LoggedIn || m_outcome.result == Result::InterfaceAccount)
        accept();
}

void CLoginDlg::setBusy(bool busy)
{
    for (QWidget* input : std::initializer_list<QWidget*> {
             m_account, m_user, m_password, m_remember, m_autoRun, m_login, m_cancel, m_clearHistory, m_server})
        input->setEnabled(!busy);
    if (busy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void CLoginDlg::reject()
{
    // Cancelling mid-way would leave the log-in half applied.
    if (!isBusy())
        QDialog::reject();
}

void CLoginDlg::offerUpdate()
{
    if (!m_outcome.updateAvailable)
        return;
    if (m_services.prompter.question(this, QStringLiteral("Telvora已升级，是否在线更新？")))
        CUpdater::Start(m_services.app);
}

void CLoginDlg::onClearHistoryClicked()
{
    m_account->clear();
    m_user->clear();
    m_account->setCurrentText(QString());
    m_user->setCurrentText(QString());
    m_password->clear();
    m_remember->setChecked(false);
    m_services.login.ClearAccountHistory();
}

void CLoginDlg::onServerSettingsClicked()
{
    if (m_serverDialog)
        return;
    auto* dialog = new CServerIPDlg(qs(m_services.service.Address()), m_addressLocked, m_services.web,
        qs(CLoginService::DefaultServiceAddress()), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    m_serverDialog = dialog;
    connect(dialog, &QDialog::accepted, this, [this, dialog]() {
        const QString address = dialog->address();
        m_services.service.SetAddress(
            address.isEmpty() ? CLoginService::DefaultServiceAddress() : address.toStdString());
        m_addressLocked = dialog->isLocked();
        m_services.app.GetSetupFile().WriteString(kSetupSection, "AutoUpdate", m_addressLocked ? "1" : "0");
    });
    dialog->open();
}

} // namespace telvora
