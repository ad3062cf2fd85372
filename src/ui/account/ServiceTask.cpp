#include "account/ServiceTask.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QMetaObject>
#include <QProgressBar>
#include <QVBoxLayout>
#include <QWidget>
#include <QtConcurrent/QtConcurrentRun>

namespace telvora {

namespace {

constexpr int kProgressSteps = 1000;

} // namespace

CServiceTask::CServiceTask(QWidget* controls, QProgressBar* indicator, QObject* parent)
    : QObject(parent)
    , m_controls(controls)
    , m_indicator(indicator)
{
    connect(&m_watcher, &QFutureWatcher<bool>::finished, this, &CServiceTask::onFinished);
    if (m_indicator)
        m_indicator->hide();
}

CServiceTask::~CServiceTask()
{
    m_watcher.waitForFinished();
}

CServiceTask* CServiceTask::layOut(QDialog* dialog, QLayout* content, QDialogButtonBox* buttons)
{
    auto* indicator = new QProgressBar(dialog);
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(content, 1);
    layout->addWidget(indicator);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return new CServiceTask(buttons, indicator, dialog);
}

bool CServiceTask::run(std::function<bool()> work, std::function<void(bool)> done)
{
    if (isRunning())
        return false;
    m_done = std::move(done);
    m_running = true;
    showBusy(true);
    m_watcher.setFuture(QtConcurrent::run(std::move(work)));
    return true;
}

void CServiceTask::reportProgress(qint64 done, qint64 total)
{
    const int share = total > 0 ? static_cast<int>(done * kProgressSteps / total) : 0;
    QMetaObject::invokeMethod(
        this,
        [this, share]() {
            if (m_indicator && isRunning()) {
                m_indicator->setRange(0, kProgressSteps);
                m_indicator->setValue(share);
            }
        },
        Qt::QueuedConnection);
}

void CServiceTask::onFinished()
{
    m_running = false;
    showBusy(false);
    const bool ok = m_watcher.future().result();
    // done may start the next piece of work.
    std::function<void(bool)> done = std::move(m_done);
    m_done = {};
    if (done)
        done(ok);
    emit finished(ok);
}

void CServiceTask::showBusy(bool busy)
{
    if (m_controls)
        m_controls->setEnabled(!busy);
    if (!m_indicator)
        return;
    m_indicator->setRange(0, 0);
    m_indicator->setVisible(busy);
}

} // namespace telvora
