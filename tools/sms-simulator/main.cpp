// telvora-simulator: the substitute SMS service as a standalone program.
#include "SmsSimulator.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <pthread.h>
#include <string>
#include <string_view>

namespace {

void usage()
{
    std::fprintf(stderr,
        "usage: telvora-simulator [--port N] [--host ADDR] [--token-idle SECONDS]\n"
        "                         [--update-version TEXT] [--server-ip HOST:PORT]\n");
}

bool parsePort(const char* text, int& port)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 0 || value > 65535)
        return false;
    port = static_cast<int>(value);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    int port = 8080;
    std::string host = "127.0.0.1";
    telvora::SimConfig config;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--port" && hasValue) {
            if (!parsePort(argv[++i], port)) {
                usage();
                return 2;
            }
        } else if (arg == "--host" && hasValue) {
            host = argv[++i];
        } else if (arg == "--token-idle" && hasValue) {
            config.tokenIdleTimeout = std::chrono::seconds(std::strtol(argv[++i], nullptr, 10));
        } else if (arg == "--update-version" && hasValue) {
            config.updateVersion = argv[++i];
        } else if (arg == "--server-ip" && hasValue) {
            config.updateServerIp = argv[++i];
        } else {
            usage();
            return arg == "--help" || arg == "-h" ? 0 : 2;
        }
    }

    // Block the stop signals before any thread starts, so that only sigwait below receives them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    telvora::SmsSimulator simulator(config);
    telvora::SimAccount demo;
    demo.account = "100001";
    demo.adminPassword = "123456";
    demo.stock = 100000;
    demo.companyName = "演示科技有限公司";
    demo.address = "北京市海淀区演示路1号";
    demo.contact = "张三";
    demo.phone = "010-12345678";
    simulator.addAccount(demo);
    simulator.addUser("100001", "sales01", "123456", 1000, "销售部");
    simulator.queueReply("100001", "admin", {"13800138000", "收到，谢谢！", {}, {}});

    if (!simulator.start(host, port)) {
        std::fprintf(stderr,
            "telvora-simulator: cannot listen on %s:%d (the port is in use or the address is not ours)\n", host.c_str(),
            port);
        return 1;
    }
    std::printf("telvora-simulator listening on http://%s\n", simulator.address().c_str());
    std::printf("demo account: account \"100001\", user \"admin\", password \"123456\", stock 100000\n");
    std::printf("sub-account:  account \"100001\", user \"sales01\", password \"123456\", stock 1000\n");
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    std::printf("telvora-simulator: stopping\n");
    simulator.stop();
    return 0;
}
