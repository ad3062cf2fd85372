#pragma once

#include <string>

namespace telvora {

/// Looks at a file's header before SQLite touches it: a foreign or truncated file must be
/// reported, not opened, journalled or "repaired" into an empty database. False with a
/// readable reason when the file is no whole SQLite database.
bool CheckDatabaseFileHeader(const std::string& path, std::string& why);

/// Removes the write-ahead log and the shared-memory index beside a database file, so that
/// a file put in its place is never read through the old one's log.
void RemoveJournalFiles(const std::string& path);

} // namespace telvora
