#include "shell/FrameRuntime.h"

#include "app/AppContext.h"
#include "app/HintBroadcaster.h"
#include "app/LoginGate.h"
#include "records/ReceivedMessageStore.h"
#include "service/ServiceClient.h"
#include "session/Session.h"
#include "session/SessionKeeper.h"
#include "shell/ShellServices.h"

#include <QtConcurrent/QtConcurrentRun>
#include <optional>
#include <utility>
#include <vector>

namespace telvora {

namespace {

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

struct FetchResult
{
    bool ok = false;
    bool messagesWaiting = false;
    std::string reply;
};

} // namespace

CFrameRuntime::CFrameRuntime(ShellServices& services, const RuntimeTimings& timings, QObject* parent)
    : QObject(parent)
    , m_services(services)
    , m_timings(timings)
{
    // One worker: the calls reach the service, and come back, in the order they were made.
    m_worker.setMaxThreadCount(1);
    connect(&m_fetchTimer, &QTimer::timeout, this, &CFrameRuntime::onFetchTimer);
    connect(&m_heartbeatTimer, &QTimer::timeout, this, &CFrameRuntime::onHeartbeatTimer);
    connect(&m_running, &QFutureWatcher<Step>::finished, this, &CFrameRuntime::onCallFinished);
}

CFrameRuntime::~CFrameRuntime()
{
    m_fetchTimer.stop();
    m_heartbeatTimer.stop();
    m_queue.clear();
    m_worker.waitForDone();
}

void CFrameRuntime::start()
{
    if (m_timings.fetchMs > 0)
        m_fetchTimer.start(m_timings.fetchMs);
    if (m_timings.heartbeatMs > 0)
        m_heartbeatTimer.start(m_timings.heartbeatMs);
}

template <typename Result>
void CFrameRuntime::runOnWorker(std::function<Result()> work, std::function<void(Result)> apply, bool neededAtExit)
{
    if (m_shutDown)
        return;
    ++m_pending;
    m_queue.push_back(Call {[work = std::move(work), apply = std::move(apply)]() -> Step {
                                Result result = work();
                                return [apply, result = std::move(result)]() { apply(result); };
                            },
        neededAtExit});
    if (!m_busy)
        startNextCall();
}

void CFrameRuntime::startNextCall()
{
    if (m_queue.empty())
        return;
    Call call = std::move(m_queue.front());
    m_queue.pop_front();
    m_busy = true;
    m_runningNeededAtExit = call.neededAtExit;
    m_running.setFuture(QtConcurrent::run(&m_worker, std::move(call.work)));
}

void CFrameRuntime::onCallFinished()
{
    // shutDown has applied this call already.
    if (!m_busy)
        return;
    m_busy = false;
    Step step = m_running.result();
    deliver([this, step = std::move(step)]() {
        step();
        if (--m_pending == 0)
            emit idle();
    });
    startNextCall();
}

bool CFrameRuntime::loginUnderWay() const
{
    return !m_services.loginGate.isOpen();
}

void CFrameRuntime::shutDown()
{
    m_shutDown = true;
    m_fetchTimer.stop();
    m_heartbeatTimer.stop();
    m_pending -= static_cast<int>(m_queue.size());
    m_queue.clear();
    if (!m_busy)
        return;
    m_running.waitForFinished();
    m_busy = false;
    --m_pending;
    if (m_runningNeededAtExit)
        m_running.result()();
}

void CFrameRuntime::deliver(Step step)
{
    m_services.loginGate.whenOpen(this, std::move(step));
}

void CFrameRuntime::onFetchTimer()
{
    if (loginUnderWay())
        return;
    CSession& session = m_services.session;
    if (!session.loggedIn) {
        emit statusTextChanged(qs(kNotConnected));
        return;
    }
    if (session.mayFetchReplies()) {
        CServiceClient& service = m_services.service;
        const std::string token = session.token;
        // The replies belong to this account's database, wherever the connection points
        // by the time they arrive.
        const std::string databasePath = m_services.app.GetDatabase().GetDatabasePath();
        runOnWorker<FetchResult>(
            [&service, token]() {
                FetchResult result;
                std::string message;
                result.ok
                    = CReceivedMessageStore::FetchReply(service, token, result.reply, result.messagesWaiting, message);
                return result;
            },
            [this, databasePath](FetchResult result) {
                if (result.ok && result.messagesWaiting)
                    applyFetch(databasePath, result.reply);
                if (!m_shutDown)
                    emit fetchCompleted();
            },
            true);
    }
    heartbeat();
}

void CFrameRuntime::onHeartbeatTimer()
{
    heartbeat();
}

void CFrameRuntime::heartbeat()
{
    if (loginUnderWay())
        return;
    CSession& session = m_services.session;
    if (!session.loggedIn) {
        emit statusTextChanged(qs(kNotConnected));
        emit heartbeatCompleted(static_cast<int>(CSessionKeeper::Heartbeat::NotLoggedIn));
        return;
    }
    emit statusTextChanged(qs(kChecking));
    CServiceClient& service = m_services.service;
    const std::string token = session.token;
    runOnWorker<bool>([&service, token]() { return CSessionKeeper::Ping(service, token); },
        [this, token](bool alive) {
            // The answer about an older session says nothing about this one.
            const auto result = m_services.session.token == token ? m_services.keeper.RecordHeartbeat(alive)
                                                                  : CSessionKeeper::Heartbeat::NotLoggedIn;
            switch (result) {
            case CSessionKeeper::Heartbeat::Alive:
                emit statusTextChanged(qs(CSessionKeeper::ConnectedStatusText()));
                break;
            case CSessionKeeper::Heartbeat::SessionEnded:
                emit statusTextChanged(qs(kNotConnected));
                emit sessionEnded();
                break;
            case CSessionKeeper::Heartbeat::Failed:
            case CSessionKeeper::Heartbeat::NotLoggedIn:
                break;
            }
            emit heartbeatCompleted(static_cast<int>(result));
        });
}

void CFrameRuntime::applyFetch(const std::string& databasePath, const std::string& reply)
{
    CAppContext& app = m_services.app;
    if (!app.GetDatabase().IsOpen() || app.GetDatabase().GetDatabasePath() != databasePath) {
        // Another account's database is open now: nothing here is about its replies.
        ReceivedMessagesStored stored;
        CReceivedMessageStore::StoreInFile(databasePath, reply, app.GetSetupFile(), stored);
        return;
    }
    CReceivedMessageStore store(app.GetDatabase(), app.GetNextCardId());
    const ReceivedMessagesStored stored = store.Store(reply, app.GetParameters());
    // Leaving: stored, but nobody is there to be told.
    if (m_shutDown)
        return;
    if (stored.strangerFolderCreated || stored.unsubscribed > 0)
        m_services.hints.broadcast(HintBroadcaster::AddressBookChanged);
    for (const ReceivedMessage& message : stored.added) {
        emit replyArrived(QStringLiteral("回复提醒：收到[%1]回复短信").arg(qs(message.phone)),
            QStringLiteral("短信内容：%1!").arg(qs(message.content)));
    }
    if (stored.playSound)
        emit incomingSound();
    if (stored.handled)
        m_services.hints.broadcast(HintBroadcaster::ReceivedMessagesChanged);
}

void CFrameRuntime::refreshStock()
{
    if (loginUnderWay())
        return;
    if (!m_services.session.loggedIn) {
        emit stockTextChanged(QString());
        return;
    }
    CServiceClient& service = m_services.service;
    // The worker works on a copy: the session itself belongs to this thread.
    CSession copy = m_services.session;
    runOnWorker<std::optional<int>>(
        [&service, copy]() mutable -> std::optional<int> {
            CSessionKeeper keeper(service, copy);
            if (!keeper.RefreshStock())
                return std::nullopt;
            return copy.stock;
        },
        [this, token = copy.token](std::optional<int> stock) {
            if (stock && m_services.session.loggedIn && m_services.session.token == token)
                m_services.session.stock = *stock;
            emit stockTextChanged(qs(m_services.keeper.StockText()));
        });
}

void CFrameRuntime::checkLowStockLater()
{
    if (m_services.app.GetParameters().Get("IsRemainStock") != "1")
        return;
    QTimer::singleShot(m_timings.lowStockDelayMs, this, &CFrameRuntime::checkLowStock);
}

void CFrameRuntime::checkLowStock()
{
    if (loginUnderWay())
        return;
    CServiceClient& service = m_services.service;
    CSession copy = m_services.session;
    const CParameterStore parameters = m_services.app.GetParameters();
    runOnWorker<std::vector<std::string>>(
        [&service, copy, parameters]() mutable {
            CSessionKeeper keeper(service, copy);
            return keeper.LowStockWarnings(parameters);
        },
        [this](std::vector<std::string> lines) {
            QString text;
            for (const std::string& line : lines)
                text += qs(line) + QLatin1Char('\n');
            if (!text.isEmpty())
                emit lowStockWarning(text);
        });
}

} // namespace telvora
