#pragma once

#include "app/ViewServices.h"
#include "send/NumberHistory.h"
#include "send/SendList.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDialog;
class QDateEdit;
class QGroupBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTimeEdit;

namespace telvora {

class CAppContext;
class CLoadSendFileDlg;
class CPhoneDivisionDlg;
class CSMSTestDlg;
class CSendEngine;
class FrameServices;
class HintBroadcaster;
class Prompter;
class RecipientHandOver;
class ReportView;
struct CSession;

// The page "短信群发": the message, the send list and the send command.
class CSMSSendView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSMSSendView)

public:
    explicit CSMSSendView(ViewServices dependencies, QWidget* parent = nullptr);
    ~CSMSSendView() override;

    const CSendList& sendList() const { return m_list; }
    const CNumberHistory& numberHistory() const { return m_history; }
    // The lists other views fill before they broadcast hint 1.
    RecipientHandOver& handOver() const { return m_handOver; }

    // Controls, for the window that hosts the view and for tests.
    QPlainTextEdit* messageEdit() const { return m_message; }
    QGroupBox* contentBox() const { return m_contentBox; }
    QComboBox* numberBox() const { return m_numberBox; }
    ReportView* listView() const { return m_listView; }
    QCheckBox* timedCheck() const { return m_timed; }
    QCheckBox* nameCheck() const { return m_insertName; }
    QCheckBox* titleCheck() const { return m_insertTitle; }
    QDateEdit* dateEdit() const { return m_date; }
    QTimeEdit* timeEdit() const { return m_time; }
    QLabel* mobileLabel() const { return m_mobileLabel; }
    QLabel* unicomLabel() const { return m_unicomLabel; }
    QLabel* telecomLabel() const { return m_telecomLabel; }
    QLabel* totalLabel() const { return m_totalLabel; }
    QPushButton* button(const QString& caption) const;
    QMenu* clearMenu() const { return m_clearMenu; }

public slots:
    void onSendClicked();
    void onTestClicked();
    void onLoadFileClicked();
    void onExportClicked();
    void onDeleteClicked();
    void onClearAll();
    void onClearCarrier(int carrier);
    void onNumberEntered();
    void onHint(int hint);
    void onInsertPhraseClicked();
    // Puts a phrase at the end of the message.
    void insertPhrase(const QString& text);
    void onSplitClicked();
    // The recipient picker's rows of a whole folder ("目录加载", resource the folder name).
    void addFolderRow(const QString& folder, const CollectedNumbers& numbers);
    void removeFolderRows(const QString& folder);

signals:
    // A window-modal dialog was opened; its result is handled when it finishes.
    void loadDialogOpened(CLoadSendFileDlg* dialog);
    void testDialogOpened(CSMSTestDlg* dialog);
    // The phrase library or the division dialog was opened.
    void toolDialogOpened(QDialog* dialog);

private:
    void buildLayout();
    void onMessageChanged();
    void onInsertionToggled();
    void onTimedToggled(bool checked);
    void takeHandOver();
    void refreshList();
    void updateCounters();
    void resetAfterSend();
    void reloadHistory();
    void onLoadDialogFinished(CLoadSendFileDlg* dialog, int result);
    void onTestDialogFinished(CSMSTestDlg* dialog, int result);
    void onSplitDialogAccepted(CPhoneDivisionDlg* dialog);

    CAppContext& m_app;
    const CSession& m_session;
    CSendEngine& m_engine;
    Prompter& m_prompter;
    RecipientHandOver& m_handOver;
    FrameServices& m_frame;

    CSendList m_list;
    CNumberHistory m_history;
    bool m_editing = false;

    QGroupBox* m_contentBox = nullptr;
    QPlainTextEdit* m_message = nullptr;
    QCheckBox* m_timed = nullptr;
    QDateEdit* m_date = nullptr;
    QTimeEdit* m_time = nullptr;
    QCheckBox* m_insertName = nullptr;
    QCheckBox* m_insertTitle = nullptr;
    QComboBox* m_numberBox = nullptr;
    ReportView* m_listView = nullptr;
    QLabel* m_mobileLabel = nullptr;
    QLabel* m_unicomLabel = nullptr;
    QLabel* m_telecomLabel = nullptr;
    QLabel* m_totalLabel = nullptr;
    QMenu* m_clearMenu = nullptr;
    QList<QPushButton*> m_buttons;
};

} // namespace telvora
