#pragma once

#include "db/DateTime.h"

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

    /// regions, when given, is an open number-region database (table mobileSegment).
    explicit CReceivedMessageList(CADODataBase& database, CADODataBase* regions = nullptr);

    /// Every message, one row per card that holds its phone. Empty with the error text when
    /// the table cannot be read.
    std::vector<ReceivedRow> Load();
    /// "province/city" of the number's first seven digits, or "未知".
    std::string RegionOf(const std::string& phone);

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
    CADODataBase* m_regions;
    std::string m_lastError;
};

} // namespace telvora
