#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace telvora {

/// Appends every line, each followed by a line break, to a text file; a missing file is
/// created (mode 0600), an existing one extended. False when it cannot be written.
bool AppendNumberLines(const std::string& path, const std::vector<std::string_view>& lines);

} // namespace telvora
