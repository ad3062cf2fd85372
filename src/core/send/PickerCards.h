#pragma once

#include <string>
#include <vector>

namespace telvora {

class CADODataBase;

/// A card as the recipient pickers list it.
struct PickerCard
{
    std::string name;
    std::string phone;

    /// What the list shows: the name, or the phone when the name is empty.
    std::string caption() const { return name.empty() ? phone : name; }
};

/// Which cards a picker lists. Each returns false with an error text when the cards cannot
/// be read; the cards come in card id order.
class CPickerCards final
{
public:
    static constexpr int kDialogLimit = 500;

    explicit CPickerCards(CADODataBase& database);

    /// The folder's own cards and those copied into it (each once).
    bool Folder(long folderId, std::vector<PickerCard>& cards);
    /// The cards a search found; whereClause is empty or begins with " WHERE ".
    bool Search(const std::string& whereClause, std::vector<PickerCard>& cards);
    /// At most kDialogLimit of the cards whose home is the folder.
    bool FolderTop(long folderId, std::vector<PickerCard>& cards);

    const std::string& GetLastError() const { return m_lastError; }

private:
    // The statement selects phone and name, phoneColumn telling which comes first.
    bool read(const std::string& sql, std::vector<PickerCard>& cards, int phoneColumn);

    CADODataBase& m_database;
    std::string m_lastError;
};

} // namespace telvora
