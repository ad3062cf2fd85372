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

class Prompter;
struct CSession;

// "发送短信提醒": who gets a task's SMS reminder and when. The numbers are typed or pasted
// into the recipients box until the address-book picker takes over "添加对象".
class CRemainSMSDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CRemainSMSDlg)

public:
    // "上一步": back to the wizard.
    static constexpr int Back = 2;

    CRemainSMSDlg(
        const CSession& session, Prompter& prompter, std::function<DateTime()> clock, QWidget* parent = nullptr);
    ~CRemainSMSDlg() override;

    // An existing task's reminder: shown, not changed; finished is Status 255.
    void setReadOnly(bool finished);
    void setRecipientsText(const QString& text);
    void setSendTime(const DateTime& time);
    void setSendDate(const DateTime& date);
    void setInsertTitle(bool on);

    DateTime sendDate() const;
    DateTime sendTime() const;
    std::vector<std::string> recipients() const;
    bool insertTitle() const;
    QLineEdit* recipientsBox() const { return m_recipients; }
    QPushButton* finishButton() const { return m_finish; }

public slots:
    void accept() override;

private:
    const CSession& m_session;
    Prompter& m_prompter;
    std::function<DateTime()> m_clock;
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
