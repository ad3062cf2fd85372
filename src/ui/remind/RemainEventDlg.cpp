#include "remind/RemainEventDlg.h"

#include "app/Prompter.h"
#include "remind/RemainSMSDlg.h"
#include "remind/TaskRules.h"
#include "send/SmsRules.h"
#include "session/Session.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimeEdit>

namespace telvora {

namespace {

void fillChoices(QComboBox* box, const std::vector<std::string>& choices, int minutes)
{
    for (const std::string& choice : choices) {
        box->addItem(QString::fromStdString(choice));
        if (TaskRules::LeadMinutes(choice) == minutes)
            box->setCurrentIndex(box->count() - 1);
    }
}

} // namespace

CRemainEventDlg::CRemainEventDlg(const CalendarTask& task, bool newTask, const CSession& session, Prompter& prompter,
    CADODataBase& database, Clock clock, QWidget* parent)
    : QDialog(parent)
    , m_task(task)
    , m_newTask(newTask)
    , m_session(session)
    , m_prompter(prompter)
    , m_clock(std::move(clock))
    , m_name(new QLineEdit(QString::fromStdString(task.name), this))
    , m_type(new QComboBox(this))
    , m_contentLabel(new QLabel(this))
    , m_content(new QPlainTextEdit(QString::fromStdString(task.subject), this))
    , m_popupOn(new QCheckBox(QStringLiteral("界面提醒："), this))
    , m_popupLead(new QComboBox(this))
    , m_smsOn(new QCheckBox(QStringLiteral("短信提醒："), this))
    , m_smsLead(new QComboBox(this))
    , m_date(new QDateEdit(this))
    , m_time(new QTimeEdit(this))
    , m_allDay(new QCheckBox(QStringLiteral("全天任务"), this))
    , m_finish(new QPushButton(this))
    , m_sms(new CRemainSMSDlg(session, prompter, database, m_clock, this))
{
    setWindowTitle(newTask ? QStringLiteral("新建任务") : QStringLiteral("修改任务"));
    for (const std::string& name : TaskRules::TaskTypeNames())
        m_type->addItem(QString::fromStdString(name));
    m_type->setCurrentIndex(task.type);
    fillChoices(m_popupLead, TaskRules::PopupLeadChoices(), task.popupLead);
    fillChoices(m_smsLead, TaskRules::SmsLeadChoices(), task.smsLead);
    m_popupOn->setChecked(task.popupReminder);
    m_smsOn->setChecked(task.smsReminder);
    m_allDay->setChecked(task.allDay);
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_time->setDisplayFormat(QStringLiteral("HH:mm"));
    setStart(task.start);
    m_sms->setSendDate(task.smsTime.valid ? task.smsTime : task.start);
    m_sms->setSendTime(task.smsTime.valid ? task.smsTime : task.start);
    m_sms->setRecipientsText(QString::fromStdString(task.phones));
    m_sms->setInsertTitle(task.insertTitle);
    if (!newTask) {
        // What an SMS reminder sent is at the service now; only the rest can change.
        m_content->setEnabled(false);
        m_smsOn->setEnabled(false);
        m_smsLead->setEnabled(false);
        m_sms->setReadOnly(task.status == CalendarTask::kFinished);
    }
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("任务名称："), this), 0, 0);
    layout->addWidget(m_name, 0, 1, 1, 3);
    layout->addWidget(new QLabel(QStringLiteral("任务类型："), this), 1, 0);
    layout->addWidget(m_type, 1, 1, 1, 3);
    layout->addWidget(m_contentLabel, 2, 0, 1, 4);
    layout->addWidget(m_content, 3, 0, 1, 4);
    layout->addWidget(m_popupOn, 4, 0);
    layout->addWidget(m_popupLead, 4, 1);
    layout->addWidget(m_smsOn, 4, 2);
    layout->addWidget(m_smsLead, 4, 3);
    layout->addWidget(new QLabel(QStringLiteral("开始时间："), this), 5, 0);
    layout->addWidget(m_date, 5, 1);
    layout->addWidget(m_time, 5, 2);
    layout->addWidget(m_allDay, 5, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_finish);
    buttons->addWidget(cancel);
    layout->addLayout(buttons, 6, 0, 1, 4);
    connect(m_content, &QPlainTextEdit::textChanged, this, &CRemainEventDlg::updateCount);
    connect(m_smsOn, &QCheckBox::toggled, this, &CRemainEventDlg::onSmsToggled);
    connect(m_finish, &QPushButton::clicked, this, &CRemainEventDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CRemainEventDlg::reject);
    updateCount();
    m_finish->setText(m_smsOn->isChecked() ? QStringLiteral("下一步") : QStringLiteral("完成"));
}

CRemainEventDlg::~CRemainEventDlg() = default;

void CRemainEventDlg::setStart(const DateTime& start)
{
    m_date->setDate(QDate(start.year, start.month, start.day));
    m_time->setTime(QTime(start.hour, start.minute));
}

DateTime CRemainEventDlg::start() const
{
    const QDate date = m_date->date();
    const QTime time = m_time->time();
    return DateTime::fromFields(date.year(), date.month(), date.day(), time.hour(), time.minute());
}

void CRemainEventDlg::updateCount()
{
    m_contentLabel->setText(QStringLiteral("事项内容：如您选择短信提醒，此项为短信发送内容，字数[%1]")
                                .arg(CountSmsChars(m_content->toPlainText().toStdString())));
}

void CRemainEventDlg::onSmsToggled(bool on)
{
    if (on && m_newTask && !m_session.loggedIn) {
        m_prompter.information(this, QString::fromUtf8(TaskRules::kOffline));
        m_smsOn->setChecked(false);
        return;
    }
    m_finish->setText(on ? QStringLiteral("下一步") : QStringLiteral("完成"));
}

CalendarTask CRemainEventDlg::task() const
{
    CalendarTask task = m_task;
    task.name = m_name->text().toStdString();
    task.subject = m_content->toPlainText().toStdString();
    task.type = m_type->currentIndex();
    task.popupReminder = m_popupOn->isChecked();
    task.popupLead = TaskRules::LeadMinutes(m_popupLead->currentText().toStdString());
    task.allDay = m_allDay->isChecked();
    task.start = start();
    if (m_newTask) {
        task.smsReminder = m_smsOn->isChecked();
        task.smsLead = TaskRules::LeadMinutes(m_smsLead->currentText().toStdString());
        if (task.smsReminder) {
            task.smsTime = m_sms->sendTime();
            task.phones = TaskRules::JoinNumbers(m_sms->recipients());
            task.insertTitle = m_sms->insertTitle();
        }
    }
    return task;
}

std::vector<std::string> CRemainEventDlg::recipients() const
{
    return m_newTask && m_smsOn->isChecked() ? m_sms->recipients() : std::vector<std::string>();
}

void CRemainEventDlg::accept()
{
    const std::string refusal = TaskRules::ValidateTask(
        m_newTask, start(), m_clock(), m_name->text().toStdString(), m_content->toPlainText().toStdString());
    if (!refusal.empty()) {
        m_prompter.information(this, QString::fromStdString(refusal));
        return;
    }
    if (m_smsOn->isChecked()) {
        if (m_newTask) {
            const int lead = TaskRules::LeadMinutes(m_smsLead->currentText().toStdString());
            m_sms->setSendTime(TaskRules::SmsTimeFor(m_sms->sendDate(), start(), lead));
        }
        if (m_sms->exec() != QDialog::Accepted)
            return;
    }
    QDialog::accept();
}

} // namespace telvora
