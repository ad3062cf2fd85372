#include "CommandLine.h"

#include <map>

namespace telvora::cli {

namespace {

const std::map<std::string, Command> kCommands = {
    {"login", Command::Login},
    {"send", Command::Send},
    {"custom-send", Command::CustomSend},
    {"resume", Command::Resume},
    {"replies", Command::Replies},
    {"records", Command::Records},
    {"stats", Command::Stats},
    {"cancel", Command::Cancel},
    {"cards", Command::Cards},
    {"divide", Command::Divide},
    {"unsent", Command::Unsent},
    {"region", Command::Region},
    {"phrases", Command::Phrases},
    {"lunar", Command::Lunar},
    {"backup", Command::Backup},
    {"restore", Command::Restore},
    {"compact", Command::Compact},
};

// Options each command accepts besides --home and --server.
bool accepts(Command command, const std::string& option)
{
    static const std::map<Command, std::vector<std::string>> options = {
        {Command::Login, {"--account", "--user", "--password", "--remember"}},
        {Command::Send,
            {"--account", "--user", "--password", "--text", "--numbers", "--at", "--insert", "--yes", "--remember"}},
        {Command::CustomSend,
            {"--account", "--user", "--password", "--file", "--template", "--phone-column", "--at", "--yes",
                "--remember"}},
        {Command::Resume,
            {"--account", "--user", "--password", "--record", "--include-unknown", "--now", "--yes", "--remember"}},
        {Command::Replies, {"--account", "--user", "--password", "--remember"}},
        {Command::Records, {"--user", "--scheduled", "--detail", "--from", "--to", "--phone", "--text"}},
        {Command::Stats, {"--user", "--month", "--year"}},
        {Command::Cancel, {"--account", "--user", "--password", "--remember"}},
        {Command::Cards, {"--user", "--folder", "--duplicates", "--where"}},
        {Command::Divide, {"--by", "--extract", "--remove"}},
        {Command::Phrases, {"--group", "--text", "--title"}},
        {Command::Lunar, {"--from", "--to"}},
        {Command::Backup, {"--user"}},
        {Command::Restore, {"--user", "--groups"}},
        {Command::Compact, {"--user"}},
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
        || option == "--insert" || option == "--record" || option == "--from" || option == "--to" || option == "--by"
        || option == "--extract" || option == "--remove" || option == "--group" || option == "--title"
        || option == "--groups" || option == "--month" || option == "--year" || option == "--detail"
        || option == "--phone" || option == "--folder" || option == "--duplicates" || option == "--where"
        || option == "--file" || option == "--template" || option == "--phone-column";
}

bool checkToolArguments(CommandLine& line, std::string& error)
{
    const std::size_t count = line.arguments.size();
    switch (line.command) {
    case Command::Divide:
        if (line.divideMode == 0) {
            error = "divide needs --by, --extract or --remove";
            return false;
        }
        if (count != 2) {
            error = "divide takes FILE OUTBASE";
            return false;
        }
        return true;
    case Command::Unsent:
        if (count != 3) {
            error = "unsent takes ALL SENT OUT";
            return false;
        }
        return true;
    case Command::Region:
        if (count == 0) {
            error = "region needs at least one number";
            return false;
        }
        return true;
    default:
        break;
    }
    if (count == 0 || (line.arguments[0] != "list" && line.arguments[0] != "add" && line.arguments[0] != "import")) {
        error = "phrases takes list, add or import";
        return false;
    }
    line.phraseAction = line.arguments[0];
    line.arguments.erase(line.arguments.begin());
    const bool isImport = line.phraseAction == "import";
    if (line.arguments.size() != (isImport ? 1U : 0U)) {
        error = isImport ? "phrases import takes FILE" : "unexpected argument: " + line.arguments.front();
        return false;
    }
    if (line.phraseAction == "add" && (!line.groupGiven || !line.textGiven)) {
        error = "phrases add needs --group and --text";
        return false;
    }
    if ((line.phraseAction != "add" && (line.textGiven || !line.title.empty())) || (isImport && line.groupGiven)) {
        error = "option not accepted by phrases " + line.phraseAction;
        return false;
    }
    return true;
}

// A calendar day without a time of day.
bool parseDay(const std::string& text, DateTime& day, std::string& error)
{
    day = DateTime::parse(text);
    if (!day.valid || text.find_first_of(" T:") != std::string::npos) {
        error = "not a date (YYYY-MM-DD): " + text;
        return false;
    }
    return true;
}

// --from and --to, the first not after the second.
bool parseRange(const std::string& from, const std::string& to, CommandLine& line, std::string& error)
{
    if (!parseDay(from, line.from, error) || !parseDay(to, line.to, error)) {
        return false;
    }
    if (line.to < line.from) {
        error = "--to lies before --from";
        return false;
    }
    return true;
}

// stats: one of --month YYYY-MM and --year YYYY.
bool parsePeriod(const std::string& month, const std::string& year, CommandLine& line, std::string& error)
{
    if (month.empty() == year.empty()) {
        error = "stats needs one of --month YYYY-MM and --year YYYY";
        return false;
    }
    const std::string& text = month.empty() ? year : month;
    const DateTime first = DateTime::parse(month.empty() ? year + "-01-01" : month + "-01");
    const bool shaped = month.empty() ? text.size() == 4 : text.size() == 7 && text[4] == '-';
    if (!shaped || !first.valid || text.find_first_not_of("0123456789-") != std::string::npos) {
        error = month.empty() ? "--year takes YYYY: " + text : "--month takes YYYY-MM: " + text;
        return false;
    }
    line.statsYear = first.year;
    line.statsMonth = month.empty() ? 0 : first.month;
    return true;
}

bool parseRecordIds(const std::vector<std::string>& texts, CommandLine& line, std::string& error)
{
    if (texts.empty()) {
        error = "cancel needs at least one record id";
        return false;
    }
    for (const std::string& text : texts) {
        if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) {
            error = "not a record id: " + text;
            return false;
        }
        line.recordIds.push_back(std::stol(text));
    }
    return true;
}

// records: the list, one record's numbers (--detail) or the search (--from and --to).
bool checkRecordsArguments(
    const std::string& detail, const std::string& from, const std::string& to, CommandLine& line, std::string& error)
{
    const bool searching = !from.empty() || !to.empty() || !line.phone.empty() || line.textGiven;
    if (!detail.empty()) {
        CommandLine parsed;
        if (!parseRecordIds({detail}, parsed, error)) {
            return false;
        }
        if (searching || line.scheduledOnly) {
            error = "--detail takes no other option of records but --user";
            return false;
        }
        line.detail = parsed.recordIds.front();
        return true;
    }
    if (!searching) {
        return true;
    }
    if (from.empty() || to.empty()) {
        error = "the record search needs --from and --to";
        return false;
    }
    if (line.scheduledOnly) {
        error = "--scheduled does not go with the record search";
        return false;
    }
    return parseRange(from, to, line, error);
}

bool collectLunarDays(const std::vector<std::string>& dates, const std::string& from, const std::string& to,
    CommandLine& line, std::string& error)
{
    if (from.empty() != to.empty()) {
        error = "lunar needs both --from and --to";
        return false;
    }
    if (!from.empty()) {
        if (!dates.empty()) {
            error = "lunar takes dates or --from and --to, not both";
            return false;
        }
        return parseRange(from, to, line, error);
    }
    for (const auto& text : dates) {
        DateTime day;
        if (!parseDay(text, day, error)) {
            return false;
        }
        line.days.push_back(day);
    }
    return true;
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
    std::string from;
    std::string to;
    std::string month;
    std::string year;
    std::string detail;
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
        } else if (option == "--file") {
            line.file = value;
        } else if (option == "--template") {
            line.templateText = value;
            line.templateGiven = true;
        } else if (option == "--phone-column") {
            line.phoneColumn = value;
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
        } else if (option == "--folder") {
            line.folder = value;
            line.folderGiven = true;
        } else if (option == "--duplicates") {
            if (value != "copy" && value != "replace" && value != "ignore") {
                error = "--duplicates takes copy, replace or ignore";
                return false;
            }
            line.duplicates = value;
        } else if (option == "--where") {
            if (value.find('=') == std::string::npos || value.front() == '=') {
                error = "--where takes FIELD=TEXT";
                return false;
            }
            line.where.push_back(value);
        } else if (option == "--by" || option == "--extract" || option == "--remove") {
            if (line.divideMode != 0) {
                error = "divide takes one of --by, --extract and --remove";
                return false;
            }
            static const std::map<std::string, int> byModes = {{"province", 1}, {"city", 2}, {"carrier", 3}};
            if (option == "--by" && !byModes.contains(value)) {
                error = "--by takes province, city or carrier";
                return false;
            }
            line.divideMode = option == "--by" ? byModes.at(value) : option == "--extract" ? 4 : 5;
            line.regionName = value;
        } else if (option == "--group") {
            line.group = value;
            line.groupGiven = true;
        } else if (option == "--title") {
            line.title = value;
        } else if (option == "--detail") {
            detail = value;
        } else if (option == "--phone") {
            line.phone = value;
        } else if (option == "--month") {
            month = value;
        } else if (option == "--year") {
            year = value;
        } else if (option == "--from") {
            from = value;
        } else if (option == "--to") {
            to = value;
        } else if (option == "--groups" && !ParseTableGroups(value, line.groups, error)) {
            return false;
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
    case Command::CustomSend:
        if (line.file.empty() || !line.templateGiven) {
            error = "custom-send needs --file and --template";
            return false;
        }
        if (!positional.empty()) {
            error = "unexpected argument: " + positional.front();
            return false;
        }
        break;
    case Command::Cards: {
        static const std::map<std::string, CardsAction> actions
            = {{"import", CardsAction::Import}, {"list", CardsAction::List}, {"export", CardsAction::Export}};
        if (positional.empty() || !actions.contains(positional.front())) {
            error = "cards needs import, list or export";
            return false;
        }
        line.cardsAction = actions.at(positional.front());
        const std::size_t wanted = line.cardsAction == CardsAction::List ? 1 : 2;
        if (positional.size() != wanted) {
            error = positional.size() < wanted ? "cards " + positional.front() + " needs a FILE"
                                               : "unexpected argument: " + positional[wanted];
            return false;
        }
        if (wanted == 2)
            line.file = positional[1];
        if (line.cardsAction != CardsAction::Import && line.duplicates != "copy") {
            error = "--duplicates belongs to cards import";
            return false;
        }
        if (line.cardsAction != CardsAction::List && !line.where.empty()) {
            error = "--where belongs to cards list";
            return false;
        }
        break;
    }
    case Command::Divide:
    case Command::Unsent:
    case Command::Region:
    case Command::Phrases:
        line.arguments = std::move(positional);
        return checkToolArguments(line, error);
    case Command::Lunar:
        if (!collectLunarDays(positional, from, to, line, error)) {
            return false;
        }
        break;
    case Command::Records:
        if (!positional.empty()) {
            error = "unexpected argument: " + positional.front();
            return false;
        }
        if (!checkRecordsArguments(detail, from, to, line, error)) {
            return false;
        }
        break;
    case Command::Stats:
        if (!positional.empty()) {
            error = "unexpected argument: " + positional.front();
            return false;
        }
        if (!parsePeriod(month, year, line, error)) {
            return false;
        }
        break;
    case Command::Cancel:
        if (!parseRecordIds(positional, line, error)) {
            return false;
        }
        break;
    case Command::Backup:
    case Command::Restore:
        if (positional.size() != 1) {
            error = positional.empty() ? "a backup file is needed" : "unexpected argument: " + positional[1];
            return false;
        }
        line.file = positional.front();
        break;
    default:
        if (!positional.empty()) {
            error = "unexpected argument: " + positional.front();
            return false;
        }
        break;
    }
    if (line.command == Command::Login || line.command == Command::Send || line.command == Command::CustomSend
        || line.command == Command::Resume || line.command == Command::Replies || line.command == Command::Cancel) {
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
  telvora-cli [--home DIR] [--server HOST[:PORT]] custom-send --account A [--user U] --password P
              --file SHEET --template TEXT [--phone-column CAPTION] [--at "YYYY-MM-DD HH:MM"] [--yes]
  telvora-cli [--home DIR] [--server HOST[:PORT]] resume --account A [--user U] --password P
              [--record ID] [--include-unknown] [--now] [--yes]
  telvora-cli [--home DIR] [--server HOST[:PORT]] replies --account A [--user U] --password P
  telvora-cli [--home DIR] records [--user U] [--scheduled]
  telvora-cli [--home DIR] records [--user U] --detail ID
  telvora-cli [--home DIR] records [--user U] --from YYYY-MM-DD --to YYYY-MM-DD [--phone NUMBER] [--text TEXT]
  telvora-cli [--home DIR] stats [--user U] (--month YYYY-MM | --year YYYY)
  telvora-cli [--home DIR] [--server HOST[:PORT]] cancel --account A [--user U] --password P ID...
  telvora-cli [--home DIR] cards import FILE [--user U] [--folder NAME] [--duplicates copy|replace|ignore]
  telvora-cli [--home DIR] cards list [--user U] [--folder NAME] [--where FIELD=TEXT]...
  telvora-cli [--home DIR] cards export FILE [--user U] [--folder NAME]
  telvora-cli [--home DIR] divide (--by province|city|carrier | --extract NAME | --remove NAME) FILE OUTBASE
  telvora-cli unsent ALL SENT OUT
  telvora-cli [--home DIR] region NUMBER...
  telvora-cli [--home DIR] phrases (list [--group NAME] | add --group NAME --text TEXT [--title T] | import FILE)
  telvora-cli [--home DIR] backup [--user U] FILE
  telvora-cli [--home DIR] restore [--user U] FILE [--groups cards,records,phrases,calendar]
  telvora-cli [--home DIR] compact [--user U]
  telvora-cli lunar [YYYY-MM-DD]...
  telvora-cli lunar --from YYYY-MM-DD --to YYYY-MM-DD
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
  custom-send
            Logs in and sends every data row of the first sheet of SHEET (xlsx, xls, ods,
            csv; the first row holds the captions) its own text: TEXT with each {caption}
            replaced by the row's cell of that column. Rows without a valid mobile number
            in the phone column (--phone-column, default 手机号码) are passed over. The
            checks of the personalised send apply: signature, not for 会员用户 accounts,
            texts that differ, at most 5000 numbers, number ranges, stock. Texts of more
            than one segment need --yes. The service takes 101 numbers, then 100 per
            request, 5 seconds apart. Prints the record id and its counters.
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
            --detail ID   the numbers of record ID instead: running number, status text
                          (发送成功, 发送异常, 未发送, 结果未知), time, segments, name,
                          number, message.
            --from/--to   the record search: every number sent from the first day to
                          the last (both included), newest first, narrowed to one number
                          (--phone) or a text in the message (--text), then the totals line.
  stats     Sums the send records of U.db per day of a month (--month) or per month of
            a year (--year), newest first; a scheduled send counts where its scheduled
            time falls. One tab-separated line each: running number, day or month, all
            segments sent, accepted, refused.
  cancel    Logs in and cancels the scheduled sends ID... at the service, as "取消发送"
            does: job ids in calls of 101. One line per record: the id, a tab and
            "定时已取消", or why it was left alone (already sent or cancelled, not a
            scheduled send, no such record); a record whose calls all failed, or that
            has no job ids, is reported on stderr and not cancelled.
  cards     Works on the address book of the account database U.db (default: the user
            of the last login) without logging in.
    import  Reads FILE (.xlsx, .xls, .ods, .csv; .txt lines of phone, name, sex, group,
            remarks; .vcf) into the folder NAME (default: the file's name without its
            extension), made as a root folder when there is none of that name. A sheet
            column headed with a field's caption fills that field; "手机" or "手机号码"
            is the phone column. Rows without a valid mobile number are passed over. A
            number already in the address book: copy (default) lists its card in the
            folder too, replace takes the new row instead, ignore leaves it. Prints
            "导入成功客户数[n],错误或重复号码数[m]".
    list    One card a line, tab-separated: the active fields in catalogue order, the
            first line their captions. --folder lists one folder (with its copies);
            --where FIELD=TEXT (repeatable, all must hold) keeps the cards whose field
            (caption or column name) contains TEXT.
    export  Writes the cards (all folders, or the home cards of --folder) with the
            active fields and the folder name to FILE: .csv (UTF-8) when the name ends
            in .csv, else .xlsx.
  divide    Reads the mobile numbers of the text file FILE (one a line; a leading country
            code falls away, invalid lines are dropped) and appends them to files named
            after OUTBASE, as the division dialog does: --by province writes
            OUTBASE<province>(<count>).txt per province (未知省份号码 for unknown segments),
            --by city the same per city, --by carrier OUTBASE-移动.txt, -联通.txt and
            -电信.txt; --extract NAME writes the numbers of the province or city NAME (or a
            name containing it, such as 广东省) and --remove NAME those of every other
            region, both to OUTBASE(<count>).txt. Prints each file written with its count.
  unsent    The lines of ALL (longer than 6 characters, as they stand) minus those of SENT,
            counted as multisets (a line twice in ALL and once in SENT stays once), sorted
            in byte order and appended to OUT. Prints OUT with the count.
  region    One line a number: the number, its province, its city and its carrier (移动,
            联通, 电信), separated by tabs; the carrier is - for an invalid number and the
            province and city are empty for an unknown segment.
  phrases   The phrase library of the database of the last login's user. list prints id,
            group, title and text of every phrase (of one group with --group); add files a
            phrase under a group (created when missing); import files the first column of
            every sheet of a workbook (xlsx, xls, ods, csv; the first row holds captions)
            under a group named after the sheet and prints the count.
  backup    Writes a consistent, compacted copy of the account database U.db (default:
            the user of the last login) to FILE, also while the program works in it. An
            existing FILE is replaced once the copy is complete.
  restore   Replaces the chosen groups of tables of U.db with those of the backup FILE
            (default: cards): cards = customers, folders and copies; records = send
            records and received messages; phrases; calendar = tasks and holidays. All
            groups are copied in one transaction: on any failure nothing changes. A backup
            of an older version is upgraded in a temporary copy; FILE is only read.
            Prints one line per table copied (table=rows).
  compact   Compacts U.db in place.
  lunar     Prints the lunar date of each day given (default: today), or of every day
            from --from to --to: the date, a tab, the lunar year, month and day as
            YYYY-MM-DD with an L before a leap month (2020-L04-01), a tab and the Chinese
            text. A day outside the lunar table (before 1921-02-08, after 2101-01-28)
            prints the date, a tab and "-".

Exit codes:
  0  done (for send and resume: the send went through every batch; some may have been
     refused or have no known outcome, see the counts and stderr)
  1  lunar: some day lay outside the lunar table
  1  the send could not go out: no job could be created at the service (its message on
     stderr), the send record could not be written (nothing was sent), the send was
     interrupted (the service could not be reached; what went out and what is left on
     stderr, finish it with resume), or a reply fetch failed
  2  refused: bad arguments, login failure (the login's message on stderr), a check of
     the send refused it (its text on stderr), an unconfirmed multi-segment text, no
     interrupted record to resume, a number tool given no numbers or an empty name, a
     phrase refused, a card file without a phone column or that cannot be read, an
     unknown folder or field
  2  restore: FILE is not a usable backup of this program (nothing changed)
  3  local failure: the data directory, a database or a file could not be opened,
     read or written, or a backup, restore or compaction failed (nothing changed)
  cancel: 1 when some record could not be cancelled, 2 when some id names no scheduled
     send
)";
}

} // namespace telvora::cli
