#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

class QThread;

namespace telvora {

// Runs one piece of long work of a tool dialog on a thread of its own. The work gets a
// stop flag and a progress callback; progress reaches the dialog coalesced, as per mille,
// and the end as finished(), both on the dialog's thread. stop() (also on destruction)
// sets the flag and waits, and no finished() follows.
class CToolWorker final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CToolWorker)

public:
    using Report = std::function<void(std::uint64_t done, std::uint64_t total)>;
    using Work = std::function<void(const std::atomic<bool>& stop, const Report& report)>;

    explicit CToolWorker(QObject* parent = nullptr);
    ~CToolWorker() override;

    // False while an earlier piece of work still runs.
    bool start(Work work);
    bool isRunning() const { return m_job != nullptr; }
    void stop();

signals:
    void progressChanged(int perMille);
    void finished();

private:
    struct Job;

    void onThreadFinished(const std::shared_ptr<Job>& job);

    std::shared_ptr<Job> m_job;
    QThread* m_thread = nullptr;
};

} // namespace telvora
