#include "maintenance/RestoreDlg.h"

#include "account/ServiceTask.h"
#include "app/AppContext.h"
#include "app/HintBroadcaster.h"
#include "app/Prompter.h"
#include "session/ServerBackup.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryFile>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace telvora {

namespace {

constexpr const char* kBackupFilter = "db Files (*.db)";

} // namespace

CRestoreDlg::CRestoreDlg(const MaintenanceServices& services, bool fromService, QWidget* parent)
    : QDialog(parent)
    , m_services(services)
    , m_fromService(fromService)
    , m_groups(new QTreeWidget(this))
    , m_files(new QListWidget(this))
    , m_browse(new QPushButton(QStringLiteral("浏览"), this))
    , m_local(new QRadioButton(QStringLiteral("从本地恢复数据"), this))
    , m_service(new QRadioButton(QStringLiteral("从服务器恢复数据"), this))
{
    setWindowTitle(QStringLiteral("备份数据还原"));
    resize(520, 360);
    m_groups->setHeaderHidden(true);
    m_groups->setRootIsDecorated(false);
    for (const TableGroupInfo& group : TableGroups()) {
        auto* item = new QTreeWidgetItem(m_groups, {QString::fromUtf8(group.caption)});
        item->setData(0, Qt::UserRole, static_cast<int>(group.group));
        item->setCheckState(0, group.group == TableGroup::Cards ? Qt::Checked : Qt::Unchecked);
    }
    (fromService ? m_service : m_local)->setChecked(true);
    (fromService ? m_local : m_service)->setEnabled(false);
    m_files->setEnabled(!fromService);
    m_browse->setEnabled(!fromService);
    if (!fromService) {
        const QDir directory(m_services.backupDirectory());
        for (const QString& name : directory.entryList({QStringLiteral("*.db")}, QDir::Files, QDir::Name))
            m_files->addItem(directory.filePath(name));
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* places = new QHBoxLayout;
    places->addWidget(m_local);
    places->addWidget(m_service);
    auto* grid = new QGridLayout;
    grid->addWidget(m_groups, 0, 0, 2, 1);
    grid->addWidget(m_files, 0, 1);
    grid->addWidget(m_browse, 1, 1, Qt::AlignRight);
    auto* content = new QVBoxLayout;
    content->addLayout(places);
    content->addLayout(grid, 1);
    m_task = CServiceTask::layOut(this, content, buttons);
    connect(m_browse, &QPushButton::clicked, this, &CRestoreDlg::onBrowseClicked);
    connect(buttons, &QDialogButtonBox::accepted, this, &CRestoreDlg::onOkClicked);
}

CRestoreDlg::~CRestoreDlg() = default;

bool CRestoreDlg::isBusy() const
{
    return m_task->isRunning();
}

void CRestoreDlg::onBrowseClicked()
{
    const QString path = m_services.prompter.getOpenFileName(this,
        FileRequest {QStringLiteral("选择要恢复的备份文件名"), m_services.backupDirectory(),
            QString::fromUtf8(kBackupFilter), {}});
    if (path.isEmpty())
        return;
    m_files->addItem(path);
    m_files->setCurrentRow(m_files->count() - 1);
    for (int i = 0; i < m_groups->topLevelItemCount(); ++i)
        m_groups->topLevelItem(i)->setCheckState(0, Qt::Checked);
}

std::vector<TableGroup> CRestoreDlg::tickedGroups() const
{
    std::vector<TableGroup> groups;
    for (int i = 0; i < m_groups->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = m_groups->topLevelItem(i);
        if (item->checkState(0) == Qt::Checked)
            groups.push_back(static_cast<TableGroup>(item->data(0, Qt::UserRole).toInt()));
    }
    return groups;
}

void CRestoreDlg::onOkClicked()
{
    if (isBusy()
        || !m_services.prompter.question(this, QStringLiteral("数据恢复将覆盖您现有本地数据记录，是否继续？"))) {
        return;
    }
    if (!m_fromService) {
        QListWidgetItem* selected = m_files->currentItem();
        if (!selected || !selected->isSelected()) {
            m_services.prompter.information(this, QStringLiteral("请选择一个要从本地还原的备份数据文件!"));
            return;
        }
        restoreFrom(selected->text());
        return;
    }
    // The copy lands beside the working database, private to this user.
    delete m_download;
    m_download = new QTemporaryFile(
        QString::fromStdString(m_services.app.GetApplicationDirectory()) + QStringLiteral("restore-XXXXXX.db"), this);
    if (!m_download->open()) {
        m_services.prompter.error(this, QStringLiteral("从服务器下载备份文件失败,请确认您是否已做过服务器备份!"));
        return;
    }
    m_download->close();
    const std::string destination = m_download->fileName().toStdString();
    const std::string account = m_services.app.GetParameters().Get("Account");
    const std::string user = m_services.app.GetParameters().Get("User");
    m_task->run(
        [this, destination, account, user]() {
            CServerBackup backup(m_services.service, m_services.session);
            const bool fetched
                = backup.Download(account, user, destination, [this](std::int64_t done, std::int64_t total) {
                      m_task->reportProgress(done, total);
                      return true;
                  });
            m_downloadMessage = backup.GetMessage();
            return fetched;
        },
        [this, destination](bool fetched) {
            if (fetched)
                restoreFrom(QString::fromStdString(destination));
            else
                m_services.prompter.information(this, QString::fromStdString(m_downloadMessage));
            delete m_download;
            m_download = nullptr;
            emit transferFinished();
        });
}

void CRestoreDlg::restoreFrom(const QString& path)
{
    const std::vector<TableGroup> groups = tickedGroups();
    CDatabaseMaintenance maintenance = m_services.maintenance();
    const CDatabaseMaintenance::Result result = maintenance.Restore(path.toStdString(), groups);
    if (result == CDatabaseMaintenance::Result::Done) {
        if (std::find(groups.begin(), groups.end(), TableGroup::Records) != groups.end())
            m_services.hints.broadcast(HintBroadcaster::ReceivedMessagesChanged);
        m_services.hints.broadcast(HintBroadcaster::AddressBookChanged);
    }
    if (m_services.report(this, maintenance, result, QStringLiteral("数据资料恢复成功!")))
        accept();
}

} // namespace telvora
