#include "maintenance/DataBackupDlg.h"

#include "account/ServiceTask.h"
#include "app/AppContext.h"
#include "app/Prompter.h"
#include "db/DateTime.h"
#include "session/ServerBackup.h"
#include "session/Session.h"
#include "session/SessionKeeper.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace telvora {

CDataBackupDlg::CDataBackupDlg(const MaintenanceServices& services, bool restoring, QWidget* parent)
    : QDialog(parent)
    , m_services(services)
    , m_backup(new QRadioButton(QStringLiteral("数据备份"), this))
    , m_restore(new QRadioButton(QStringLiteral("数据恢复"), this))
    , m_local(new QRadioButton(QStringLiteral("本地"), this))
    , m_service(new QRadioButton(QStringLiteral("服务器"), this))
{
    setWindowTitle(QStringLiteral("数据库资料备份/恢复"));
    const auto group = [this](const QString& title, QRadioButton* first, QRadioButton* second) {
        auto* box = new QGroupBox(title, this);
        auto* row = new QHBoxLayout(box);
        row->addWidget(first);
        row->addWidget(second);
        auto* buttons = new QButtonGroup(box);
        buttons->addButton(first);
        buttons->addButton(second);
        return box;
    };
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* choices = new QVBoxLayout;
    choices->addWidget(group(QStringLiteral("操作"), m_backup, m_restore));
    choices->addWidget(group(QStringLiteral("位置"), m_local, m_service));
    // Checked once each pair sits in its own box, so the pairs do not exclude each other.
    (restoring ? m_restore : m_backup)->setChecked(true);
    m_local->setChecked(true);
    m_task = CServiceTask::layOut(this, choices, buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDataBackupDlg::onOkClicked);
}

CDataBackupDlg::~CDataBackupDlg() = default;

bool CDataBackupDlg::isBusy() const
{
    return m_task->isRunning();
}

void CDataBackupDlg::reject()
{
    // Closing during an upload ends the upload; the dialog closes once it has.
    if (isBusy()) {
        m_cancelled = true;
        return;
    }
    QDialog::reject();
}

void CDataBackupDlg::onOkClicked()
{
    if (isBusy())
        return;
    if (m_restore->isChecked()) {
        accept();
        emit restoreChosen(m_service->isChecked());
    } else if (m_local->isChecked()) {
        backUpLocally();
    } else {
        backUpToService();
    }
}

void CDataBackupDlg::backUpLocally()
{
    CAppContext& app = m_services.app;
    const QString directory = m_services.backupDirectory();
    QDir().mkpath(directory);
    const std::string name = ProposedBackupName(app.IsOffline(), app.GetParameters().Get("Account"), DateTime::now());
    const QString path = m_services.prompter.getSaveFileName(this,
        FileRequest {QStringLiteral("请输入备份的文件名"), directory + QString::fromStdString(name),
            QStringLiteral("*.db Files (*.db)"), QStringLiteral("db")});
    if (path.isEmpty())
        return;
    // A copy through SQLite: it may run while a send writes.
    CDatabaseMaintenance maintenance = m_services.maintenance();
    const bool done = maintenance.Backup(path.toStdString()) == CDatabaseMaintenance::Result::Done;
    m_services.prompter.information(this,
        (done ? QStringLiteral("数据备份到本地目录[%1]成功!") : QStringLiteral("数据备份到本地目录[%1]失败!"))
            .arg(path));
}

void CDataBackupDlg::backUpToService()
{
    if (!m_services.session.loggedIn) {
        m_services.prompter.information(this, QStringLiteral("您尚未在线登录，不可以操作远程服务器备份！"));
        return;
    }
    CAppContext& app = m_services.app;
    const std::string path = app.DatabasePathFor(app.GetWorkDatabaseName());
    m_cancelled = false;
    m_task->run(
        [this, path]() {
            CServerBackup backup(m_services.service, m_services.session);
            const bool uploaded = backup.Upload(path, [this](std::int64_t done, std::int64_t total) {
                m_task->reportProgress(done, total);
                return !m_cancelled.load();
            });
            m_uploadMessage = backup.GetMessage();
            return uploaded;
        },
        [this](bool) {
            m_services.prompter.information(this, QString::fromStdString(m_uploadMessage));
            emit transferFinished();
        });
}

} // namespace telvora
