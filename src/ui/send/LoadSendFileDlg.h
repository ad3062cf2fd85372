#pragma once

#include "send/NumberFileLoader.h"
#include "send/NumberList.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace telvora {

class CToolWorker;
class Prompter;

// "从文件加载号码": picks a text file or a workbook and collects the mobile numbers in it.
// The file is read on a worker thread; closing the dialog stops it.
class CLoadSendFileDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CLoadSendFileDlg)

public:
    explicit CLoadSendFileDlg(Prompter& prompter, QWidget* parent = nullptr);
    ~CLoadSendFileDlg() override;

    // What the dialog found, valid after it closed with OK.
    const CollectedNumbers& numbers() const { return m_found; }
    QString filePath() const;
    bool isLoading() const;

public slots:
    void onBrowseClicked();
    // Reads a file as if it had been picked with "浏览".
    void startLoading(const QString& path);
    void reject() override;

signals:
    void loadingFinished();
    void progressChanged(int value);

private:
    void onLoadingDone();
    void stopLoading();

    Prompter& m_prompter;
    QRadioButton* m_fromText = nullptr;
    QRadioButton* m_fromSheet = nullptr;
    QComboBox* m_separator = nullptr;
    QCheckBox* m_textSmart = nullptr;
    QComboBox* m_column = nullptr;
    QCheckBox* m_sheetSmart = nullptr;
    QLineEdit* m_path = nullptr;
    QPushButton* m_browse = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_exit = nullptr;

    CToolWorker* m_worker = nullptr;
    NumberFileResult m_result; // written by the worker, read when it has finished
    CollectedNumbers m_found;
};

} // namespace telvora
