#include "send/RecipientChoice.h"

#include "send/FolderNumberCache.h"
#include "send/SmsRules.h"

#include <algorithm>

namespace telvora {

bool CRecipientChoice::has(Kind kind, long folderId, const std::string& value) const
{
    return std::any_of(m_entries.begin(), m_entries.end(), [&](const Entry& entry) {
        return entry.kind == kind && (kind == Kind::Folder ? entry.folderId == folderId : entry.value == value);
    });
}

bool CRecipientChoice::remove(Kind kind, long folderId, const std::string& value)
{
    return std::erase_if(m_entries, [&](const Entry& entry) {
        return entry.kind == kind && (kind == Kind::Folder ? entry.folderId == folderId : entry.value == value);
    }) > 0;
}

bool CRecipientChoice::AddFolder(long folderId, const std::string& name)
{
    if (has(Kind::Folder, folderId, {})) {
        return false;
    }
    m_entries.push_back({Kind::Folder, folderId, name, name});
    return true;
}

bool CRecipientChoice::RemoveFolder(long folderId)
{
    return remove(Kind::Folder, folderId, {});
}

bool CRecipientChoice::HasFolder(long folderId) const
{
    return has(Kind::Folder, folderId, {});
}

bool CRecipientChoice::AddCard(const PickerCard& card)
{
    if (has(Kind::Card, 0, card.phone)) {
        return false;
    }
    m_entries.push_back({Kind::Card, 0, card.phone, card.caption()});
    return true;
}

bool CRecipientChoice::RemoveCard(const std::string& phone)
{
    return remove(Kind::Card, 0, phone);
}

bool CRecipientChoice::HasCard(const std::string& phone) const
{
    return has(Kind::Card, 0, phone);
}

bool CRecipientChoice::AddNumber(std::string_view text)
{
    const std::string number(TrimAscii(text));
    if (ClassifyMobileNumber(number) == Carrier::Invalid) {
        return false;
    }
    if (!has(Kind::Number, 0, number)) {
        m_entries.push_back({Kind::Number, 0, number, number});
    }
    return true;
}

void CRecipientChoice::Remove(std::size_t index)
{
    if (index < m_entries.size()) {
        m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(index));
    }
}

bool CRecipientChoice::Collect(CADODataBase& database, PickedRecipients& picked, std::string& error) const
{
    picked = {};
    for (const Entry& entry : m_entries) {
        if (entry.kind == Kind::Folder) {
            CollectedNumbers folder;
            if (!LoadFolderNumbers(database, entry.folderId, folder, error)) {
                picked = {};
                return false;
            }
            picked.numbers.insert(picked.numbers.end(), folder.numbers.begin(), folder.numbers.end());
        } else if (entry.kind == Kind::Number) {
            picked.numbers.push_back(entry.value);
        }
        picked.text += entry.caption + ";";
    }
    std::sort(picked.numbers.begin(), picked.numbers.end());
    picked.numbers.erase(std::unique(picked.numbers.begin(), picked.numbers.end()), picked.numbers.end());
    const std::size_t sorted = picked.numbers.size();
    for (const Entry& entry : m_entries) {
        const std::string phone(TrimAscii(entry.value));
        const auto known = picked.numbers.begin() + static_cast<std::ptrdiff_t>(sorted);
        // A card listed twice, or also reached through a folder, is still one recipient.
        if (entry.kind == Kind::Card && phone.size() > 10 && !std::binary_search(picked.numbers.begin(), known, phone)
            && std::find(known, picked.numbers.end(), phone) == picked.numbers.end()) {
            picked.numbers.push_back(phone);
        }
    }
    return true;
}

} // namespace telvora
