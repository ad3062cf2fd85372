#pragma once

#include <string>
#include <vector>

namespace telvora {

class CADODataBase;
class CIniFile;
class CNextCardId;
class CParameterStore;
class CServiceClient;
struct CSession;

struct ReceivedMessage
{
    std::string phone;
    std::string content;
    std::string receiveTime; // "YYYY-MM-DD HH:MM:SS"
};

/// What one storing of a "FetchSMS" reply did, for the front ends to show.
struct ReceivedMessagesStored
{
    std::vector<ReceivedMessage> added; // one desktop alert each
    bool strangerFolderCreated = false; // folders changed
    int unsubscribed = 0; // opt-out replies: cards changed
    bool playSound = false; // once per fetch with new messages, not per message
    bool handled = false; // a reply was handed to the storing: received messages changed
};

/// Turns "FetchSMS" replies into rows of tbl_sms_recive, skipping messages already
/// stored, and files unknown repliers into folder 999 when "AutoSaveReciver" is 1.
class CReceivedMessageStore final
{
public:
    /// New cards for unknown repliers draw their ids from nextCardId.
    CReceivedMessageStore(CADODataBase& database, CNextCardId& nextCardId);

    /// Stores the messages of a successful reply.
    ReceivedMessagesStored Store(const std::string& reply, CParameterStore& parameters);

    /// Stores a reply into the database file at path on a connection of its own, with that
    /// database's parameters: a reply fetched for one account belongs in its database even
    /// when another account's database is open by now. False when the file cannot be opened.
    static bool StoreInFile(
        const std::string& path, const std::string& reply, const CIniFile& setupFile, ReceivedMessagesStored& stored);

    /// Fetches once when the session may receive, and stores a reply whose Count is above 0.
    /// False when nothing was fetched (not allowed, or the call failed); message then says why.
    bool FetchAndStore(CServiceClient& service, const CSession& session, CParameterStore& parameters,
        ReceivedMessagesStored& stored, std::string& message);

    /// The "FetchSMS" call alone, without touching the database, so that it may run on a
    /// worker thread and the storing on the thread that owns the connection. True when the
    /// call succeeded; messagesWaiting then tells whether the reply's Count is above 0.
    /// Otherwise message says why.
    static bool FetchReply(CServiceClient& service, const std::string& token, std::string& reply, bool& messagesWaiting,
        std::string& message);

    static constexpr int kStrangerFolderId = 999;

private:
    bool isStored(const ReceivedMessage& message);
    bool fileStranger(const ReceivedMessage& message, bool& folderCreated);
    bool insert(const ReceivedMessage& message);
    long nextId(const char* table);

    CADODataBase& m_database;
    CNextCardId& m_nextCardId;
};

} // namespace telvora
