#include "remind/TodayRemainDlg.h"

#include "app/Prompter.h"
#include "remind/CustomDateReminder.h"
#include "session/Session.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimeEdit>

namespace telvora {

CTodayRemainDlg::CTodayRemainDlg(const CustomDateReminder& reminder, CADODataBase& database, const CSession& session,
    Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_id(reminder.id)
    , m_database(database)
    , m_session(session)
    , m_prompter(prompter)
    , m_autoSend(new QCheckBox(QStringLiteral("启用自动短信发送"), this))
    , m_insertTitle(new QCheckBox(QStringLiteral("插入接收者称呼"), this))
    , m_time(new QTimeEdit(this))
    , m_content(new QPlainTextEdit(this))
{
    setWindowTitle(QStringLiteral("自定义提醒设置"));
    m_autoSend->setObjectName(QStringLiteral("autoSend"));
    m_insertTitle->setObjectName(QStringLiteral("insertTitle"));
    m_time->setObjectName(QStringLiteral("time"));
    m_content->setObjectName(QStringLiteral("content"));
    m_time->setDisplayFormat(QStringLiteral("HH:mm"));
    m_autoSend->setChecked(reminder.autoSend);
    m_insertTitle->setChecked(reminder.insertTitle);
    m_time->setTime(QTime(reminder.sendTime.hour, reminder.sendTime.minute));
    m_content->setPlainText(QString::fromStdString(reminder.content));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CTodayRemainDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CTodayRemainDlg::reject);
    connect(m_autoSend, &QCheckBox::toggled, this, &CTodayRemainDlg::updateEnabled);
    auto* layout = new QFormLayout(this);
    layout->addRow(QString::fromStdString(reminder.newName), m_autoSend);
    layout->addRow(m_insertTitle);
    layout->addRow(QStringLiteral("发送时间"), m_time);
    layout->addRow(QStringLiteral("发送内容"), m_content);
    layout->addRow(buttons);
    updateEnabled();
}

CTodayRemainDlg::~CTodayRemainDlg() = default;

void CTodayRemainDlg::updateEnabled()
{
    for (QWidget* control : std::initializer_list<QWidget*> {m_insertTitle, m_time, m_content})
        control->setEnabled(m_autoSend->isChecked());
}

void CTodayRemainDlg::accept()
{
    if (!m_session.loggedIn) {
        m_prompter.information(this, QStringLiteral("设置失败，您尚未在线登录!"));
        return;
    }
    const std::string refusal
        = CustomDateReminder::StoreSettings(m_database, m_id, m_autoSend->isChecked(), m_insertTitle->isChecked(),
            m_content->toPlainText().toStdString(), m_time->time().hour(), m_time->time().minute());
    if (!refusal.empty()) {
        m_prompter.information(this, QString::fromStdString(refusal));
        return;
    }
    QDialog::accept();
}

} // namespace telvora
