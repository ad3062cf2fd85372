#pragma once

#include "send/NumberList.h"

#include <QDialog>
#include <QVector>
#include <string>
#include <vector>

class QCheckBox;
class QLineEdit;
class QMenu;
class QPushButton;

namespace telvora {

class CADODataBase;
class Prompter;
class ReportView;

// "短信发送明细": the numbers of one send with their outcome; hands a chosen part of them
// back for a resend.
class CSMSDetailDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSMSDetailDlg)

public:
    enum class Resend { All, Failed, Selected };

    CSMSDetailDlg(CADODataBase& database, Prompter& prompter, long recordId, int sendMode, const QString& content,
        QWidget* parent = nullptr);
    ~CSMSDetailDlg() override;

    // The numbers chosen for a resend (valid mobile numbers, duplicates kept) once the
    // dialog ended with OK.
    const std::vector<std::string>& numbers() const { return m_numbers.numbers; }
    const CarrierCounts& counts() const { return m_numbers.counts; }

    ReportView* listView() const { return m_list; }
    QLineEdit* findEdit() const { return m_find; }
    QCheckBox* groupCheck() const { return m_group; }
    QMenu* resendMenu() const { return m_resendMenu; }

public slots:
    void resend(Resend choice);
    // "导出明细": every number of the record, whatever the filter shows.
    void onExport();

private:
    void load(const QString& content);

    CADODataBase& m_database;
    Prompter& m_prompter;
    long m_recordId;
    int m_sendMode;
    ReportView* m_list;
    QLineEdit* m_find;
    QCheckBox* m_group;
    QPushButton* m_resendButton;
    QMenu* m_resendMenu;
    CollectedNumbers m_numbers;
    QVector<int> m_statuses; // of each row
};

} // namespace telvora
