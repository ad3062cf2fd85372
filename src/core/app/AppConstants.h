#pragma once

#include <string>

namespace telvora {

// File and key names that the setup file, the working databases and the shipped data
// have always had (with SQLite's extension in place of the old one).
inline constexpr const char* kProductTitle = "Telvora";
inline constexpr const char* kSetupFileName = "ClientSetup.ini";
inline constexpr const char* kSetupSection = "section";
inline constexpr const char* kOfflineDatabase = "OffLineDB.db";
inline constexpr const char* kTemplateDatabase = "SourceDB.db";
inline constexpr const char* kRegionDatabase = "mobileArea.db";

/// The account's main user.
inline constexpr const char* kMainUser = "admin";

/// The user name the service knows a login by: an empty one is the main user.
inline std::string AccountUserName(const std::string& user)
{
    return user.empty() ? std::string(kMainUser) : user;
}

} // namespace telvora
