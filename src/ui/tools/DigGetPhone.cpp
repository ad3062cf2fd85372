#include "tools/DigGetPhone.h"

#include "app/Prompter.h"
#include "tools/NumberTextFile.h"
#include "tools/ToolWorker.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

namespace telvora {

CDigGetPhone::CDigGetPhone(Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_prompter(prompter)
{
    setWindowTitle(QStringLiteral("号码提取工具"));
    m_allPath = new QLineEdit(this);
    m_sentPath = new QLineEdit(this);
    m_allPath->setReadOnly(true);
    m_sentPath->setReadOnly(true);
    const auto makeButton = [this](const QString& caption, void (CDigGetPhone::*slot)()) {
        auto* button = new QPushButton(caption, this);
        connect(button, &QPushButton::clicked, this, slot);
        m_buttons.append(button);
        return button;
    };
    QPushButton* loadAll = makeButton(QStringLiteral("导入要发送的所有号码"), &CDigGetPhone::onLoadAllClicked);
    QPushButton* loadSent = makeButton(QStringLiteral("导入已经发送的所有号码"), &CDigGetPhone::onLoadSentClicked);
    QPushButton* extract = makeButton(QStringLiteral("号码提取"), &CDigGetPhone::onExtractClicked);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 1000);
    m_progress->setVisible(false);
    m_worker = new CToolWorker(this);

    auto* files = new QGridLayout;
    files->addWidget(loadAll, 0, 0);
    files->addWidget(m_allPath, 0, 1);
    files->addWidget(loadSent, 1, 0);
    files->addWidget(m_sentPath, 1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(files);
    for (const char* step : {"1、先从发送记录中按右键提取已发送号码", "2、将之前要发送的所有号码放在同一个文本文件中",
             "3、将号码分别导入上面的选项里，再按[号码提取]按钮"}) {
        layout->addWidget(new QLabel(QString::fromUtf8(step), this));
    }
    layout->addWidget(m_progress);
    layout->addWidget(extract, 0, Qt::AlignRight);

    connect(m_worker, &CToolWorker::progressChanged, m_progress, &QProgressBar::setValue);
    connect(m_worker, &CToolWorker::finished, this, [this]() {
        m_progress->setVisible(false);
        for (QPushButton* button : m_buttons) {
            button->setEnabled(true);
        }
        std::exchange(m_afterWork, nullptr)();
        emit workFinished();
    });
}

CDigGetPhone::~CDigGetPhone()
{
    m_worker->stop();
}

bool CDigGetPhone::isBusy() const
{
    return m_worker->isRunning();
}

void CDigGetPhone::run(std::function<void()> work, std::function<void()> after)
{
    m_afterWork = std::move(after);
    m_progress->setValue(0);
    m_progress->setVisible(true);
    for (QPushButton* button : m_buttons) {
        button->setEnabled(false);
    }
    m_worker->start([this, work = std::move(work)](const std::atomic<bool>& stop, const CToolWorker::Report& report) {
        m_extraction.setCancelFlag(&stop);
        m_extraction.setProgressCallback([&report](const NumberFileProgress& p) { report(p.bytesRead, p.totalBytes); });
        work();
        // The flag and the callback live only as long as this work.
        m_extraction.setCancelFlag(nullptr);
        m_extraction.setProgressCallback({});
    });
}

void CDigGetPhone::onLoadAllClicked()
{
    load(CUnsentExtraction::List::All, m_allPath);
}

void CDigGetPhone::onLoadSentClicked()
{
    load(CUnsentExtraction::List::Sent, m_sentPath);
}

void CDigGetPhone::load(CUnsentExtraction::List list, QLineEdit* pathEdit)
{
    if (isBusy()) {
        return;
    }
    FileRequest request;
    request.title = QStringLiteral("请选择要加载的文件名");
    request.filter = QStringLiteral("文本文档 (*.txt)");
    const QString path = m_prompter.getOpenFileName(this, request);
    if (path.isEmpty()) {
        return;
    }
    pathEdit->setText(path);
    const std::string file = path.toStdString();
    run([this, list, file]() { m_loaded = m_extraction.LoadFile(list, file); },
        [this]() {
            if (m_loaded.status == NumberFileResult::Status::OpenFailed) {
                m_prompter.information(this, QString::fromStdString(m_loaded.message));
            }
        });
}

void CDigGetPhone::onExtractClicked()
{
    if (isBusy()) {
        return;
    }
    run([this]() { m_unsent = m_extraction.Extract(); }, [this]() { save(); });
}

void CDigGetPhone::save()
{
    FileRequest request;
    request.title = QStringLiteral("请输入要导出的文件名");
    request.path = QStringLiteral("未发送号码取提.txt");
    request.filter = QStringLiteral("txt Files (*.txt)");
    request.defaultSuffix = QStringLiteral("txt");
    const QString path = m_prompter.getSaveFileName(this, request);
    if (!path.isEmpty()) {
        if (!AppendNumberLines(path.toStdString(), m_unsent)) {
            m_prompter.information(this, QStringLiteral("创建导出文件失败!"));
            return;
        }
        m_prompter.information(this, QStringLiteral("提取手机号码列表完成!"));
    }
    m_unsent.clear();
    accept();
}

void CDigGetPhone::reject()
{
    m_worker->stop();
    QDialog::reject();
}

} // namespace telvora
