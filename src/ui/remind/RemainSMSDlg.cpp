#include "remind/RemainSMSDlg.h"

#include "app/Prompter.h"
#include "remind/TaskRules.h"
#include "send/SelCardDlg.h"
#include "session/Session.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>

namespace telvora {

CRemainSMSDlg::CRemainSMSDlg(const CSession& session, Prompter& prompter, CADODataBase& database,
    std::function<DateTime()> clock, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_database(database)
    , m_clock(std::move(clock))
    , m_recipients(new QLineEdit(this))
    , m_pick(new QPushButton(QStringLiteral("添加对象"), this))
    , m_date(new QDateEdit(this))
    , m_time(new QTimeEdit(this))
    , m_insertTitle(new QCheckBox(QStringLiteral("插入称呼"), this))
    , m_back(new QPushButton(QStringLiteral("上一步"), this))
    , m_finish(new QPushButton(QStringLiteral("完成"), this))
{
    setWindowTitle(QStringLiteral("发送短信提醒"));
    m_recipients->setObjectName(QStringLiteral("recipients"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_time->setDisplayFormat(QStringLiteral("HH:mm"));
    // Typed numbers would bypass the picker's checks; only picked recipients count.
    m_recipients->setEnabled(false);
    auto* pickRow = new QHBoxLayout;
    pickRow->addWidget(m_recipients, 1);
    pickRow->addWidget(m_pick);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_back);
    buttons->addWidget(m_finish);
    auto* layout = new QFormLayout(this);
    layout->addRow(new QLabel(QStringLiteral("发送对象(多个号码之间请用;分隔)"), this));
    layout->addRow(pickRow);
    layout->addRow(QStringLiteral("发送日期"), m_date);
    layout->addRow(QStringLiteral("发送时间"), m_time);
    layout->addRow(m_insertTitle);
    layout->addRow(buttons);
    connect(m_back, &QPushButton::clicked, this, [this]() { done(Back); });
    connect(m_finish, &QPushButton::clicked, this, &CRemainSMSDlg::accept);
    connect(m_pick, &QPushButton::clicked, this, &CRemainSMSDlg::onPickClicked);
}

CRemainSMSDlg::~CRemainSMSDlg() = default;

void CRemainSMSDlg::setReadOnly(bool finished)
{
    m_readOnly = true;
    for (QWidget* control : std::initializer_list<QWidget*> {m_recipients, m_pick, m_date, m_time, m_insertTitle})
        control->setEnabled(false);
    m_finish->setEnabled(!finished);
}

void CRemainSMSDlg::setRecipientsText(const QString& text)
{
    m_recipients->setText(text);
    m_picked = TaskRules::RecipientNumbers(text.toStdString());
}

void CRemainSMSDlg::setPicked(const PickedRecipients& picked)
{
    m_picked = picked.numbers;
    m_recipients->setText(QString::fromStdString(picked.text));
}

void CRemainSMSDlg::onPickClicked()
{
    CSelCardDlg picker(m_database, m_prompter, this);
    if (picker.exec() == QDialog::Accepted)
        setPicked(picker.picked());
}

void CRemainSMSDlg::setSendTime(const DateTime& time)
{
    m_time->setTime(QTime(time.hour, time.minute, time.second));
}

void CRemainSMSDlg::setSendDate(const DateTime& date)
{
    m_date->setDate(QDate(date.year, date.month, date.day));
}

void CRemainSMSDlg::setInsertTitle(bool on)
{
    m_insertTitle->setChecked(on);
}

DateTime CRemainSMSDlg::sendDate() const
{
    const QDate date = m_date->date();
    return DateTime::fromFields(date.year(), date.month(), date.day());
}

DateTime CRemainSMSDlg::sendTime() const
{
    const QDate date = m_date->date();
    const QTime time = m_time->time();
    return DateTime::fromFields(date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second());
}

std::vector<std::string> CRemainSMSDlg::recipients() const
{
    return m_picked;
}

bool CRemainSMSDlg::insertTitle() const
{
    return m_insertTitle->isChecked();
}

void CRemainSMSDlg::accept()
{
    if (!m_readOnly) {
        const std::string refusal = TaskRules::ValidateSms(sendTime(), m_clock(), recipients(), m_session.userType);
        if (!refusal.empty()) {
            m_prompter.information(this, QString::fromStdString(refusal));
            return;
        }
    }
    QDialog::accept();
}

} // namespace telvora
