#include "app/WorkerProgress.h"

namespace telvora {

WorkerProgress::WorkerProgress(QObject* parent)
    : QObject(parent)
{ }

WorkerProgress::~WorkerProgress() = default;

void WorkerProgress::reportProgress(qint64 done, qint64 total)
{
    m_done.store(done);
    m_total.store(total);
    if (!m_progressPosted.exchange(true))
        QMetaObject::invokeMethod(
            this, [this] { deliverProgress(); }, Qt::QueuedConnection);
}

void WorkerProgress::reportMessage(const QString& text)
{
    QMetaObject::invokeMethod(
        this, [this, text] { emit messageReported(text); }, Qt::QueuedConnection);
}

void WorkerProgress::reportFinished(bool ok, const QString& text)
{
    QMetaObject::invokeMethod(
        this, [this, ok, text] { emit finished(ok, text); }, Qt::QueuedConnection);
}

bool WorkerProgress::isCancelRequested() const
{
    return m_cancel.load();
}

void WorkerProgress::requestCancel()
{
    m_cancel.store(true);
}

void WorkerProgress::deliverProgress()
{
    // Clear the flag before reading, so a report racing with us posts again.
    m_progressPosted.store(false);
    emit progressChanged(m_done.load(), m_total.load());
}

} // namespace telvora
