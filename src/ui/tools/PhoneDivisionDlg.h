#pragma once

#include "tools/NumberDivision.h"
#include "tools/RegionTable.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace telvora {

class CToolWorker;
class Prompter;

// "手机号码区域检索/分离": splits a text file of numbers by province, city or carrier, or
// keeps the numbers of (or without) a region; opened by the send view it filters the
// send list instead. Reading and writing big files run on a worker.
class CPhoneDivisionDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPhoneDivisionDlg)

public:
    // sendList, when given, is the send view's list: modes 4 and 5 only, no file.
    CPhoneDivisionDlg(Prompter& prompter, const std::string& regionDatabase,
        const std::vector<std::string>* sendList = nullptr, QWidget* parent = nullptr);
    ~CPhoneDivisionDlg() override;

    // After OK on the send list: the numbers taken, the mode and the trimmed name.
    const CollectedNumbers& result() const { return m_result; }
    DivisionMode mode() const;
    QString regionName() const;
    bool isBusy() const;

    QRadioButton* modeButton(DivisionMode mode) const;
    QLineEdit* extractEdit() const { return m_extractName; }
    QLineEdit* removeEdit() const { return m_removeName; }
    QLineEdit* pathEdit() const { return m_path; }
    QPushButton* browseButton() const { return m_browse; }
    QPushButton* startButton() const { return m_start; }
    QCheckBox* sendListCheck() const { return m_fromSendList; }

public slots:
    void onBrowseClicked();
    void onStartClicked();
    void reject() override;

signals:
    // A file was read or the files were written (the notice, if any, has been shown).
    void workFinished();
    void progressChanged(int perMille);

private:
    void setBusy(bool busy);

    Prompter& m_prompter;
    CRegionTable m_regions;
    CNumberDivision m_division {m_regions};
    bool m_sendList = false;
    bool m_regionsLoaded = false;
    std::function<void()> m_afterWork; // what the end of the running work shows
    CollectedNumbers m_result;
    // Results of the worker, read when it has finished.
    NumberFileResult m_loaded;
    DivisionOutcome m_written;

    QLineEdit* m_path = nullptr;
    QPushButton* m_browse = nullptr;
    std::vector<QRadioButton*> m_modes;
    QLineEdit* m_extractName = nullptr;
    QLineEdit* m_removeName = nullptr;
    QCheckBox* m_fromSendList = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_start = nullptr;
    CToolWorker* m_worker = nullptr;
};

} // namespace telvora
