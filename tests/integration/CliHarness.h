#pragma once

#include "SmsSimulator.h"
#include "core/app/AppTestSupport.h"
#include "db/ADODataBase.h"
#include "db/PreparedStatement.h"
#include "support/TempDir.h"

#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace telvora::test {

struct CliResult
{
    int exitCode = -1;
    std::string out;
    std::string err;

    // The value of a "key=value" line of the output, or "<missing>".
    std::string value(const std::string& key) const
    {
        const std::size_t at = ("\n" + out).find("\n" + key + "=");
        const std::size_t start = at + key.size() + 1;
        return at == std::string::npos ? "<missing>" : out.substr(start, out.find('\n', start) - start);
    }
};

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Distinct mobile numbers spread over blocks of 40, below the block limit of 50.
inline std::vector<std::string> spreadNumbers(std::size_t count)
{
    std::vector<std::string> numbers;
    for (std::size_t i = 0; i < count; ++i) {
        numbers.push_back("139" + std::to_string(10000000 + i / 40 * 10000 + i % 40));
    }
    return numbers;
}

inline SimAccount simAccount(const std::string& name, const std::string& password, std::int64_t stock, int right = 2)
{
    SimAccount account;
    account.account = name;
    account.adminPassword = password;
    account.stock = stock;
    account.userRight = right;
    return account;
}

inline SimFault simFault(SimFault::Kind kind, const std::string& message = {},
    std::chrono::milliseconds delay = std::chrono::milliseconds(0))
{
    SimFault fault;
    fault.kind = kind;
    fault.message = message;
    fault.delay = delay;
    return fault;
}

// What the records of a send say against the service's delivery record; empty when they
// agree: one row per number, 1 delivered once, -1 never, 2 at most once (0 only when
// allowed), no number delivered twice, counters equal to the rows (one segment a number).
inline std::string disagreements(const std::string& databasePath, const std::vector<std::string>& numbers,
    const std::map<std::string, int>& delivered, bool notPostedAllowed = false)
{
    CADODataBase database;
    if (!database.Open(databasePath)) {
        return "no database";
    }
    std::map<std::string, std::vector<int>> rows;
    CPreparedStatement read(&database);
    if (!read.Prepare("SELECT phones, status FROM tbl_sendsms_detail")) {
        return read.GetLastError();
    }
    while (read.Step()) {
        rows[read.GetText(0)].push_back(static_cast<int>(read.GetInt(1)));
    }
    std::string found;
    const auto note = [&found](const std::string& what) {
        if (found.size() < 2000) {
            found += what + "\n";
        }
    };
    long accepted = 0;
    long failed = 0;
    for (const auto& number : numbers) {
        const auto row = rows.find(number);
        if (row == rows.end() || row->second.size() != 1) {
            note(number + ": " + std::to_string(row == rows.end() ? 0 : row->second.size()) + " rows");
            continue;
        }
        const int status = row->second.front();
        const auto sent = delivered.find(number);
        const int times = sent == delivered.end() ? 0 : sent->second;
        const bool agrees = (status == 1 && times == 1) || (status == -1 && times == 0) || (status == 2 && times <= 1)
            || (status == 0 && notPostedAllowed && times == 0);
        if (!agrees) {
            note(number + ": status " + std::to_string(status) + ", delivered " + std::to_string(times));
        }
        accepted += status == 1 ? 1 : 0;
        failed += status == -1 || status == 2 ? 1 : 0;
    }
    if (rows.size() != numbers.size()) {
        note(std::to_string(rows.size()) + " numbers have rows, " + std::to_string(numbers.size()) + " were sent");
    }
    for (const auto& [number, times] : delivered) {
        if (times > 1) {
            note(number + " delivered " + std::to_string(times) + " times");
        }
    }
    const std::string counters
        = scalar(database, "SELECT SUM(success_count) || '/' || SUM(fail_count) FROM tbl_sendsms");
    if (counters != std::to_string(accepted) + "/" + std::to_string(failed)) {
        note("counters " + counters + ", rows " + std::to_string(accepted) + "/" + std::to_string(failed));
    }
    return found;
}

// A simulator on an ephemeral port with one account, a fresh data directory, and the built
// telvora-cli run as a child process.
class CliHarness : public testing::Test
{
protected:
    static constexpr const char* kAccount = "8001";
    static constexpr const char* kPassword = "pw1234";

    void SetUp() override
    {
        sim.addAccount(simAccount(kAccount, kPassword, 10'000'000));
        ASSERT_TRUE(sim.start());
    }

    // Runs telvora-cli with --home and --server in front of the arguments.
    CliResult run(const std::vector<std::string>& arguments) { return finish(start(arguments)); }

    // A command that logs in as the account's main user, followed by the rest of its arguments.
    static std::vector<std::string> loggedIn(const std::string& command, const std::vector<std::string>& rest = {})
    {
        std::vector<std::string> all = {command, "--account", kAccount, "--user", "admin", "--password", kPassword};
        all.insert(all.end(), rest.begin(), rest.end());
        return all;
    }

    CliResult send(const std::vector<std::string>& arguments) { return run(loggedIn("send", arguments)); }

    std::string numbersFile(const std::vector<std::string>& numbers, const std::string& name = "numbers.txt")
    {
        const std::string path = work.file(name);
        std::ofstream out(path, std::ios::binary);
        for (const auto& number : numbers) {
            out << number << "\n";
        }
        return path;
    }

    // The account database the CLI wrote, opened afresh.
    std::string query(const std::string& sql)
    {
        CADODataBase database;
        if (!database.Open(home.file("admin.db"))) {
            return "<no database>";
        }
        return scalar(database, sql);
    }

    // Runs a statement on that database; its error, or "" when it ran.
    std::string execute(const std::string& sql)
    {
        CADODataBase database;
        if (!database.Open(home.file("admin.db")) || !database.Execute(sql)) {
            return database.GetLastError() + " ";
        }
        return {};
    }

    SmsSimulator sim;
    TempDir home;
    TempDir work;

    // Starts telvora-cli (with --home and --server) as a child and returns at once; 0 when it
    // could not start.
    pid_t start(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> all = {TELVORA_CLI_PATH, "--home", home.path().string(), "--server", sim.address()};
        all.insert(all.end(), arguments.begin(), arguments.end());
        return startChild(all);
    }

    // Waits for a child started by start().
    CliResult finish(pid_t child)
    {
        CliResult result;
        int status = 0;
        if (child <= 0 || waitpid(child, &status, 0) != child) {
            result.err = "no child to wait for";
            return result;
        }
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        result.out = readFile(work.file("cli.out"));
        result.err = readFile(work.file("cli.err"));
        return result;
    }

private:
    pid_t startChild(const std::vector<std::string>& arguments)
    {
        const std::string outPath = work.file("cli.out");
        const std::string errPath = work.file("cli.err");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

        std::vector<char*> argv;
        for (const auto& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        // The child keeps its hands off the user's autostart directory.
        const std::string configHome = "XDG_CONFIG_HOME=" + work.file("config");
        std::vector<char*> envp;
        for (char** variable = environ; *variable != nullptr; ++variable) {
            if (!std::string_view(*variable).starts_with("XDG_CONFIG_HOME=")
                && !std::string_view(*variable).starts_with("TELVORA_HOME=")) {
                envp.push_back(*variable);
            }
        }
        envp.push_back(const_cast<char*>(configHome.c_str()));
        envp.push_back(nullptr);

        pid_t child = 0;
        const int spawned = posix_spawn(&child, argv.front(), &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        return spawned == 0 ? child : 0;
    }
};

} // namespace telvora::test
