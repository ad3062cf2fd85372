#include "contacts/CardExportRunner.h"

#include "app/AppContext.h"
#include "app/FrameServices.h"
#include "app/Prompter.h"
#include "contacts/ProgressAdapter.h"
#include "db/ADODataBase.h"

#include <QWidget>
#include <QtConcurrent>

namespace telvora {

namespace {

CardExportOutcome runExport(const std::string& databasePath, long folderId, const std::string& path,
    CProgressObserver* observer, const std::atomic<bool>* stop)
{
    CardExportOutcome outcome;
    CADODataBase database;
    if (!database.Open(databasePath)) {
        outcome.error = database.GetLastError();
        return outcome;
    }
    CCardExporter exporter(database, observer, stop);
    outcome.result = exporter.ExportFolder(folderId, path);
    outcome.error = exporter.GetLastError();
    return outcome;
}

} // namespace

CCardExportRunner::CCardExportRunner(CAppContext& app, Prompter& prompter, FrameServices& frame, QWidget* owner)
    : QObject(owner)
    , m_app(app)
    , m_prompter(prompter)
    , m_frame(frame)
    , m_owner(owner)
    , m_adapter(new CProgressAdapter(this))
{
    connect(m_adapter, &CProgressAdapter::progressReported, this, [this](int done, int total) {
        if (isRunning())
            m_frame.setProgress(done, qMax(total, 1));
    });
    connect(&m_watcher, &QFutureWatcher<CardExportOutcome>::finished, this, &CCardExportRunner::onFinished);
}

CCardExportRunner::~CCardExportRunner()
{
    // The worker uses this object's flag and adapter; an export left running is abandoned.
    m_stop = true;
    m_watcher.waitForFinished();
}

bool CCardExportRunner::start(long folderId, const QString& path, const QString& caption)
{
    if (isRunning()) {
        m_prompter.information(m_owner, QStringLiteral("正在导出客户资料,请稍候!"));
        return false;
    }
    m_caption = caption;
    m_stop = false;
    m_frame.setProgress(0, 1);
    m_watcher.setFuture(QtConcurrent::run(
        runExport, m_app.GetDatabase().GetDatabasePath(), folderId, path.toStdString(), m_adapter, &m_stop));
    return true;
}

void CCardExportRunner::cancel()
{
    m_stop = true;
}

bool CCardExportRunner::isRunning() const
{
    return m_watcher.isRunning();
}

void CCardExportRunner::onFinished()
{
    const CardExportOutcome outcome = m_watcher.result();
    m_frame.endProgress();
    switch (outcome.result) {
    case CCardExporter::Result::Done:
        m_prompter.information(m_owner, m_caption + QStringLiteral("成功"));
        break;
    case CCardExporter::Result::Cancelled:
        m_prompter.information(m_owner, m_caption + QStringLiteral("已取消"));
        break;
    case CCardExporter::Result::Failed:
        m_prompter.error(m_owner, m_caption + QStringLiteral("失败\n") + QString::fromStdString(outcome.error));
        break;
    }
    emit finished(outcome.result);
}

} // namespace telvora
