#pragma once

#include <QDialog>

class QCheckBox;
class QPlainTextEdit;
class QTimeEdit;

namespace telvora {

class CADODataBase;
class Prompter;
struct CSession;
struct CustomDateReminder;

// "自定义提醒设置": the automatic message of one custom date field.
class CTodayRemainDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CTodayRemainDlg)

public:
    CTodayRemainDlg(const CustomDateReminder& reminder, CADODataBase& database, const CSession& session,
        Prompter& prompter, QWidget* parent = nullptr);
    ~CTodayRemainDlg() override;

public slots:
    void accept() override;

private:
    void updateEnabled();

    int m_id;
    CADODataBase& m_database;
    const CSession& m_session;
    Prompter& m_prompter;
    QCheckBox* m_autoSend;
    QCheckBox* m_insertTitle;
    QTimeEdit* m_time;
    QPlainTextEdit* m_content;
};

} // namespace telvora
