#pragma once

#include "maintenance/MaintenanceServices.h"

#include <QDialog>
#include <vector>

class QListWidget;
class QPushButton;
class QRadioButton;
class QTemporaryFile;
class QTreeWidget;

namespace telvora {

class CServiceTask;

// "备份数据还原": restores the ticked groups of tables from a local backup file or from the
// copy the service keeps. The service's copy is fetched into a temporary file first and
// checked like any other backup; nothing changes unless the whole restore succeeds.
class CRestoreDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CRestoreDlg)

public:
    CRestoreDlg(const MaintenanceServices& services, bool fromService, QWidget* parent = nullptr);
    ~CRestoreDlg() override;

    QTreeWidget* groupTree() const { return m_groups; }
    QListWidget* fileList() const { return m_files; }
    QPushButton* browseButton() const { return m_browse; }
    QRadioButton* localButton() const { return m_local; }
    QRadioButton* serviceButton() const { return m_service; }
    bool isBusy() const;

signals:
    // The download from the service ended (the restore, if any, is over too).
    void transferFinished();

public slots:
    void onBrowseClicked();
    void onOkClicked();

private:
    std::vector<TableGroup> tickedGroups() const;
    void restoreFrom(const QString& path);

    MaintenanceServices m_services;
    bool m_fromService;
    QTreeWidget* m_groups;
    QListWidget* m_files;
    QPushButton* m_browse;
    QRadioButton* m_local;
    QRadioButton* m_service;
    CServiceTask* m_task = nullptr;
    QTemporaryFile* m_download = nullptr;
    std::string m_downloadMessage;
};

} // namespace telvora
