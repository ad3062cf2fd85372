#pragma once

#include <string>
#include <vector>

namespace telvora {

class CADODataBase;

// Numbers typed by hand, offered again in the drop-downs of the number boxes; mirrored in
// tbl_inputphone of the working database.
class CNumberHistory final
{
public:
    explicit CNumberHistory(CADODataBase& database);

    bool load();
    // Appends and stores a number not yet known; false when it was known or not stored.
    bool add(const std::string& number);
    bool contains(const std::string& number) const;
    const std::vector<std::string>& numbers() const { return m_numbers; }

private:
    CADODataBase& m_database;
    std::vector<std::string> m_numbers;
};

} // namespace telvora
