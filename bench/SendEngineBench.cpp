// The send engine's own cost on a large plain send, against the yardstick of writing the same
// detail rows with one prepared statement in one transaction.
//
//   cmake -S . -B build-bench -G Ninja -DBUILD_BENCH=ON -DBUILD_UI=OFF -DCMAKE_BUILD_TYPE=Release
//   ninja -C build-bench send_engine_bench && build-bench/bin/send_engine_bench
//
// "SendEngine" times the engine from PrepareSend to the worker's end (the record and a row
// per number written first, each batch's rows moved to "posted" and then to their outcome)
// minus the time spent inside the service calls (the simulator runs in-process on loopback); its counters carry
// the HTTP time, the plain insert of the same run, their ratio and the process's peak
// resident size (simulator included).
#include "BenchSupport.h"
#include "SmsSimulator.h"
#include "app/AppConstants.h"
#include "app/AppContext.h"
#include "db/ADODataBase.h"
#include "db/DateTime.h"
#include "db/PreparedStatement.h"
#include "send/SendEngine.h"
#include "service/ServiceClient.h"
#include "service/WebClient.h"
#include "session/Session.h"
#include "support/TempDir.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace telvora {
namespace {

using bench::Clock;
using bench::dataDirectory;
using bench::peakResidentMegabytes;
using bench::seconds;

// Distinct numbers spread over blocks of 40, below the service's block limit of 50.
std::vector<std::string> spreadNumbers(std::size_t count)
{
    std::vector<std::string> numbers;
    numbers.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        char number[32];
        std::snprintf(
            number, sizeof number, "139%04u%04u", static_cast<unsigned>(i / 40 % 10000), static_cast<unsigned>(i % 40));
        numbers.emplace_back(number);
    }
    return numbers;
}

// The yardstick: the same rows, one prepared INSERT, one transaction, a fresh template copy.
Clock::duration plainInsert(CDataDirectory& directory, const std::vector<std::string>& numbers)
{
    const std::string path = directory.FilePath("plain.db");
    directory.EnsureShippedCopy(kTemplateDatabase);
    CopyDatabase(directory.FilePath(kTemplateDatabase), path);
    CADODataBase database;
    database.Open(path);
    CPreparedStatement insert(&database);
    const std::string now = DateTime::now().toString();

    const auto start = Clock::now();
    insert.Prepare("INSERT INTO tbl_sendsms_detail (id, jobid, phones, send_time, status, group_id, split_count, "
                   "content) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    database.BeginTransaction();
    long long id = 1;
    for (const auto& number : numbers) {
        insert.BindInt(1, id++);
        insert.BindText(2, "100001");
        insert.BindText(3, number);
        insert.BindText(4, now);
        insert.BindInt(5, 1);
        insert.BindInt(6, 1);
        insert.BindInt(7, 1);
        insert.BindText(8, "");
        insert.Execute();
    }
    database.CommitTransaction();
    return Clock::now() - start;
}

void SendEngine(benchmark::State& state)
{
    const auto count = static_cast<std::size_t>(state.range(0));
    const std::vector<std::string> numbers = spreadNumbers(count);
    SmsSimulator sim;
    SimAccount account;
    account.account = "8001";
    account.adminPassword = "pw1234";
    account.stock = 1'000'000'000;
    sim.addAccount(account);
    if (!sim.start()) {
        state.SkipWithError("the simulator did not start");
        return;
    }
    CWebClient web;
    CServiceClient service(web, sim.address());

    double overhead = 0;
    double http = 0;
    double insert = 0;
    for (auto _ : state) {
        test::TempDir temp;
        CAppContext app(dataDirectory(temp));
        CSession session;
        std::string reply;
        if (!app.OpenWorkDatabase("admin.db")
            || !service.CallService("UserLogin", "UserID=8001&Account=admin&Password=pw1234", reply, false)) {
            state.SkipWithError("no database or no login");
            return;
        }
        ParseLoginReply(reply, session);
        app.GetParameters().Load(app.GetDatabase(), app.GetSetupFile());

        std::atomic<Clock::rep> inCalls {0};
        const ServiceCall timed = [&](const std::string& method, const std::string& body, std::string& answer) {
            const auto start = Clock::now();
            const CallResult result = service.Call(method, body, answer, true);
            inCalls += (Clock::now() - start).count();
            return result;
        };
        CSendEngine engine(app, session, timed, nullptr);
        const auto start = Clock::now();
        if (!engine.PrepareSend(numbers, "benchmark message", CSendEngine::SendViewMode, CSendEngine::PlainSend)
            || !engine.StartSend()) {
            state.SkipWithError("the send did not start");
            return;
        }
        engine.Wait();
        const auto wall = Clock::now() - start;
        const Clock::duration calls(inCalls.load());

        const double engineOnly = seconds(wall - calls);
        overhead += engineOnly;
        http += seconds(calls);
        insert += seconds(plainInsert(app.GetDataDirectory(), numbers));
        state.SetIterationTime(engineOnly);
    }
    // Means over the iterations.
    const auto runs = static_cast<double>(state.iterations());
    state.counters["http_s"] = http / runs;
    state.counters["plain_insert_s"] = insert / runs;
    state.counters["overhead_vs_insert"] = insert > 0 ? overhead / insert : 0;
    state.counters["peak_rss_MB"] = peakResidentMegabytes();
    state.counters["batches"] = sim.callCount("MessSendSMS") / runs;
}

BENCHMARK(SendEngine)->Arg(100'000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace telvora

BENCHMARK_MAIN();
