#pragma once

// moc cannot parse what the standard library's <compare> pulls in.
#ifndef Q_MOC_RUN
#include "db/DateTime.h"
#endif

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QTimeEdit;

namespace telvora {

class CADODataBase;
class Prompter;
struct CSession;
struct PickedRecipients;

// "发送短信提醒": who gets a task's SMS reminder and when. The recipients come from the
// address-book picker behind "添加对象"; the box only shows what was picked.
class CRemainSMSDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CRemainSMSDlg)

public:
    // "上一步": back to the wizard.
    static constexpr int Back = 2;

    CRemainSMSDlg(const CSession& session, Prompter& prompter, CADODataBase& database, std::function<DateTime()> clock,
        QWidget* parent = nullptr);
    ~CRemainSMSDlg() override;

    // An existing task's reminder: shown, not changed; finished is Status 255.
    void setReadOnly(bool finished);
    // A stored task's recipients, numbers separated by ";".
    void setRecipientsText(const QString& text);
    // What the picker's OK handed over.
    void setPicked(const PickedRecipients& picked);
    void setSendTime(const DateTime& time);
    void setSendDate(const DateTime& date);
    void setInsertTitle(bool on);

    DateTime sendDate() const;
    DateTime sendTime() const;
    std::vector<std::string> recipients() const;
    bool insertTitle() const;
    QLineEdit* recipientsBox() const { return m_recipients; }
    QPushButton* pickButton() const { return m_pick; }
    QPushButton* finishButton() const { return m_finish; }

public slots:
    void accept() override;
    // "添加对象": opens the picker.
    void onPickClicked();

private:
    const CSession& m_session;
    Prompter& m_prompter;
    CADODataBase& m_database;
    std::function<DateTime()> m_clock;
    std::vector<std::string> m_picked;
    QLineEdit* m_recipients;
    QPushButton* m_pick;
    QDateEdit* m_date;
    QTimeEdit* m_time;
    QCheckBox* m_insertTitle;
    QPushButton* m_back;
    QPushButton* m_finish;
    bool m_readOnly = false;
};

} // namespace telvora
