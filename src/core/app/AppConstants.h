#pragma once

namespace telvora {

// File and key names that the setup file, the working databases and the shipped data
// have always had (with SQLite's extension in place of the old one).
inline constexpr const char* kProductTitle = "Telvora";
inline constexpr const char* kSetupFileName = "ClientSetup.ini";
inline constexpr const char* kSetupSection = "section";
inline constexpr const char* kOfflineDatabase = "OffLineDB.db";
inline constexpr const char* kTemplateDatabase = "SourceDB.db";
inline constexpr const char* kRegionDatabase = "mobileArea.db";

} // namespace telvora
