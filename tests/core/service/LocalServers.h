#pragma once

#include <arpa/inet.h>
#include <cstdlib>
#include <httplib.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace telvora::test {

// Loopback requests must not wander off to a proxy configured for the machine.
inline void bypassProxies()
{
    ::setenv("no_proxy", "127.0.0.1,localhost", 1);
    ::setenv("NO_PROXY", "127.0.0.1,localhost", 1);
}

// A listening loopback socket on an ephemeral port. The kernel completes connections into
// the backlog even when nobody accepts them, so on its own it is a server that never answers.
class ListeningSocket
{
public:
    ListeningSocket()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), length);
        ::listen(m_fd, 16);
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
    }
    ~ListeningSocket() { ::close(m_fd); }
    ListeningSocket(const ListeningSocket&) = delete;
    ListeningSocket& operator=(const ListeningSocket&) = delete;

    int port() const { return m_port; }
    std::string address() const { return "127.0.0.1:" + std::to_string(m_port); }

private:
    int m_fd = -1;
    int m_port = 0;
};

// A port that refuses connections: bound once to find a free number, then closed.
inline int refusingPort()
{
    ListeningSocket socket;
    return socket.port();
}

// cpp-httplib on an ephemeral loopback port, serving from a thread of its own.
class LocalHttpServer
{
public:
    LocalHttpServer()
    {
        bypassProxies();
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
    }
    ~LocalHttpServer()
    {
        // stop() is ignored until the accept loop runs; it starts at once.
        while (!m_server.is_running()) {
            std::this_thread::yield();
        }
        m_server.stop();
        m_thread.join();
    }

    httplib::Server& server() { return m_server; }
    int port() const { return m_port; }
    std::string address() const { return "127.0.0.1:" + std::to_string(m_port); }

private:
    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
};

} // namespace telvora::test
