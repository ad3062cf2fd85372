#pragma once

#include "maintenance/MaintenanceServices.h"

#include <QDialog>
#include <atomic>

class QRadioButton;

namespace telvora {

class CServiceTask;

// "数据库资料备份/恢复": a backup to a local file or to the service, or the choice of where
// a restore comes from (the restore dialog then takes over).
class CDataBackupDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CDataBackupDlg)

public:
    // restoring preselects the restore.
    CDataBackupDlg(const MaintenanceServices& services, bool restoring, QWidget* parent = nullptr);
    ~CDataBackupDlg() override;

    QRadioButton* backupButton() const { return m_backup; }
    QRadioButton* restoreButton() const { return m_restore; }
    QRadioButton* localButton() const { return m_local; }
    QRadioButton* serviceButton() const { return m_service; }
    bool isBusy() const;

signals:
    // The dialog closed with the restore chosen, from the service or from a local file.
    void restoreChosen(bool fromService);
    // An upload to the service ended.
    void transferFinished();

public slots:
    void onOkClicked();
    void reject() override;

private:
    void backUpLocally();
    void backUpToService();

    MaintenanceServices m_services;
    QRadioButton* m_backup;
    QRadioButton* m_restore;
    QRadioButton* m_local;
    QRadioButton* m_service;
    CServiceTask* m_task = nullptr;
    std::string m_uploadMessage;
    std::atomic<bool> m_cancelled {false};
};

} // namespace telvora
