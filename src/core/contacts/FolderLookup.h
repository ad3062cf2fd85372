#pragma once

#include <map>
#include <string>
#include <string_view>

namespace telvora {

class CADODataBase;

/// Folder name to folder id, as imports look up the group column. Names compare as the
/// folder table compares them (ASCII case ignored, blanks at the ends trimmed).
class CFolderLookup final
{
public:
    /// Fills the map from the folder table; false when it cannot be read.
    bool Load(CADODataBase& database);
    void Add(std::string_view name, long id);
    /// The folder's id, or 0 when no folder has that name.
    long Find(std::string_view name) const;

private:
    static std::string key(std::string_view name);

    std::map<std::string, long> m_ids;
};

} // namespace telvora
