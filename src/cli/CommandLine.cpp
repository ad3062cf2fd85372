#include "CommandLine.h"

#include <map>

namespace telvora::cli {

namespace {

const std::map<std::string, Command> kCommands = {
    {"login", Command::Login},
    {"send", Command::Send},
    {"resume", Command::Resume},
    {"replies", Command::Replies},
    {"records", Command::Records},
};

// Options each command accepts besides --home and --server.
bool accepts(Command command, const std::string& option)
{
    static const std::map<Command, std::vector<std::string>> options = {
        {Command::Login, {"--account", "--user", "--password", "--remember"}},
        {Command::Send,
            {"--account", "--user", "--password", "--text", "--numbers", "--at", "--insert", "--yes", "--remember"}},
        {Command::Resume,
            {"--account", "--user", "--password", "--record", "--include-unknown", "--now", "--yes", "--remember"}},
        {Command::Replies, {"--account", "--user", "--password", "--remember"}},
        {Command::Records, {"--user", "--scheduled"}},
    };
    const auto found = options.find(command);
    if (found == options.end()) {
        return false;
    }
    for (const auto& known : found->second) {
        if (known == option) {
            return true;
        }
    }
    return false;
}

bool takesValue(const std::string& option)
{
    return option == "--home" || option == "--server" || option == "--account" || option == "--user"
        || option == "--password" || option == "--text" || option == "--numbers" || option == "--at"
        || option == "--insert" || option == "--record";
}

} // namespace

bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& line, std::string& error)
{
    line = {};
    for (const auto& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            line.command = Command::Help;
            return true;
        }
    }
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string option = arguments[i];
        std::string value;
        bool hasValue = false;
        if (option.starts_with("--")) {
            if (const auto equals = option.find('='); equals != std::string::npos) {
                value = option.substr(equals + 1);
                option.erase(equals);
                hasValue = true;
            }
        } else {
            if (line.command == Command::None && kCommands.contains(option)) {
                line.command = kCommands.at(option);
            } else if (line.command == Command::None) {
                error = "unknown command: " + option;
                return false;
            } else {
                positional.push_back(option);
            }
            continue;
        }
        if (option == "--") {
            positional.insert(
                positional.end(), arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1, arguments.end());
            break;
        }
        const bool global = option == "--home" || option == "--server";
        if (!global && (line.command == Command::None || !accepts(line.command, option))) {
            error = line.command == Command::None ? "option " + option + " needs a command before it"
                                                  : "option not accepted here: " + option;
            return false;
        }
        if (takesValue(option) && !hasValue) {
            if (i + 1 >= arguments.size()) {
                error = "option " + option + " needs a value";
                return false;
            }
            value = arguments[++i];
        } else if (!takesValue(option) && hasValue) {
            error = "option " + option + " takes no value";
            return false;
        }

        if (option == "--home") {
            line.home = value;
        } else if (option == "--server") {
            line.server = value;
        } else if (option == "--account") {
            line.account = value;
        } else if (option == "--user") {
            line.user = value;
            line.userGiven = true;
        } else if (option == "--password") {
            line.password = value;
        } else if (option == "--remember") {
            line.remember = true;
        } else if (option == "--text") {
            line.text = value;
            line.textGiven = true;
        } else if (option == "--numbers") {
            line.numberFiles.push_back(value);
        } else if (option == "--at") {
            line.at = value;
        } else if (option == "--insert") {
            if (value != "name" && value != "title") {
                error = "--insert takes name or title";
                return false;
            }
            line.insert = value;
        } else if (option == "--record") {
            const std::string_view digits = value;
            if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string_view::npos
                || std::stoi(value) == 0) {
                error = "--record takes a record id";
                return false;
            }
            line.record = std::stoi(value);
        } else if (option == "--include-unknown") {
            line.includeUnknown = true;
        } else if (option == "--now") {
            line.now = true;
        } else if (option == "--yes") {
            line.yes = true;
        } else if (option == "--scheduled") {
            line.scheduledOnly = true;
        }
    }

    switch (line.command) {
    case Command::None:
        error = "no command given";
        return false;
    case Command::Send:
        if (!line.textGiven) {
            error = "send needs --text";
            return false;
        }
        line.numbers = std::move(positional);
        break;
    default:
        if (!positional.empty()) {
            error = "unexpected argument: " + positional.front();
            return false;
        }
        break;
    }
    if (line.command == Command::Login || line.command == Command::Send || line.command == Command::Resume
        || line.command == Command::Replies) {
        if (line.account.empty() || line.password.empty()) {
            error = "--account and --password are required";
            return false;
        }
    }
    return true;
}

std::string HelpText()
{
    return R"(telvora-cli: the headless front end of Telvora.

Usage:
  telvora-cli [--home DIR] [--server HOST[:PORT]] login --account A [--user U] --password P [--remember]
  telvora-cli [--home DIR] [--server HOST[:PORT]] send --account A [--user U] --password P --text TEXT
              [--numbers FILE]... [NUMBER]... [--at "YYYY-MM-DD HH:MM[:SS]"] [--insert name|title] [--yes]
  telvora-cli [--home DIR] [--server HOST[:PORT]] resume --account A [--user U] --password P
              [--record ID] [--include-unknown] [--now] [--yes]
  telvora-cli [--home DIR] [--server HOST[:PORT]] replies --account A [--user U] --password P
  telvora-cli [--home DIR] records [--user U] [--scheduled]
  telvora-cli --help

Global options:
  --home DIR        data directory (setup file, databases, log). Without it: $TELVORA_HOME,
                    else the program's directory when a ClientSetup.ini stands there,
                    else $XDG_DATA_HOME/telvora (~/.local/share/telvora).
  --server ADDR     service address host[:port] or https://host[:port]. Without it: the
                    setup key LoginIP, else the built-in default. A successful login stores
                    the address used in LoginIP, as the desktop program does.

Commands:
  login     Logs in and records the login (account database, histories, LoginIP).
            --account A   company account; --user U  sub-account (names the database U.db);
            --password P  at least 6 characters; --remember  keep the password.
  send      Logs in and sends TEXT to the numbers given on the command line and loaded
            from text files (--numbers, repeatable; every 11-digit mobile number found in
            a line counts, UTF-8 or GBK). Invalid numbers typed on the command line are
            ignored with a warning. The checks of the send view apply: signature, at most
            5 segments, stock. A text of more than one segment needs --yes; without it the
            question is printed and nothing is sent.
            --at "YYYY-MM-DD HH:MM[:SS]"  schedule the send at the service (must lie ahead).
            --insert name|title       put each recipient's card name or title in front
                                      (not for 会员用户 accounts).
            Prints the record id and its counters when the send has ended.
  resume    Logs in and sends the numbers of an interrupted send (killed, stopped, or the
            service unreachable) that were never posted, under a new job of the record's
            text. Numbers posted without an answer ("结果未知") may have been delivered:
            they are sent again only with --include-unknown.
            --record ID   the record (default: the most recent interrupted one).
            --now         a scheduled send whose time has passed goes out at once (without
                          it such a record is refused).
            --yes         confirms a text of more than one segment, as for send.
  replies   Logs in, fetches the waiting replies once, stores the new ones and prints
            them (phone, time, text). Needs an account whose user right allows replies.
  records   Lists the send records of the account database U.db (default: the user of
            the last login): id, time, mode, status, success and failure counts (in
            segments), the numbers accepted, refused, of unknown outcome and not posted,
            "中断" for an interrupted send, content. --scheduled lists only scheduled sends.

Exit codes:
  0  done (for send and resume: the send went through every batch; some may have been
     refused or have no known outcome, see the counts and stderr)
  1  the send could not go out: no job could be created at the service (its message on
     stderr), the send record could not be written (nothing was sent), the send was
     interrupted (the service could not be reached; what went out and what is left on
     stderr, finish it with resume), or a reply fetch failed
  2  refused: bad arguments, login failure (the login's message on stderr), a check of
     the send refused it (its text on stderr), an unconfirmed multi-segment text, no
     interrupted record to resume
  3  local failure: the data directory or a database could not be opened
)";
}

} // namespace telvora::cli
