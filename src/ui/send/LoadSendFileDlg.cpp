#include "send/LoadSendFileDlg.h"

#include "app/Prompter.h"
#include "send/NumberFileLoader.h"
#include "send/SpreadsheetNumberLoader.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>

namespace telvora {

namespace {

constexpr int kProgressSteps = 1000;

enum class LoadKind { Text, Spreadsheet, None };

LoadKind loadKindOf(const QString& path)
{
    switch (NumberFileKindOf(path.toStdString())) {
    case NumberFileKind::Text:
        return LoadKind::Text;
    case NumberFileKind::Spreadsheet:
        return LoadKind::Spreadsheet;
    case NumberFileKind::Unsupported:
        break;
    }
    // The reader handles these as well as the old workbook kinds.
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("ods") || suffix == QLatin1String("csv") ? LoadKind::Spreadsheet : LoadKind::None;
}

} // namespace

// Shared between the dialog and its worker, so that a worker never outlives what it uses.
struct CLoadSendFileDlg::Job
{
    std::atomic<bool> cancel {false};
    std::atomic<int> progress {0};
    std::atomic<bool> progressPosted {false};
    NumberFileResult result;
};

CLoadSendFileDlg::CLoadSendFileDlg(Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_prompter(prompter)
{
    setWindowTitle(QStringLiteral("从文件加载号码"));

    m_fromText = new QRadioButton(QStringLiteral("从文本文件加载"), this);
    m_fromText->setChecked(true);
    m_separator = new QComboBox(this);
    m_separator->addItems({QStringLiteral("换行符"), QStringLiteral("空格"), QStringLiteral(";"), QStringLiteral(",")});
    m_textSmart = new QCheckBox(QStringLiteral("智能查找"), this);
    m_fromSheet = new QRadioButton(QStringLiteral("从EXCEL文件加载"), this);
    m_column = new QComboBox(this);
    for (char letter = 'A'; letter <= 'I'; ++letter) {
        m_column->addItem(QStringLiteral("%1列").arg(QChar::fromLatin1(letter)));
    }
    m_sheetSmart = new QCheckBox(QStringLiteral("智能查找"), this);
    m_path = new QLineEdit(this);
    m_path->setReadOnly(true);
    m_browse = new QPushButton(QStringLiteral("浏览"), this);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, kProgressSteps);
    m_progress->setVisible(false);
    m_exit = new QPushButton(QStringLiteral("退出"), this);

    auto* sources = new QGridLayout;
    sources->addWidget(m_fromText, 0, 0);
    sources->addWidget(m_separator, 0, 1);
    sources->addWidget(m_textSmart, 0, 2);
    sources->addWidget(m_fromSheet, 1, 0);
    sources->addWidget(m_column, 1, 1);
    sources->addWidget(m_sheetSmart, 1, 2);
    auto* file = new QHBoxLayout;
    file->addWidget(m_path, 1);
    file->addWidget(m_browse);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_exit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(sources);
    layout->addLayout(file);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);

    connect(m_browse, &QPushButton::clicked, this, &CLoadSendFileDlg::onBrowseClicked);
    connect(m_exit, &QPushButton::clicked, this, &CLoadSendFileDlg::reject);
}

CLoadSendFileDlg::~CLoadSendFileDlg()
{
    stopLoading();
}

QString CLoadSendFileDlg::filePath() const
{
    return m_path->text();
}

bool CLoadSendFileDlg::isLoading() const
{
    return m_job != nullptr;
}

void CLoadSendFileDlg::onBrowseClicked()
{
    if (isLoading()) {
        return;
    }
    FileRequest request;
    request.title = QStringLiteral("请选择要加载的文件名");
    request.filter = m_fromSheet->isChecked() ? QStringLiteral("Excel Files (*.xls *.xlsx *.ods *.csv)")
                                              : QStringLiteral("文本文档 (*.txt)");
    const QString path = m_prompter.getOpenFileName(this, request);
    if (!path.isEmpty()) {
        startLoading(path);
    }
}

void CLoadSendFileDlg::startLoading(const QString& path)
{
    if (isLoading()) {
        return;
    }
    m_found = {};
    m_path->setText(path);
    const LoadKind kind = loadKindOf(path);
    if (kind == LoadKind::None) {
        return;
    }

    auto job = std::make_shared<Job>();
    m_job = job;
    m_progress->setValue(0);
    m_progress->setVisible(true);
    m_browse->setEnabled(false);

    // Progress is coalesced: the worker stores the latest value and posts at most one
    // update at a time, so a fast file cannot flood the event queue.
    QPointer<CLoadSendFileDlg> self(this);
    const auto report = [job, self](const NumberFileProgress& progress) {
        const std::uint64_t total = progress.totalBytes;
        const int value = total == 0
            ? 0
            : static_cast<int>(std::min<std::uint64_t>(progress.bytesRead, total) * kProgressSteps / total);
        job->progress.store(value);
        if (!job->progressPosted.exchange(true) && self) {
            QMetaObject::invokeMethod(
                self.data(),
                [job, self]() {
                    job->progressPosted.store(false);
                    if (self && self->m_job == job) {
                        self->m_progress->setValue(job->progress.load());
                        emit self->progressChanged(job->progress.load());
                    }
                },
                Qt::QueuedConnection);
        }
    };

    const std::string file = path.toStdString();
    SpreadsheetNumberOptions options;
    options.column = static_cast<std::size_t>(std::max(0, m_column->currentIndex()));
    options.smartSearch = m_sheetSmart->isChecked();
    m_worker = QThread::create([job, report, file, options, kind]() {
        if (kind == LoadKind::Text) {
            CNumberFileLoader loader;
            loader.setCancelFlag(&job->cancel);
            loader.setProgressCallback(report);
            job->result = loader.loadTextFile(file);
        } else {
            CSpreadsheetNumberLoader loader;
            loader.setCancelFlag(&job->cancel);
            loader.setProgressCallback(report);
            job->result = loader.load(file, options);
        }
    });
    // A stopped worker's late signal must not end a newer load.
    connect(m_worker, &QThread::finished, this, [this, job]() {
        if (m_job == job) {
            onLoadingDone();
        }
    });
    m_worker->start();
}

void CLoadSendFileDlg::onLoadingDone()
{
    std::shared_ptr<Job> job = std::exchange(m_job, nullptr);
    if (m_worker) {
        m_worker->wait();
        delete std::exchange(m_worker, nullptr);
    }
    m_progress->setVisible(false);
    m_browse->setEnabled(true);
    if (!job || job->cancel.load()) {
        emit loadingFinished();
        return;
    }
    NumberFileResult& result = job->result;
    if (result.status == NumberFileResult::Status::Loaded && !result.found.numbers.empty()) {
        m_found = std::move(result.found);
        emit loadingFinished();
        accept();
        return;
    }
    emit loadingFinished();
    // A workbook that will not open gets the same notice as a text file that will not.
    const QString notice = result.status == NumberFileResult::Status::OpenFailed
        ? QStringLiteral("打开加载文件[%1]失败!").arg(filePath())
        : QString::fromStdString(result.message);
    if (!notice.isEmpty()) {
        m_prompter.information(this, notice);
    }
}

void CLoadSendFileDlg::stopLoading()
{
    if (m_job) {
        m_job->cancel.store(true);
        // The loaders look at the flag between pieces of the file, so this is short.
        if (m_worker) {
            m_worker->wait();
            delete std::exchange(m_worker, nullptr);
        }
        m_job.reset();
        m_progress->setVisible(false);
        m_browse->setEnabled(true);
    }
}

void CLoadSendFileDlg::reject()
{
    stopLoading();
    QDialog::reject();
}

} // namespace telvora
