#pragma once

#include <string>

namespace telvora {

/// Looks at a file's header before SQLite touches it: a foreign or truncated file must be
/// reported, not opened, journalled or "repaired" into an empty database. False with a
/// readable reason when the file is no whole SQLite database.
bool CheckDatabaseFileHeader(const std::string& path, std::string& why);

/// PRAGMA user_version as written in the file's header, without opening the file; -1 when
/// the header cannot be read.
int ReadDatabaseFileVersion(const std::string& path);

/// Removes the write-ahead log and the shared-memory index beside a database file, so that
/// a file put in its place is never read through the old one's log.
void RemoveJournalFiles(const std::string& path);

} // namespace telvora
