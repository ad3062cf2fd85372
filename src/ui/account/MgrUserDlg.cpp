#include "account/MgrUserDlg.h"

#include "account/AccountChecks.h"
#include "account/AddSubAccountDlg.h"
#include "account/MallocSMSDlg.h"
#include "account/ServiceTask.h"
#include "app/Prompter.h"
#include "session/Session.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace telvora {

namespace {

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

const QStringList& labelCaptions()
{
    static const QStringList captions {QStringLiteral("可用帐号数："), QStringLiteral("已用帐号数："),
        QStringLiteral("用户名称："), QStringLiteral("用户帐号："), QStringLiteral("地址："),
        QStringLiteral("联系人："), QStringLiteral("联系电话：")};
    return captions;
}

} // namespace

CMgrUserDlg::CMgrUserDlg(
    Prompter& prompter, CServiceClient& service, CSession& session, const std::string& account, QWidget* parent)
    : QDialog(parent)
    , m_prompter(prompter)
    , m_session(session)
    , m_account(account)
    , m_admin(service, session)
    , m_list(new QTreeWidget(this))
{
    setWindowTitle(QStringLiteral("帐号管理"));
    resize(600, 420);
    auto* labels = new QGridLayout;
    for (const QString& caption : labelCaptions()) {
        auto* label = new QLabel(caption, this);
        label->setTextFormat(Qt::PlainText);
        labels->addWidget(label, static_cast<int>(m_labels.size()) / 2, static_cast<int>(m_labels.size()) % 2);
        m_labels.append(label);
    }
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({QStringLiteral("序号"), QStringLiteral("帐号"), QStringLiteral("帐号类型"),
        QStringLiteral("短信余量"), QStringLiteral("备注")});
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* commands = new QWidget(this);
    auto* row = new QHBoxLayout(commands);
    row->setContentsMargins(0, 0, 0, 0);
    const auto addButton = [this, commands, row](const QString& text, void (CMgrUserDlg::*slot)()) {
        auto* button = new QPushButton(text, commands);
        row->addWidget(button);
        connect(button, &QPushButton::clicked, this, slot);
    };
    addButton(QStringLiteral("新增帐号"), &CMgrUserDlg::onAddClicked);
    addButton(QStringLiteral("修改密码"), &CMgrUserDlg::onResetPasswordClicked);
    addButton(QStringLiteral("删除帐号"), &CMgrUserDlg::onRemoveClicked);
    addButton(QStringLiteral("短信分配"), &CMgrUserDlg::onDistributeClicked);
    row->addStretch();
    auto* close = new QPushButton(QStringLiteral("退出"), commands);
    row->addWidget(close);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* busy = new QProgressBar(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(labels);
    layout->addWidget(m_list, 1);
    layout->addWidget(busy);
    layout->addWidget(commands);
    m_task = new CServiceTask(commands, busy, this);
    m_task->run([this]() { return m_admin.GetUserInfo(m_info); }, [this](bool ok) { onUserInfo(ok); });
}

CMgrUserDlg::~CMgrUserDlg() = default;

bool CMgrUserDlg::isBusy() const
{
    return m_task->isRunning();
}

QString CMgrUserDlg::labelText(const QString& caption) const
{
    for (QLabel* label : m_labels) {
        if (label->text().startsWith(caption))
            return label->text();
    }
    return {};
}

void CMgrUserDlg::onUserInfo(bool ok)
{
    if (ok) {
        const auto set = [this](int index, const std::string& value) {
            m_labels[index]->setText(labelCaptions()[index] + qs(value));
        };
        set(0, m_info.totalAccounts);
        set(2, m_info.companyName);
        set(3, m_account);
        set(4, m_info.address);
        set(5, m_info.contact);
        set(6, m_info.phone);
        m_rows = BuildAccountRows(m_info, m_session.stock);
        showRows();
    }
    emit callFinished();
}

void CMgrUserDlg::showRows()
{
    m_list->clear();
    for (const AccountRow& row : m_rows)
        new QTreeWidgetItem(m_list, {qs(row.number), qs(row.user), qs(row.kind), qs(row.stock), qs(row.memo)});
    m_labels[1]->setText(labelCaptions()[1] + QString::number(m_rows.size()));
}

std::optional<std::string> CMgrUserDlg::selectedUser() const
{
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return selected.first()->text(1).toStdString();
}

void CMgrUserDlg::openSubDialog(QDialog* dialog)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    emit subDialogOpened(dialog);
}

void CMgrUserDlg::onAddClicked()
{
    auto* dialog = new CAddSubAccountDlg(m_prompter, m_admin, this);
    connect(dialog, &QDialog::accepted, this, [this, dialog]() {
        AppendAddedAccount(m_rows, dialog->nameEdit()->text().toStdString(), dialog->memoEdit()->text().toStdString());
        showRows();
    });
    openSubDialog(dialog);
}

void CMgrUserDlg::onResetPasswordClicked()
{
    if (isBusy())
        return;
    const std::optional<std::string> user = selectedUser();
    std::string refusal = CheckPasswordResetTarget(user);
    if (!refusal.empty()) {
        m_prompter.information(this, qs(refusal));
        return;
    }
    const QString typed = m_prompter.getText(this, QStringLiteral("修改子帐号密码"), {});
    if (typed.isNull())
        return;
    const std::string password = typed.toStdString();
    refusal = CheckResetPassword(password);
    if (!refusal.empty()) {
        m_prompter.information(this, qs(refusal));
        return;
    }
    m_task->run([this, name = *user, password]() { return m_admin.ResetSubAccountPassword(name, password); },
        [this](bool ok) {
            // A failure was reported by the call itself.
            if (ok)
                m_prompter.information(this, QStringLiteral("修改帐号密码成功"));
            emit callFinished();
        });
}

void CMgrUserDlg::onRemoveClicked()
{
    if (isBusy())
        return;
    const std::optional<std::string> user = selectedUser();
    std::string refusal = CheckRemovalSelected(user);
    if (!refusal.empty()) {
        m_prompter.information(this, qs(refusal));
        return;
    }
    if (!m_prompter.question(this, QStringLiteral("您确认要删除此该用户？")))
        return;
    refusal = CheckRemovalTarget(*user);
    if (!refusal.empty()) {
        m_prompter.information(this, qs(refusal));
        return;
    }
    m_task->run([this, name = *user]() { return m_admin.RemoveSubAccount(name); },
        [this, name = *user](bool ok) {
            if (ok) {
                RemoveAccountRow(m_rows, name, m_session.stock);
                showRows();
            }
            emit callFinished();
        });
}

void CMgrUserDlg::onDistributeClicked()
{
    auto* dialog = new CMallocSMSDlg(m_prompter, m_admin, DistributionCandidates(m_rows), m_session.stock, this);
    connect(dialog, &QDialog::accepted, this, [this, dialog]() {
        ApplyDistribution(m_rows, dialog->chosenUser(), dialog->signedAmount(), m_session.stock);
        showRows();
    });
    openSubDialog(dialog);
}

} // namespace telvora
