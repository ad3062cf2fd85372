#pragma once

#include "db/DatabaseMaintenance.h"

#include <QString>

class QWidget;

namespace telvora {

class CAppContext;
class CServiceClient;
class HintBroadcaster;
class Prompter;
struct CSession;

// What the backup, restore and clearing commands work on.
struct MaintenanceServices
{
    Prompter& prompter;
    CAppContext& app;
    CSession& session;
    CServiceClient& service;
    HintBroadcaster& hints;
    // Whether a send runs; its worker writes the records meanwhile.
    CDatabaseMaintenance::SendRunning sendRunning;

    // The working database's maintenance, resets starting from the data directory's template.
    CDatabaseMaintenance maintenance() const;
    // The directory of local backups, ending in "/".
    QString backupDirectory() const;
    // Shows the outcome of an operation: success on Done, else why nothing changed.
    // True on Done.
    bool report(QWidget* parent, const CDatabaseMaintenance& done, CDatabaseMaintenance::Result result,
        const QString& success) const;
};

} // namespace telvora
