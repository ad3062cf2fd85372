#include "contacts/ImportCardDlg.h"

#include "app/AppContext.h"
#include "app/Prompter.h"
#include "contacts/CardStore.h"
#include "contacts/ImportGuideDlg.h"
#include "contacts/ProgressAdapter.h"
#include "contacts/SpreadsheetReader.h"
#include "db/ADODataBase.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtConcurrent>

namespace telvora {

// What one import reads and where it writes, copied for the worker.
struct CardImportJob
{
    std::string databasePath;
    CImportCardDlg::Source source = CImportCardDlg::Spreadsheet;
    std::string file;
    long folderId = 0;
    CImportGuideDlg::Choice wizard {};
};

namespace {

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

CardImportResult runImport(
    const CardImportJob& job, CNextCardId& ids, CProgressObserver* observer, const std::atomic<bool>* stop)
{
    CardImportResult result;
    CADODataBase database;
    if (!database.Open(job.databasePath)) {
        result.status = CardImportResult::Status::Failed;
        result.message = database.GetLastError();
        return result;
    }
    CCardImporter importer(database, ids, observer, stop);
    if (job.source == CImportCardDlg::Text)
        return importer.ImportTextFile(job.file, job.folderId);
    if (job.source == CImportCardDlg::VCard)
        return importer.ImportVCardFile(job.file, job.folderId, DuplicateRule::Copy);
    CSpreadsheetReader reader;
    if (!reader.Open(job.file) || (job.source == CImportCardDlg::Wizard && !reader.SelectSheet(job.wizard.sheet))) {
        result.status = CardImportResult::Status::OpenFailed;
        result.message = reader.GetLastError();
        return result;
    }
    if (job.source == CImportCardDlg::Spreadsheet)
        return importer.ImportSpreadsheet(reader, job.folderId);
    long target = job.folderId;
    if (job.wizard.asSubfolder && !job.wizard.folderName.empty()) {
        CCardStore store(database);
        target = store.EnsureFolder(job.wizard.folderName, job.folderId);
        if (target < 1) {
            result.status = CardImportResult::Status::Failed;
            result.message = store.GetLastError();
            return result;
        }
    }
    return importer.ImportMapped(reader, job.wizard.mapping, target, job.wizard.rule);
}

} // namespace

CImportCardDlg::CImportCardDlg(CAppContext& app, Prompter& prompter, long folderId, QWidget* parent)
    : QDialog(parent)
    , m_app(app)
    , m_prompter(prompter)
    , m_folderId(folderId)
    , m_sources(new QButtonGroup(this))
    , m_help(new QTableWidget(this))
    , m_progress(new QProgressBar(this))
    , m_start(new QPushButton(QStringLiteral("开始导入"), this))
    , m_cancel(new QPushButton(QStringLiteral("取消导入"), this))
    , m_adapter(new CProgressAdapter(this))
{
    setWindowTitle(QStringLiteral("客户资料导入"));
    auto* layout = new QVBoxLayout(this);
    const std::pair<Source, QString> sources[]
        = {{Spreadsheet, QStringLiteral("标准EXCEL文件导入")}, {Text, QStringLiteral("标准文本格式导入")},
            {Wizard, QStringLiteral("导入向导")}, {VCard, QStringLiteral("vCard文件导入")}};
    for (const auto& [id, caption] : sources) {
        auto* button = new QRadioButton(caption, this);
        m_sources->addButton(button, id);
        layout->addWidget(button);
    }
    m_help->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_help->setSelectionMode(QAbstractItemView::NoSelection);
    m_help->verticalHeader()->hide();
    layout->addWidget(m_help);
    connect(m_sources, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            showHelp(id);
    });
    m_sources->button(Wizard)->setChecked(true);
    showHelp(Wizard);
    layout->addWidget(m_progress);
    m_progress->hide();
    auto* buttons = new QHBoxLayout;
    auto* done = new QPushButton(QStringLiteral("完成"), this);
    buttons->addWidget(m_start);
    buttons->addWidget(m_cancel);
    buttons->addWidget(done);
    layout->addLayout(buttons);
    m_cancel->setEnabled(false);

    connect(m_start, &QPushButton::clicked, this, &CImportCardDlg::startImport);
    connect(m_cancel, &QPushButton::clicked, this, &CImportCardDlg::cancelImport);
    connect(done, &QPushButton::clicked, this, [this]() {
        if (!isImporting())
            accept();
    });
    connect(m_adapter, &CProgressAdapter::progressReported, this, [this](int doneRows, int total) {
        m_progress->setMaximum(qMax(total, 1));
        m_progress->setValue(doneRows);
    });
    connect(&m_watcher, &QFutureWatcher<CardImportResult>::finished, this, &CImportCardDlg::onFinished);
}

CImportCardDlg::~CImportCardDlg()
{
    m_stop = true;
    m_watcher.waitForFinished();
}

void CImportCardDlg::showHelp(int source)
{
    // The spreadsheet sample names the group column as the import looks for it.
    static const QStringList spreadsheet = {QStringLiteral("手机"), QStringLiteral("姓名"), QStringLiteral("组别"),
        QStringLiteral("加入时间"), QStringLiteral("到期时间"), QStringLiteral("生日"), QStringLiteral("备注")};
    static const QStringList spreadsheetRow = {QStringLiteral("13912345678"), QStringLiteral("张三"),
        QStringLiteral("老客户"), QStringLiteral("2026-01-05"), QStringLiteral("2027-01-05"),
        QStringLiteral("1980-03-08"), QStringLiteral("可不填")};
    static const QStringList text
        = {QStringLiteral("手机号码"), QStringLiteral("姓名"), QStringLiteral("性别"), QStringLiteral("组名")};
    static const QStringList textRow
        = {QStringLiteral("13912345678"), QStringLiteral("张三"), QStringLiteral("男"), QStringLiteral("老客户")};
    const bool isSheet = source == Spreadsheet;
    m_help->setVisible(isSheet || source == Text);
    if (!isSheet && source != Text)
        return;
    const QStringList& captions = isSheet ? spreadsheet : text;
    const QStringList& sample = isSheet ? spreadsheetRow : textRow;
    m_help->clear();
    m_help->setColumnCount(static_cast<int>(captions.size()));
    m_help->setRowCount(1);
    m_help->setHorizontalHeaderLabels(captions);
    for (int column = 0; column < sample.size(); ++column)
        m_help->setItem(0, column, new QTableWidgetItem(sample.at(column)));
    m_help->setToolTip(isSheet ? QStringLiteral("第一行为列标题，每个客户一行")
                               : QStringLiteral("每行一个客户，各项之间用Tab或逗号分隔"));
}

void CImportCardDlg::setSource(Source source)
{
    m_sources->button(source)->setChecked(true);
}

bool CImportCardDlg::isImporting() const
{
    return m_watcher.isRunning();
}

void CImportCardDlg::startImport()
{
    if (isImporting())
        return;
    CardImportJob job;
    job.databasePath = m_app.GetDatabase().GetDatabasePath();
    job.source = static_cast<Source>(m_sources->checkedId());
    job.folderId = m_folderId;
    if (job.source == Wizard) {
        CImportGuideDlg wizard(m_app.GetDatabase(), m_prompter, this);
        if (wizard.exec() == QDialog::Accepted)
            importWizardChoice(wizard.choice());
        return;
    }
    {
        const QString filter = job.source == Text ? QStringLiteral("文本文件 (*.txt)")
            : job.source == VCard                 ? QStringLiteral("vCard Files (*.vcf)")
                                                  : QStringLiteral("Excel Files (*.xlsx *.xls *.ods *.csv)");
        const QString file = m_prompter.getOpenFileName(
            this, FileRequest {QStringLiteral("请选择要导入的文件名"), QString(), filter, {}});
        if (file.isEmpty())
            return;
        job.file = file.toStdString();
    }
    start(std::move(job));
}

void CImportCardDlg::importWizardChoice(const CImportGuideDlg::Choice& choice)
{
    if (isImporting())
        return;
    CardImportJob job;
    job.databasePath = m_app.GetDatabase().GetDatabasePath();
    job.source = Wizard;
    job.folderId = m_folderId;
    job.wizard = choice;
    job.file = choice.path;
    start(std::move(job));
}

void CImportCardDlg::start(CardImportJob job)
{
    m_running = job.source;
    m_stop = false;
    m_progress->setValue(0);
    m_progress->show();
    m_start->setEnabled(false);
    m_cancel->setEnabled(true);
    m_watcher.setFuture(
        QtConcurrent::run(runImport, std::move(job), std::ref(m_app.GetNextCardId()), m_adapter, &m_stop));
}

void CImportCardDlg::cancelImport()
{
    m_stop = true;
}

void CImportCardDlg::reject()
{
    // Closing stops the import; what was written stays.
    m_stop = true;
    m_watcher.waitForFinished();
    QDialog::reject();
}

void CImportCardDlg::onFinished()
{
    const CardImportResult result = m_watcher.result();
    m_progress->hide();
    m_start->setEnabled(true);
    m_cancel->setEnabled(false);
    m_imported = m_imported || result.imported > 0;
    const QString summary = qs(result.Summary());
    switch (result.status) {
    case CardImportResult::Status::NoPhoneColumn:
    case CardImportResult::Status::OpenFailed:
        m_prompter.information(this, qs(result.message));
        break;
    case CardImportResult::Status::Failed:
        m_prompter.error(this, qs(result.message) + QStringLiteral("\n") + summary);
        break;
    case CardImportResult::Status::Cancelled:
        m_prompter.information(this, QStringLiteral("导入已取消，") + summary);
        break;
    case CardImportResult::Status::Done:
        if ((m_running != Text && m_running != Wizard) || result.failedPhones.empty()) {
            m_prompter.information(this, summary);
            break;
        }
        if (m_prompter.question(this, summary + QStringLiteral(",是否导出失败或重复的号码清单?"))) {
            const QString path = m_prompter.getSaveFileName(this,
                FileRequest {QStringLiteral("请输入要导出的文件名"), QStringLiteral("导入失败或重复号码清单.txt"),
                    QStringLiteral("txt Files (*.txt)"), QStringLiteral("txt")});
            std::string error;
            if (!path.isEmpty() && !CCardImporter::WriteFailureList(path.toStdString(), result.failedPhones, error))
                m_prompter.information(this, qs(error));
        }
        break;
    }
    emit importFinished();
}

} // namespace telvora
