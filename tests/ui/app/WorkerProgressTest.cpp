#include "app/WorkerProgress.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <limits>
#include <thread>

using namespace telvora;

namespace {

// A core-style job reporting through a WorkerProgress from its own thread: it writes
// numbers until done or asked to stop.
void runJob(WorkerProgress& progress, int total)
{
    for (int i = 1; i <= total; ++i) {
        if (progress.isCancelRequested()) {
            progress.reportFinished(false, "已取消");
            return;
        }
        progress.reportProgress(i, total);
    }
    progress.reportFinished(true, "短信发送完成");
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
    QVector<qint64> seen;
    bool offThread = false;
    qint64 lastBeforeFinish = -1;
    connect(&progress, &WorkerProgress::progressChanged, this, [&](qint64 done, qint64) {
        offThread |= QThread::currentThread() != thread();
        seen.append(done);
    });
    QSignalSpy finished(&progress, &WorkerProgress::finished);
    connect(&progress, &WorkerProgress::finished, this, [&] { lastBeforeFinish = seen.isEmpty() ? 0 : seen.last(); });

    std::jthread worker([&] { runJob(progress, kTotal); });
    QVERIFY(finished.wait());
    worker.join();

    QVERIFY(!offThread);
    // Coalesced, never reordered, and the last step is there before the end.
    QCOMPARE(lastBeforeFinish, qint64(kTotal));
    QVERIFY(std::is_sorted(seen.cbegin(), seen.cend()));
    QCOMPARE(finished.at(0), (QVariantList {true, QString("短信发送完成")}));
}

void WorkerProgressTest::cancelStopsTheWorker()
{
    WorkerProgress progress;
    QSignalSpy finished(&progress, &WorkerProgress::finished);
    connect(&progress, &WorkerProgress::progressChanged, this, [&] { progress.requestCancel(); });

    std::jthread worker([&] { runJob(progress, std::numeric_limits<int>::max()); });
    QTRY_COMPARE(finished.count(), 1);
    worker.join();
    QCOMPARE(finished.at(0).at(0).toBool(), false);
}

QTEST_GUILESS_MAIN(WorkerProgressTest)
#include "WorkerProgressTest.moc"
