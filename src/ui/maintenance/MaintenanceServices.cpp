#include "maintenance/MaintenanceServices.h"

#include "app/AppConstants.h"
#include "app/AppContext.h"
#include "app/Prompter.h"

namespace telvora {

CDatabaseMaintenance MaintenanceServices::maintenance() const
{
    return CDatabaseMaintenance(app.GetDatabase(), app.GetDataDirectory().FilePath(kTemplateDatabase), sendRunning);
}

QString MaintenanceServices::backupDirectory() const
{
    return QString::fromStdString(app.GetApplicationDirectory()) + QStringLiteral("backupdata/");
}

bool MaintenanceServices::report(QWidget* parent, const CDatabaseMaintenance& done, CDatabaseMaintenance::Result result,
    const QString& success) const
{
    using Result = CDatabaseMaintenance::Result;
    switch (result) {
    case Result::Done:
        prompter.information(parent, success);
        return true;
    case Result::NotABackup:
        prompter.error(parent, QString::fromUtf8(CDatabaseMaintenance::kCannotOpenBackup));
        return false;
    case Result::Busy:
    case Result::Failed:
        break;
    }
    prompter.error(parent, QString::fromStdString(done.GetLastError()));
    return false;
}

} // namespace telvora
