#pragma once

#include "db/DateTime.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace telvora {

class CADODataBase;

/// One stored reply with the card of its sender, when there is one.
struct ReceivedRow
{
    long id = 0;
    std::string phone;
    std::string content;
    DateTime receiveTime;
    bool read = false;
    std::string name; // of the sender's card
    std::optional<long> cardId;
    std::string region; // "province/city" or "未知"
};

/// The received messages as the reply list shows and changes them.
class CReceivedMessageList final
{
public:
    static constexpr const char* kUnknownRegion = "未知";

    /// The home region of a number as shown, e.g. "广东/深圳".
    using RegionLookup = std::function<std::string(const std::string& phone)>;

    /// Without a region lookup every region reads "未知".
    explicit CReceivedMessageList(CADODataBase& database, RegionLookup regionOf = {});

    /// Every message, one row per card that holds its phone. Empty with the error text when
    /// the table cannot be read.
    std::vector<ReceivedRow> Load();

    bool MarkRead(long id);
    /// All or none.
    bool Delete(const std::vector<long>& ids);
    bool Clear();

    /// The card holding the number, looked up directly in the card table.
    std::optional<long> CardIdOf(const std::string& phone);

    const std::string& GetLastError() const { return m_lastError; }

private:
    bool fail(const std::string& error);

    CADODataBase& m_database;
    RegionLookup m_regionOf;
    std::string m_lastError;
};

} // namespace telvora
