#include "app/WorkerProgress.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <thread>

using namespace telvora;

namespace {

// The shape of a core worker's observer: plain virtual callbacks made on the worker's
// thread, no Qt.
class JobObserver
{
public:
    virtual ~JobObserver() = default;
    virtual void numberWritten(int done, int total) = 0;
    virtual void jobFinished(bool ok) = 0;
    virtual bool stopRequested() const = 0;
};

// The UI side implements the observer by forwarding to a WorkerProgress.
class JobObserverBridge final : public JobObserver
{
public:
    explicit JobObserverBridge(WorkerProgress& progress)
        : m_progress(progress)
    { }
    void numberWritten(int done, int total) override { m_progress.reportProgress(done, total); }
    void jobFinished(bool ok) override { m_progress.reportFinished(ok, ok ? "短信发送完成" : "已取消"); }
    bool stopRequested() const override { return m_progress.isCancelRequested(); }

private:
    WorkerProgress& m_progress;
};

// A core-style job: writes numbers until done or asked to stop.
void runJob(JobObserver& observer, int total)
{
    for (int i = 1; i <= total; ++i) {
        if (observer.stopRequested()) {
            observer.jobFinished(false);
            return;
        }
        observer.numberWritten(i, total);
    }
    observer.jobFinished(true);
}

} // namespace

class WorkerProgressTest : public QObject
{
    Q_OBJECT

private slots:
    void progressArrivesInOrderOnTheUiThread();
    void cancelStopsTheWorker();
};

void WorkerProgressTest::progressArrivesInOrderOnTheUiThread()
{
    constexpr int kTotal = 20000;
    WorkerProgress progress;
    JobObserverBridge bridge(progress);
    QVector<qint64> seen;
    bool offThread = false;
    bool finishedBeforeLast = false;
    connect(&progress, &WorkerProgress::progressChanged, this, [&](qint64 done, qint64 total) {
        offThread |= QThread::currentThread() != thread();
        QCOMPARE(total, qint64(kTotal));
        seen.append(done);
    });
    QSignalSpy finished(&progress, &WorkerProgress::finished);
    connect(&progress, &WorkerProgress::finished, this,
        [&] { finishedBeforeLast = seen.isEmpty() || seen.last() != kTotal; });

    std::jthread worker([&] { runJob(bridge, kTotal); });
    QVERIFY(finished.wait());
    worker.join();

    QVERIFY(!offThread);
    QVERIFY(!finishedBeforeLast);
    QCOMPARE(finished.at(0).at(0).toBool(), true);
    QCOMPARE(finished.at(0).at(1).toString(), QString("短信发送完成"));
    QVERIFY(std::is_sorted(seen.cbegin(), seen.cend()));
    QVERIFY(seen.size() <= kTotal);
}

void WorkerProgressTest::cancelStopsTheWorker()
{
    WorkerProgress progress;
    JobObserverBridge bridge(progress);
    QSignalSpy finished(&progress, &WorkerProgress::finished);
    connect(&progress, &WorkerProgress::progressChanged, this, [&] { progress.requestCancel(); });

    std::jthread worker([&] { runJob(bridge, std::numeric_limits<int>::max()); });
    QTRY_COMPARE(finished.count(), 1);
    worker.join();
    QCOMPARE(finished.at(0).at(0).toBool(), false);
}

QTEST_GUILESS_MAIN(WorkerProgressTest)
#include "WorkerProgressTest.moc"
