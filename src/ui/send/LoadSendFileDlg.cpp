#include "send/LoadSendFileDlg.h"

#include "app/Prompter.h"
#include "send/NumberFileLoader.h"
#include "send/SpreadsheetNumberLoader.h"
#include "tools/ToolWorker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

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
    m_worker = new CToolWorker(this);
    connect(m_worker, &CToolWorker::progressChanged, this, [this](int value) {
        m_progress->setValue(value);
        emit progressChanged(value);
    });
    connect(m_worker, &CToolWorker::finished, this, &CLoadSendFileDlg::onLoadingDone);
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
    return m_worker->isRunning();
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

    m_progress->setValue(0);
    m_progress->setVisible(true);
    m_browse->setEnabled(false);

    const std::string file = path.toStdString();
    SpreadsheetNumberOptions options;
    options.column = static_cast<std::size_t>(std::max(0, m_column->currentIndex()));
    options.smartSearch = m_sheetSmart->isChecked();
    m_worker->start([this, file, options, kind](const std::atomic<bool>& stop, const CToolWorker::Report& report) {
        const auto progress = [&report](const NumberFileProgress& p) { report(p.bytesRead, p.totalBytes); };
        if (kind == LoadKind::Text) {
            CNumberFileLoader loader;
            loader.setCancelFlag(&stop);
            loader.setProgressCallback(progress);
            m_result = loader.loadTextFile(file);
        } else {
            CSpreadsheetNumberLoader loader;
            loader.setCancelFlag(&stop);
            loader.setProgressCallback(progress);
            m_result = loader.load(file, options);
        }
    });
}

void CLoadSendFileDlg::onLoadingDone()
{
    m_progress->setVisible(false);
    m_browse->setEnabled(true);
    NumberFileResult result = std::exchange(m_result, {});
    if (result.status == NumberFileResult::Status::Cancelled) {
        emit loadingFinished();
        return;
    }
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
    if (isLoading()) {
        m_worker->stop();
        m_result = {};
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
