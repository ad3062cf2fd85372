#pragma once

#include "db/DateTime.h"
#include "db/TableGroups.h"

#include <string>
#include <vector>

namespace telvora::cli {

// Exit codes of telvora-cli, as --help documents them.
inline constexpr int kExitOk = 0;
inline constexpr int kExitSendFailed = 1;
inline constexpr int kExitRefused = 2;
inline constexpr int kExitLocalFailure = 3;
inline constexpr int kExitOutsideLunarTable = 1;
inline constexpr int kExitNotABackup = 2;

enum class Command {
    None,
    Help,
    Login,
    Send,
    CustomSend,
    Resume,
    Replies,
    Records,
    Stats,
    Cancel,
    Lunar,
    Divide,
    Unsent,
    Region,
    Phrases,
    Backup,
    Restore,
    Compact,
    Cards
};
enum class CardsAction { None, Import, List, Export };

struct CommandLine
{
    Command command = Command::None;
    std::string home; // --home
    std::string server; // --server
    std::string account;
    std::string user;
    std::string password;
    bool remember = false;
    std::string text;
    bool textGiven = false;
    std::vector<std::string> numberFiles;
    std::vector<std::string> numbers;
    std::string at; // "YYYY-MM-DD HH:MM[:SS]"
    std::string insert; // "", "name" or "title"
    bool yes = false;
    bool scheduledOnly = false;
    bool userGiven = false;
    CardsAction cardsAction = CardsAction::None;
    std::string folder; // --folder
    bool folderGiven = false;
    std::string duplicates = "copy"; // --duplicates copy|replace|ignore
    std::vector<std::string> where; // --where FIELD=TEXT
    int record = 0; // --record of resume; 0: the most recent interrupted one
    bool includeUnknown = false;
    bool now = false;
    std::vector<DateTime> days; // lunar: the dates given; none (and no range) for today
    DateTime from; // lunar and records --from and --to, both or neither
    DateTime to;
    int statsYear = 0; // stats: --year, or the year of --month
    int statsMonth = 0; // stats: --month; 0 for a whole year
    std::vector<long> recordIds; // cancel
    long detail = 0; // records --detail
    std::string phone; // records --phone
    // The number tools.
    int divideMode = 0; // 1 province, 2 city, 3 carrier, 4 --extract, 5 --remove
    std::string regionName; // of --extract or --remove
    std::string phraseAction; // "list", "add" or "import"
    std::string group; // --group
    bool groupGiven = false;
    std::string title; // --title
    std::vector<std::string> arguments; // the files or numbers the tool command names
    std::string file; // backup and restore: the backup file; cards import and export; custom-send --file
    std::string templateText; // custom-send --template
    bool templateGiven = false;
    std::string phoneColumn = "手机号码"; // custom-send --phone-column
    std::vector<TableGroup> groups {TableGroup::Cards}; // restore --groups
};

/// Reads the arguments (without the program name). False with a message for the user when
/// they do not form a command; --help anywhere gives Command::Help.
bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& line, std::string& error);

std::string HelpText();

} // namespace telvora::cli
