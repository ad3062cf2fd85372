#pragma once

#include "shell/ShellOptions.h"

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>
#include <QTimer>
#include <deque>
#include <functional>

namespace telvora {

struct ShellServices;

// The main window's timer work: fetching replies, the heartbeat, the stock and the
// sub-accounts' stock warning. Service calls run one after another on a worker thread
// of their own, so the window never waits for the service; their results are applied
// here, in the UI thread, in the order the calls were made. The database is touched only
// here, never by the worker. Fetched replies are stored into the database of the account
// that fetched them, whatever happened to the session meanwhile: the service hands each
// reply out once.
class CFrameRuntime final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CFrameRuntime)

public:
    static constexpr const char* kNotConnected = "尚未连接到短信服务器";
    static constexpr const char* kChecking = "正在检测与服务器的连接......";

    CFrameRuntime(ShellServices& services, const RuntimeTimings& timings, QObject* parent = nullptr);
    // Drops the calls still waiting and waits for the one in progress.
    ~CFrameRuntime() override;

    // Starts timers 1 and 2 (those with a period).
    void start();
    // No service call waiting or running.
    bool isIdle() const { return m_pending == 0; }
    // At exit: the timers stop, the calls still waiting are dropped, and the one in
    // progress is waited for (its time-out bounds the wait); a fetch's replies are then
    // stored, without alerts. Nothing starts afterwards.
    void shutDown();

public slots:
    // Timer 1: fetch replies when the account may receive them, then the heartbeat.
    void onFetchTimer();
    // Timer 2.
    void onHeartbeatTimer();
    void refreshStock();
    // The stock warning of the sub-accounts, after the pause, when "IsRemainStock" is 1.
    void checkLowStockLater();

signals:
    void statusTextChanged(const QString& text);
    // CSessionKeeper::Heartbeat of the heartbeat just counted.
    void heartbeatCompleted(int result);
    // The second failed heartbeat in a row ended the session.
    void sessionEnded();
    void stockTextChanged(const QString& text);
    void replyArrived(const QString& caption, const QString& text);
    void incomingSound();
    // A FetchSMS round is over (whether or not anything came).
    void fetchCompleted();
    void lowStockWarning(const QString& lines);
    // Every queued call has been applied.
    void idle();

private:
    // What a call leaves to do in this thread once the worker is through with it.
    using Step = std::function<void()>;
    struct Call
    {
        std::function<Step()> work;
        bool neededAtExit = false;
    };

    void heartbeat();
    void applyFetch(const std::string& databasePath, const std::string& reply);
    void checkLowStock();
    // work runs on the worker; apply gets its result back in this thread. A call needed
    // at exit is applied even when the program is leaving.
    template <typename Result>
    void runOnWorker(std::function<Result()> work, std::function<void(Result)> apply, bool neededAtExit = false);
    void startNextCall();
    void onCallFinished();
    void deliver(Step step);
    // While a log-in runs on its worker the session and the database are not this
    // thread's: nothing new starts, and finished calls are applied once it is over.
    bool loginUnderWay() const;

    ShellServices& m_services;
    RuntimeTimings m_timings;
    QTimer m_fetchTimer;
    QTimer m_heartbeatTimer;
    QThreadPool m_worker;
    std::deque<Call> m_queue;
    QFutureWatcher<Step> m_running;
    bool m_busy = false;
    bool m_runningNeededAtExit = false;
    int m_pending = 0;
    bool m_shutDown = false;
};

} // namespace telvora
