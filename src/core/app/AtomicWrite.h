#pragma once

#include <string>
#include <string_view>

namespace telvora {

/// Replaces the file at path with content: written to a temporary file in the same
/// directory, flushed, given mode 0600 and renamed over the old file, so a crash leaves
/// either the old or the new content. On failure error holds a readable text.
bool WriteFileAtomically(const std::string& path, std::string_view content, std::string& error);

/// Reads a whole file; false when it cannot be opened.
bool ReadWholeFile(const std::string& path, std::string& content);

} // namespace telvora
