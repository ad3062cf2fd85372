#pragma once

#include <QObject>
#include <atomic>

namespace telvora {

// Brings the progress and the end of a background job to the UI thread. It lives in the
// UI thread; the report functions may be called from any thread (a core observer's
// callbacks forward to them) and arrive as queued signals in the order they were made.
// Progress reports are coalesced: a worker may report every step without flooding the
// event queue, and the UI sees the latest values.
class WorkerProgress final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WorkerProgress)

public:
    explicit WorkerProgress(QObject* parent = nullptr);
    ~WorkerProgress() override;

    // Worker side, any thread.
    void reportProgress(qint64 done, qint64 total);
    void reportMessage(const QString& text);
    void reportFinished(bool ok, const QString& text);
    bool isCancelRequested() const;

    // UI side.
    void requestCancel();

signals:
    void progressChanged(qint64 done, qint64 total);
    void messageReported(const QString& text);
    void finished(bool ok, const QString& text);

private:
    void deliverProgress();

    std::atomic<qint64> m_done {0};
    std::atomic<qint64> m_total {0};
    std::atomic<bool> m_progressPosted {false};
    std::atomic<bool> m_cancel {false};
};

} // namespace telvora
