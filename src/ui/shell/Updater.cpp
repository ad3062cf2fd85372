#include "shell/Updater.h"

#include "app/AppConstants.h"
#include "app/AppContext.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace telvora {

QString CUpdater::ConfiguredProgram(const CAppContext& app)
{
    const QString configured = QString::fromStdString(app.GetSetupFile().GetString(kSetupSection, kSetupKey)).trimmed();
    if (configured.isEmpty())
        return {};
    const QFileInfo program(QDir(QString::fromStdString(app.GetApplicationDirectory())), configured);
    if (!program.isFile() || !program.isExecutable())
        return {};
    return program.absoluteFilePath();
}

bool CUpdater::Start(const CAppContext& app)
{
    const QString program = ConfiguredProgram(app);
    if (program.isEmpty())
        return false;
    return QProcess::startDetached(program, {}, QString::fromStdString(app.GetApplicationDirectory()));
}

} // namespace telvora
