#include "tools/PhoneDivisionDlg.h"

#include "app/Prompter.h"
#include "tools/ToolWorker.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <utility>

namespace telvora {

namespace {

constexpr const char* kNameHint = "例:广东 或 深圳";

std::string trimmed(const QLineEdit* edit)
{
    return edit->text().trimmed().toStdString();
}

} // namespace

CPhoneDivisionDlg::CPhoneDivisionDlg(
    Prompter& prompter, const std::string& regionDatabase, const std::vector<std::string>* sendList, QWidget* parent)
    : QDialog(parent)
    , m_prompter(prompter)
    , m_sendList(sendList != nullptr)
{
    setWindowTitle(QStringLiteral("手机号码区域检索/分离"));
    m_path = new QLineEdit(this);
    m_path->setReadOnly(true);
    m_browse = new QPushButton(QStringLiteral("浏览"), this);
    for (const char* caption : {"按省份分离号码", "按城市分离号码", "按移动、联通、电信分离号码",
             "检索指定省份/城市号码:", "删除指定省份/城市号码:"}) {
        m_modes.push_back(new QRadioButton(QString::fromUtf8(caption), this));
    }
    m_extractName = new QLineEdit(this);
    m_removeName = new QLineEdit(this);
    m_extractName->setPlaceholderText(QString::fromUtf8(kNameHint));
    m_removeName->setPlaceholderText(QString::fromUtf8(kNameHint));
    m_fromSendList = new QCheckBox(QStringLiteral("从发送列表检索"), this);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 1000);
    m_progress->setVisible(false);
    m_start = new QPushButton(QStringLiteral("开始分离/检索"), this);
    auto* close = new QPushButton(QStringLiteral("退出"), this);
    m_worker = new CToolWorker(this);

    auto* file = new QHBoxLayout;
    file->addWidget(m_path, 1);
    file->addWidget(m_browse);
    auto* modes = new QGridLayout;
    for (int i = 0; i < 3; ++i) {
        modes->addWidget(m_modes[static_cast<std::size_t>(i)], i, 0, 1, 2);
    }
    modes->addWidget(m_modes[3], 3, 0);
    modes->addWidget(m_extractName, 3, 1);
    modes->addWidget(m_modes[4], 4, 0);
    modes->addWidget(m_removeName, 4, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_fromSendList);
    buttons->addStretch(1);
    buttons->addWidget(m_start);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(file);
    layout->addLayout(modes);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);

    connect(m_browse, &QPushButton::clicked, this, &CPhoneDivisionDlg::onBrowseClicked);
    connect(m_start, &QPushButton::clicked, this, &CPhoneDivisionDlg::onStartClicked);
    connect(close, &QPushButton::clicked, this, &CPhoneDivisionDlg::reject);
    connect(m_worker, &CToolWorker::finished, this, [this]() {
        setBusy(false);
        std::exchange(m_afterWork, nullptr)();
        emit workFinished();
    });
    connect(m_worker, &CToolWorker::progressChanged, this, [this](int value) {
        m_progress->setValue(value);
        emit progressChanged(value);
    });

    if (m_sendList) {
        m_division.SetNumbers(*sendList);
        m_fromSendList->setChecked(true);
        m_fromSendList->setEnabled(false);
        m_path->setEnabled(false);
        m_browse->setEnabled(false);
        for (int i = 0; i < 3; ++i) {
            m_modes[static_cast<std::size_t>(i)]->setEnabled(false);
        }
        m_modes[3]->setChecked(true);
    } else {
        m_fromSendList->setVisible(false);
        m_modes[0]->setChecked(true);
    }
    m_regionsLoaded = !regionDatabase.empty() && m_regions.LoadFile(regionDatabase);
    if (!m_regionsLoaded) {
        m_prompter.information(this, QStringLiteral("打开号码查询数据库失败！"));
        m_start->setEnabled(false);
    }
}

CPhoneDivisionDlg::~CPhoneDivisionDlg()
{
    // The worker uses the division; it must end before the members go.
    m_worker->stop();
}

DivisionMode CPhoneDivisionDlg::mode() const
{
    for (std::size_t i = 0; i < m_modes.size(); ++i) {
        if (m_modes[i]->isChecked()) {
            return static_cast<DivisionMode>(i + 1);
        }
    }
    return DivisionMode::ByProvince;
}

QString CPhoneDivisionDlg::regionName() const
{
    return (mode() == DivisionMode::Remove ? m_removeName : m_extractName)->text().trimmed();
}

QRadioButton* CPhoneDivisionDlg::modeButton(DivisionMode mode) const
{
    return m_modes[static_cast<std::size_t>(mode) - 1];
}

bool CPhoneDivisionDlg::isBusy() const
{
    return m_worker->isRunning();
}

void CPhoneDivisionDlg::setBusy(bool busy)
{
    m_progress->setValue(0);
    m_progress->setVisible(busy);
    m_browse->setEnabled(!busy && !m_sendList);
    m_start->setEnabled(!busy && m_regionsLoaded);
}

void CPhoneDivisionDlg::onBrowseClicked()
{
    if (isBusy()) {
        return;
    }
    FileRequest request;
    request.title = QStringLiteral("请选择要分离号码的文件名");
    request.filter = QStringLiteral("文本文档 (*.txt)");
    const QString path = m_prompter.getOpenFileName(this, request);
    if (path.isEmpty()) {
        return;
    }
    m_path->setText(path);
    setBusy(true);
    const std::string file = path.toStdString();
    m_worker->start([this, file](const std::atomic<bool>& stop, const CToolWorker::Report& report) {
        m_division.setCancelFlag(&stop);
        m_division.setProgressCallback([&report](const NumberFileProgress& p) { report(p.bytesRead, p.totalBytes); });
        m_loaded = m_division.LoadFile(file);
        // The flag and the callback live only as long as this work.
        m_division.setCancelFlag(nullptr);
        m_division.setProgressCallback({});
    });
    m_afterWork = [this]() {
        if (m_loaded.status == NumberFileResult::Status::OpenFailed) {
            m_prompter.information(this, QString::fromStdString(m_loaded.message));
        }
    };
}

void CPhoneDivisionDlg::onStartClicked()
{
    if (isBusy()) {
        return;
    }
    const DivisionMode chosen = mode();
    const std::string name = chosen == DivisionMode::Extract ? trimmed(m_extractName)
        : chosen == DivisionMode::Remove                     ? trimmed(m_removeName)
                                                             : std::string();
    if (const std::string refusal = m_division.CheckStart(chosen, name); !refusal.empty()) {
        m_prompter.information(this, QString::fromStdString(refusal));
        return;
    }
    if (m_sendList) {
        m_result = m_division.Filter(chosen, name);
        accept();
        return;
    }
    FileRequest request;
    request.title = QStringLiteral("请输入要保存的文件名");
    request.path = QStringLiteral("所属区域.txt");
    request.filter = QStringLiteral("txt Files (*.txt)");
    request.defaultSuffix = QStringLiteral("txt");
    QString path = m_prompter.getSaveFileName(this, request);
    if (path.isEmpty()) {
        return;
    }
    if (path.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive)) {
        path.chop(4);
    }
    setBusy(true);
    const std::string base = path.toStdString();
    m_worker->start([this, chosen, name, base](const std::atomic<bool>&, const CToolWorker::Report&) {
        m_written = m_division.WriteFiles(chosen, name, base);
    });
    m_afterWork = [this]() { m_prompter.information(this, QString::fromStdString(m_written.message)); };
}

void CPhoneDivisionDlg::reject()
{
    m_worker->stop();
    setBusy(false);
    QDialog::reject();
}

} // namespace telvora
