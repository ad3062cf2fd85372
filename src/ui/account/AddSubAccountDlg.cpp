#include "account/AddSubAccountDlg.h"

#include "account/AccountAdmin.h"
#include "account/AccountChecks.h"
#include "account/ServiceTask.h"
#include "app/Prompter.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace telvora {

CAddSubAccountDlg::CAddSubAccountDlg(Prompter& prompter, CAccountAdmin& admin, QWidget* parent)
    : QDialog(parent)
    , m_prompter(prompter)
    , m_admin(admin)
    , m_name(new QLineEdit(this))
    , m_password(new QLineEdit(this))
    , m_confirm(new QLineEdit(this))
    , m_memo(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("新增帐号"));
    m_password->setEchoMode(QLineEdit::Password);
    m_confirm->setEchoMode(QLineEdit::Password);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("帐号名称"), m_name);
    form->addRow(QStringLiteral("密码"), m_password);
    form->addRow(QStringLiteral("确认密码"), m_confirm);
    form->addRow(QStringLiteral("备注"), m_memo);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_task = CServiceTask::layOut(this, form, buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAddSubAccountDlg::onOkClicked);
}

CAddSubAccountDlg::~CAddSubAccountDlg() = default;

bool CAddSubAccountDlg::isBusy() const
{
    return m_task->isRunning();
}

void CAddSubAccountDlg::onOkClicked()
{
    if (isBusy())
        return;
    const std::string name = m_name->text().toStdString();
    const std::string password = m_password->text().toStdString();
    const std::string refusal = CheckNewSubAccount(name, password, m_confirm->text().toStdString());
    if (!refusal.empty()) {
        m_prompter.information(this, QString::fromStdString(refusal));
        return;
    }
    const std::string memo = m_memo->text().toStdString();
    m_task->run([this, name, password, memo]() { return m_admin.AddSubAccount(name, password, memo); },
        [this](bool ok) {
            if (!ok)
                m_prompter.information(this, QString::fromStdString(m_admin.GetMessage()));
            emit callFinished();
            if (ok)
                accept();
        });
}

} // namespace telvora
