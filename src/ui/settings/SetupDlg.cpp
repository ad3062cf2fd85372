#include "settings/SetupDlg.h"

#include "app/AppContext.h"
#include "app/BasicSettings.h"
#include "app/Prompter.h"
#include "remind/BirthdaySettings.h"
#include "session/Session.h"
#include "settings/BasicSetupView.h"
#include "settings/SecuritySetupView.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace telvora {

CSetupDlg::CSetupDlg(CAppContext& app, const CSession& session, Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_app(app)
    , m_prompter(prompter)
    , m_tabs(new QTabWidget(this))
    , m_basic(new CBasicSetupView(m_tabs))
    , m_birthday(new CSecuritySetupView(m_tabs))
{
    setWindowTitle(QStringLiteral("系统设置"));
    m_tabs->addTab(m_basic, QStringLiteral("系统参数设置"));
    m_tabs->addTab(m_birthday, QStringLiteral("生日祝福设置"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CSetupDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSetupDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);

    m_basic->load(BasicSettings::Load(app.GetParameters(), session.signName, session.fetchSendStat));
    m_birthday->load(BirthdaySettings::Load(app.GetParameters()));
}

CSetupDlg::~CSetupDlg() = default;

bool CSetupDlg::refuse(int page, const std::string& message)
{
    if (message.empty())
        return false;
    m_tabs->setCurrentIndex(page);
    m_prompter.information(this, QString::fromStdString(message));
    return true;
}

void CSetupDlg::accept()
{
    CParameterStore& parameters = m_app.GetParameters();
    const BasicSettings basic = m_basic->values();
    m_tabs->setCurrentIndex(0);
    if (refuse(0, basic.Validate()))
        return;
    basic.Store(parameters);
    const BirthdaySettings birthday = m_birthday->values();
    m_tabs->setCurrentIndex(1);
    if (refuse(1, birthday.Validate()))
        return;
    birthday.Store(parameters);
    if (!parameters.SaveAll(m_app.GetDatabase(), m_app.GetSetupFile())) {
        m_prompter.error(this, QString::fromStdString(parameters.GetLastError()));
        return;
    }
    QDialog::accept();
}

} // namespace telvora
