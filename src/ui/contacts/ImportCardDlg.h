#pragma once

#include "contacts/CardImporter.h"
#include "contacts/ImportGuideDlg.h"

#include <QDialog>
#include <QFutureWatcher>
#include <atomic>

class QButtonGroup;
class QTableWidget;
class QProgressBar;
class QPushButton;

namespace telvora {

class CAppContext;
class CProgressAdapter;
class Prompter;
struct CardImportJob;

// "客户资料导入": imports a standard spreadsheet, a standard text file or a vCard file into
// a folder. The import runs on a worker with a connection of its own, so the window stays
// live; "取消" stops it after the row under way and keeps what was written.
class CImportCardDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CImportCardDlg)

public:
    enum Source { Spreadsheet = 1, Text = 2, Wizard = 3, VCard = 4 };

    CImportCardDlg(CAppContext& app, Prompter& prompter, long folderId, QWidget* parent = nullptr);
    ~CImportCardDlg() override;

    void setSource(Source source);
    // Asks for the file (or opens the wizard) and starts the import.
    void startImport();
    // Imports what the wizard was told.
    void importWizardChoice(const CImportGuideDlg::Choice& choice);
    void cancelImport();
    bool isImporting() const;
    // At least one card went in.
    bool imported() const { return m_imported; }
    QProgressBar* progressBar() const { return m_progress; }
    // The sample of the chosen standard layout; hidden for the wizard and vCard files.
    QTableWidget* helpTable() const { return m_help; }

signals:
    void importFinished();

protected:
    void reject() override;

private:
    void start(CardImportJob job);
    void onFinished();
    void showHelp(int source);

    CAppContext& m_app;
    Prompter& m_prompter;
    long m_folderId;
    QButtonGroup* m_sources;
    QTableWidget* m_help;
    QProgressBar* m_progress;
    QPushButton* m_start;
    QPushButton* m_cancel;
    CProgressAdapter* m_adapter;
    std::atomic<bool> m_stop = false;
    QFutureWatcher<CardImportResult> m_watcher;
    Source m_running = Wizard;
    bool m_imported = false;
};

} // namespace telvora
