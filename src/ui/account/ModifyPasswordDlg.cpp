#include "account/ModifyPasswordDlg.h"

#include "account/AccountChecks.h"
#include "account/PasswordStrength.h"
#include "account/ServiceTask.h"
#include "app/ParameterStore.h"
#include "app/Prompter.h"
#include "app/RememberedPassword.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace telvora {

CModifyPasswordDlg::CModifyPasswordDlg(Dependencies dependencies, QWidget* parent)
    : QDialog(parent)
    , m_deps(dependencies)
    , m_admin(dependencies.service, dependencies.session)
    , m_old(new QLineEdit(this))
    , m_new(new QLineEdit(this))
    , m_confirm(new QLineEdit(this))
    , m_strength(new QLabel(this))
    , m_ok(new QPushButton(QStringLiteral("确定"), this))
    , m_task(nullptr)
{
    setWindowTitle(QStringLiteral("修改密码"));
    for (QLineEdit* edit : {m_old, m_new, m_confirm})
        edit->setEchoMode(QLineEdit::Password);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("旧密码"), m_old);
    form->addRow(QStringLiteral("新密码"), m_new);
    form->addRow(QStringLiteral("确认密码"), m_confirm);
    form->addRow(QStringLiteral("密码强度"), m_strength);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    buttons->addButton(m_ok, QDialogButtonBox::AcceptRole);
    m_ok->setDefault(true);
    m_task = CServiceTask::layOut(this, form, buttons);

    const auto showStrength = [this]() {
        const std::string typed = m_new->text().toStdString();
        m_strength->setText(typed.empty() ? QString() : QString::number(PasswordStrengthScore(typed)));
    };
    connect(m_new, &QLineEdit::textChanged, this, showStrength);
    connect(m_ok, &QPushButton::clicked, this, &CModifyPasswordDlg::onOkClicked);
}

CModifyPasswordDlg::~CModifyPasswordDlg() = default;

bool CModifyPasswordDlg::isBusy() const
{
    return m_task->isRunning();
}

void CModifyPasswordDlg::onOkClicked()
{
    if (isBusy())
        return;
    const std::string oldPassword = m_old->text().toStdString();
    m_newPassword = m_new->text().toStdString();
    const std::string refusal = CheckPasswordChange(
        oldPassword, m_newPassword, m_confirm->text().toStdString(), m_deps.parameters.Get("Password"));
    if (!refusal.empty()) {
        m_deps.prompter.information(this, QString::fromStdString(refusal));
        return;
    }
    m_task->run([this, oldPassword]() { return m_admin.ChangePassword(oldPassword, m_newPassword); },
        [this](bool ok) { onChanged(ok); });
}

void CModifyPasswordDlg::onChanged(bool ok)
{
    if (!ok) {
        m_deps.prompter.information(
            this, QStringLiteral("修改登录密码失败：") + QString::fromStdString(m_admin.GetMessage()));
        emit callFinished();
        return;
    }
    StoreChangedPassword(m_deps.database, m_deps.parameters, m_deps.vault, m_newPassword);
    m_deps.prompter.information(
        this, QStringLiteral("修改登录密码成功,您的密码强度为 [%1]分 !").arg(PasswordStrengthScore(m_newPassword)));
    emit callFinished();
    accept();
}

} // namespace telvora
