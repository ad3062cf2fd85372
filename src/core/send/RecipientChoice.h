#pragma once

#include "send/PickerCards.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace telvora {

class CADODataBase;

/// What the modal recipient picker hands to its caller.
struct PickedRecipients
{
    std::vector<std::string> numbers;
    std::string text; // each chosen entry's caption followed by ";"
};

/// The entries chosen in the modal recipient picker, in the order chosen: whole folders,
/// single cards and typed numbers, each at most once.
class CRecipientChoice final
{
public:
    enum class Kind { Folder, Card, Number };
    struct Entry
    {
        Kind kind = Kind::Number;
        long folderId = 0; // folders only
        std::string value; // the folder name, the card's phone or the number
        std::string caption;
    };

    /// False when the folder was chosen already.
    bool AddFolder(long folderId, const std::string& name);
    bool RemoveFolder(long folderId);
    bool HasFolder(long folderId) const;
    /// Cards are told apart by their phone; false when one with that phone was chosen already.
    bool AddCard(const PickerCard& card);
    bool RemoveCard(const std::string& phone);
    bool HasCard(const std::string& phone) const;
    /// Takes the trimmed text when it is a valid mobile number (once, however often it is
    /// typed); false for anything else.
    bool AddNumber(std::string_view text);
    void Remove(std::size_t index);
    const std::vector<Entry>& Entries() const { return m_entries; }

    /// The numbers of the chosen folders and the typed numbers, sorted and distinct, then
    /// the phones of the chosen cards (those longer than 10 characters) not yet among them;
    /// and the captions. False when a folder's numbers cannot be read.
    bool Collect(CADODataBase& database, PickedRecipients& picked, std::string& error) const;

private:
    bool has(Kind kind, long folderId, const std::string& value) const;
    bool remove(Kind kind, long folderId, const std::string& value);

    std::vector<Entry> m_entries;
};

} // namespace telvora
