#include "tools/ToolWorker.h"

#include <QPointer>
#include <QThread>
#include <algorithm>
#include <utility>

namespace telvora {

struct CToolWorker::Job
{
    std::atomic<bool> stop {false};
    std::atomic<int> progress {0};
    std::atomic<bool> progressPosted {false};
};

CToolWorker::CToolWorker(QObject* parent)
    : QObject(parent)
{ }

CToolWorker::~CToolWorker()
{
    stop();
}

bool CToolWorker::start(Work work)
{
    if (m_job) {
        return false;
    }
    auto job = std::make_shared<Job>();
    m_job = job;
    // The worker stores the latest value and posts at most one update at a time, so a fast
    // file cannot flood the event queue.
    QPointer<CToolWorker> self(this);
    Report report = [job, self](std::uint64_t done, std::uint64_t total) {
        job->progress.store(total == 0 ? 0 : static_cast<int>(std::min(done, total) * 1000 / total));
        if (!job->progressPosted.exchange(true) && self) {
            QMetaObject::invokeMethod(
                self.data(),
                [job, self]() {
                    job->progressPosted.store(false);
                    if (self && self->m_job == job) {
                        emit self->progressChanged(job->progress.load());
                    }
                },
                Qt::QueuedConnection);
        }
    };
    m_thread
        = QThread::create([job, work = std::move(work), report = std::move(report)]() { work(job->stop, report); });
    connect(m_thread, &QThread::finished, this, [this, job]() { onThreadFinished(job); });
    m_thread->start();
    return true;
}

void CToolWorker::onThreadFinished(const std::shared_ptr<Job>& job)
{
    // A stopped worker's late signal must not end newer work.
    if (m_job != job) {
        return;
    }
    m_job.reset();
    m_thread->wait();
    delete std::exchange(m_thread, nullptr);
    emit finished();
}

void CToolWorker::stop()
{
    if (!m_job) {
        return;
    }
    m_job->stop.store(true);
    m_job.reset();
    // The core work looks at the flag between pieces of a file, so this is short.
    m_thread->wait();
    delete std::exchange(m_thread, nullptr);
}

} // namespace telvora
