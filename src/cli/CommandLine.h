#pragma once

#include <string>
#include <vector>

namespace telvora::cli {

// Exit codes of telvora-cli, as --help documents them.
inline constexpr int kExitOk = 0;
inline constexpr int kExitSendFailed = 1;
inline constexpr int kExitRefused = 2;
inline constexpr int kExitLocalFailure = 3;

enum class Command { None, Help, Login, Send, Replies, Records, Cards };
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
    std::string at; // "YYYY-MM-DD HH:MM"
    std::string insert; // "", "name" or "title"
    bool yes = false;
    bool scheduledOnly = false;
    bool userGiven = false;
    CardsAction cardsAction = CardsAction::None;
    std::string file; // cards import / export
    std::string folder; // --folder
    bool folderGiven = false;
    std::string duplicates = "copy"; // --duplicates copy|replace|ignore
    std::vector<std::string> where; // --where FIELD=TEXT
};

/// Reads the arguments (without the program name). False with a message for the user when
/// they do not form a command; --help anywhere gives Command::Help.
bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& line, std::string& error);

std::string HelpText();

} // namespace telvora::cli
