#pragma once

// moc cannot parse what the standard library's <compare> pulls in.
#ifndef Q_MOC_RUN
#include "remind/CalendarTask.h"
#endif

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimeEdit;

namespace telvora {

class CADODataBase;
class CRemainSMSDlg;
class Prompter;
struct CSession;

// "新建任务" / "修改任务": a task's name, type, content, reminders and start; with the SMS
// reminder on, "下一步" leads on to the SMS page.
class CRemainEventDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CRemainEventDlg)

public:
    using Clock = std::function<DateTime()>;

    // task holds the presets (for a new task, at least the start and the SMS time).
    CRemainEventDlg(const CalendarTask& task, bool newTask, const CSession& session, Prompter& prompter,
        CADODataBase& database, Clock clock, QWidget* parent = nullptr);
    ~CRemainEventDlg() override;

    // The task as the user left it (names and content as typed).
    CalendarTask task() const;
    // The numbers to remind by SMS (new tasks with the SMS reminder on).
    std::vector<std::string> recipients() const;
    CRemainSMSDlg* smsPage() const { return m_sms; }

    QLineEdit* nameBox() const { return m_name; }
    QPlainTextEdit* contentBox() const { return m_content; }
    QCheckBox* smsCheck() const { return m_smsOn; }
    QComboBox* smsLead() const { return m_smsLead; }
    QComboBox* popupLead() const { return m_popupLead; }
    QLabel* contentLabel() const { return m_contentLabel; }
    QPushButton* finishButton() const { return m_finish; }
    void setStart(const DateTime& start);

public slots:
    void accept() override;

private:
    DateTime start() const;
    void onSmsToggled(bool on);
    void updateCount();

    CalendarTask m_task;
    bool m_newTask;
    const CSession& m_session;
    Prompter& m_prompter;
    Clock m_clock;
    QLineEdit* m_name;
    QComboBox* m_type;
    QLabel* m_contentLabel;
    QPlainTextEdit* m_content;
    QCheckBox* m_popupOn;
    QComboBox* m_popupLead;
    QCheckBox* m_smsOn;
    QComboBox* m_smsLead;
    QDateEdit* m_date;
    QTimeEdit* m_time;
    QCheckBox* m_allDay;
    QPushButton* m_finish;
    CRemainSMSDlg* m_sms;
};

} // namespace telvora
