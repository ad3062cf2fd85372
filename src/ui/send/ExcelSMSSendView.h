#pragma once

#include "app/ViewServices.h"
#include "send/CustomSheet.h"

#include <QWidget>

class QCheckBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimeEdit;

namespace telvora {

class CAppContext;
class CColumnMappingGrid;
class CExcelPreviewDlg;
class CSendEngine;
class CSendProgressAdapter;
class FrameServices;
class Prompter;
class ReportView;
struct CSession;

// "自定义发送": one template sent to the rows of a spreadsheet, each row's cells put into
// its placeholders. The send runs on the engine's worker; progress tells when it ended.
class CExcelSMSSendView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CExcelSMSSendView)

public:
    CExcelSMSSendView(ViewServices dependencies, CSendProgressAdapter& progress, QWidget* parent = nullptr);
    ~CExcelSMSSendView() override;

    const CCustomSheet& sheet() const { return m_sheet; }

    // Controls, for tests.
    QPushButton* button(const QString& caption) const;
    QLineEdit* pathEdit() const { return m_path; }
    QPlainTextEdit* templateEdit() const { return m_template; }
    ReportView* report() const { return m_report; }
    CColumnMappingGrid* mapping() const { return m_mapping; }
    QCheckBox* timedCheck() const { return m_timed; }
    QCheckBox* demoCheck() const { return m_demo; }
    QDateEdit* dateEdit() const { return m_date; }
    QTimeEdit* timeEdit() const { return m_time; }

public slots:
    void onImportClicked();
    void onClearClicked();
    void onExportClicked();
    void onPreviewClicked();
    void onSendClicked();

signals:
    void previewOpened(CExcelPreviewDlg* dialog);

private:
    void buildLayout();
    void showSheet();
    void clearView();
    void showRows();
    void updateButtons();
    void onDemoToggled(bool checked);
    void onTimedToggled(bool checked);
    void onPhoneColumnChosen(int column);
    void onColumnToggled(int column, bool ticked);
    void onSendEnded(int recordId);

    CAppContext& m_app;
    const CSession& m_session;
    CSendEngine& m_engine;
    Prompter& m_prompter;
    FrameServices& m_frame;

    CCustomSheet m_sheet;
    // The record of the send this view started, until it ends.
    int m_sentRecord = 0;

    QLineEdit* m_path = nullptr;
    CColumnMappingGrid* m_mapping = nullptr;
    ReportView* m_report = nullptr;
    QPlainTextEdit* m_template = nullptr;
    QCheckBox* m_timed = nullptr;
    QDateEdit* m_date = nullptr;
    QTimeEdit* m_time = nullptr;
    QCheckBox* m_demo = nullptr;
    QList<QPushButton*> m_buttons;
};

} // namespace telvora
