#pragma once

#include "tools/UnsentExtraction.h"

#include <QDialog>
#include <functional>
#include <string_view>
#include <vector>

class QLineEdit;
class QProgressBar;
class QPushButton;

namespace telvora {

class CToolWorker;
class Prompter;

// "号码提取工具": the numbers of a broken-off send that never went out, as all numbers to
// send minus those already sent. Loading and sorting run on a worker.
class CDigGetPhone final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CDigGetPhone)

public:
    explicit CDigGetPhone(Prompter& prompter, QWidget* parent = nullptr);
    ~CDigGetPhone() override;

    const CUnsentExtraction& extraction() const { return m_extraction; }
    bool isBusy() const;
    QLineEdit* allPathEdit() const { return m_allPath; }
    QLineEdit* sentPathEdit() const { return m_sentPath; }

public slots:
    void onLoadAllClicked();
    void onLoadSentClicked();
    void onExtractClicked();
    void reject() override;

signals:
    // A load or the extraction has ended (its notice, if any, has been shown).
    void workFinished();

private:
    void load(CUnsentExtraction::List list, QLineEdit* pathEdit);
    void run(std::function<void()> work, std::function<void()> after);
    void save();

    Prompter& m_prompter;
    CUnsentExtraction m_extraction;
    NumberFileResult m_loaded;
    std::vector<std::string_view> m_unsent;
    std::function<void()> m_afterWork;

    QLineEdit* m_allPath = nullptr;
    QLineEdit* m_sentPath = nullptr;
    QList<QPushButton*> m_buttons;
    QProgressBar* m_progress = nullptr;
    CToolWorker* m_worker = nullptr;
};

} // namespace telvora
