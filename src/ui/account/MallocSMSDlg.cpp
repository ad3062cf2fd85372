#include "account/MallocSMSDlg.h"

#include "account/AccountAdmin.h"
#include "account/AccountChecks.h"
#include "account/ServiceTask.h"
#include "app/Prompter.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace telvora {

namespace {

constexpr int kAmountDigits = 8;

} // namespace

CMallocSMSDlg::CMallocSMSDlg(
    Prompter& prompter, CAccountAdmin& admin, std::vector<std::string> users, int stock, QWidget* parent)
    : QDialog(parent)
    , m_prompter(prompter)
    , m_admin(admin)
    , m_users(std::move(users))
    , m_available(stock)
    , m_user(new QComboBox(this))
    , m_amount(new QLineEdit(this))
    , m_add(new QRadioButton(QStringLiteral("新增"), this))
    , m_takeBack(new QRadioButton(QStringLiteral("减少"), this))
    , m_stock(new QLabel(QStringLiteral("可分配数量：%1").arg(stock), this))
{
    setWindowTitle(QStringLiteral("短信分配"));
    m_user->setEditable(true);
    for (const std::string& user : m_users)
        m_user->addItem(QString::fromStdString(user));
    m_amount->setMaxLength(kAmountDigits);
    m_add->setChecked(true);
    auto* direction = new QHBoxLayout;
    direction->addWidget(m_add);
    direction->addWidget(m_takeBack);
    auto* form = new QFormLayout;
    form->addRow(m_stock);
    form->addRow(QStringLiteral("子帐号"), m_user);
    form->addRow(QStringLiteral("数量"), m_amount);
    form->addRow(direction);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    buttons->addButton(QStringLiteral("分配"), QDialogButtonBox::AcceptRole);
    m_task = CServiceTask::layOut(this, form, buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CMallocSMSDlg::onOkClicked);
}

CMallocSMSDlg::~CMallocSMSDlg() = default;

bool CMallocSMSDlg::isBusy() const
{
    return m_task->isRunning();
}

void CMallocSMSDlg::onOkClicked()
{
    if (isBusy())
        return;
    const std::string name = m_user->currentText().toStdString();
    int amount = 0;
    const std::string refusal = CheckStockDistribution(
        name, m_users, m_amount->text().toStdString(), m_add->isChecked(), m_available, amount);
    if (!refusal.empty()) {
        m_prompter.information(this, QString::fromStdString(refusal));
        return;
    }
    m_task->run([this, name, amount]() { return m_admin.DistributeStock(name, amount); },
        [this, name, amount](bool ok) {
            if (ok) {
                m_chosenUser = name;
                m_amountSent = amount;
            } else {
                m_prompter.information(this, QString::fromStdString(m_admin.GetMessage()));
            }
            emit callFinished();
            if (ok)
                accept();
        });
}

} // namespace telvora
