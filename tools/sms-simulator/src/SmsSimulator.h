#pragma once

#include "SimService.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace telvora {

/// The substitute SMS service on HTTP: the catalogue under "/Services.asmx/<Method>", the SOAP
/// backup upload, the backup download "/<Account>_<User>.dat", the update list, the notice page,
/// and a control interface under "/control/..." (see tools/sms-simulator/README.md). The state and
/// the control functions are those of SimService; faults injected there are applied here.
class SmsSimulator final : public SimService
{
public:
    explicit SmsSimulator(SimConfig config = {});
    ~SmsSimulator();

    /// Binds host:port (port 0: an ephemeral one) and serves on a thread of its own.
    bool start(const std::string& host = "127.0.0.1", int port = 0);
    /// Ends delayed calls early, stops serving and joins the thread. Safe to call twice.
    void stop();
    bool isRunning() const;
    int port() const;
    /// host:port as a client on this machine reaches it.
    std::string address() const;
    /// Stops taking connections for `time` (clients see them refused), then listens on the same
    /// port again; calls under way are answered. Ignored while already offline. Safe from a handler.
    void goOffline(std::chrono::milliseconds time);
    /// Blocks while an offline spell lasts.
    void waitUntilOnline();

private:
    void installRoutes(httplib::Server& server);
    // A server with the routes, bound to host:port and accepting on m_thread; false when the bind fails.
    bool listen(const std::string& host, int port);

    mutable std::mutex m_lifecycle;
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    std::atomic<bool> m_listenEnded {false};
    std::string m_host;
    int m_port = 0;

    // The offline spell: the thread that brings the listener back, woken early by stop().
    mutable std::mutex m_offlineMutex;
    std::condition_variable m_offlineWake;
    std::thread m_offline;
    bool m_offlineBusy = false;
    bool m_stopping = false;
};

} // namespace telvora
