#include "app/WorkerProgress.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <limits>
#include <thread>

using namespace telvora;

namespace {

// A core-style job reporting through a WorkerProgress from its own thread: it counts
// until done or asked to stop.
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
    WorkerProgress progress;
    QVector<qint64> seen;
    bool offThread = false;
    connect(&progress, &WorkerProgress::progressChanged, this, [&](qint64 done, qint64) {
        offThread |= QThread::currentThread() != thread();
        seen.append(done);
    });
    QSignalSpy finished(&progress, &WorkerProgress::finished);
    std::jthread worker([&] { runJob(progress, 20000); });
    QVERIFY(finished.wait());

    QVERIFY(!offThread && !seen.isEmpty());
    // Coalesced, never reordered, and the last step is there before the end.
    QCOMPARE(seen.constLast(), qint64(20000));
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
    QCOMPARE(finished.at(0).at(0).toBool(), false);
}

QTEST_GUILESS_MAIN(WorkerProgressTest)
#include "WorkerProgressTest.moc"
