#include "records/ReceivedMessageStore.h"

#include "app/NextCardId.h"
#include "app/ParameterStore.h"
#include "db/ADODataBase.h"
#include "db/ADORecordset.h"
#include "db/DateTime.h"
#include "db/SqlText.h"
#include "records/UnsubscribedFilter.h"
#include "service/ServiceClient.h"
#include "service/XmlReader.h"
#include "session/Session.h"

namespace telvora {

namespace {

constexpr const char* kStrangerFolder = "陌生回复号码";

long firstLong(CADODataBase& database, const std::string& sql)
{
    CADORecordset recordset(&database);
    long value = 0;
    if (recordset.Open(sql) && !recordset.IsEOF())
        recordset.GetFieldValue(0, value);
    return value;
}

} // namespace

CReceivedMessageStore::CReceivedMessageStore(CADODataBase& database, CNextCardId& nextCardId)
    : m_database(database)
    , m_nextCardId(nextCardId)
{ }

long CReceivedMessageStore::nextId(const char* table)
{
    return firstLong(m_database, std::string("SELECT MAX(ID)+1 FROM ") + table);
}

bool CReceivedMessageStore::isStored(const ReceivedMessage& message)
{
    CADORecordset recordset(&m_database);
    const std::string sql = "SELECT * FROM tbl_sms_recive WHERE phone=" + SqlQuote(message.phone) + " AND content="
        + SqlQuote(message.content) + " AND recive_time = CDATE(" + SqlQuote(message.receiveTime) + ")";
    return recordset.Open(sql) && !recordset.IsEOF();
}

bool CReceivedMessageStore::fileStranger(const ReceivedMessage& message, bool& folderCreated)
{
    if (firstLong(m_database, "SELECT COUNT(*) FROM tbl_card_folder WHERE name = '陌生回复号码'") < 1) {
        if (!m_database.Execute("INSERT INTO tbl_card_folder (id,name,sub_id,memos) VALUES ( 999, '陌生回复号码', 0,  '"
                + std::string(kStrangerFolder) + "')"))
            return false;
        folderCreated = true;
    }
    if (firstLong(m_database, "SELECT COUNT(*) FROM tbl_card WHERE phone = " + SqlQuote(message.phone)) >= 1)
        return true;
    const long cardId = m_nextCardId.Take(m_database);
    return m_database.Execute("INSERT INTO tbl_card (id, folder_id,phone,memos,create_date) VALUES ("
        + std::to_string(cardId) + ", 999, " + SqlQuote(message.phone) + ", " + SqlQuote(message.content) + ", Now())");
}

bool CReceivedMessageStore::insert(const ReceivedMessage& message)
{
    return m_database.Execute("INSERT INTO tbl_sms_recive (id, phone, content, recive_time) VALUES ("
        + std::to_string(nextId("tbl_sms_recive")) + ", " + SqlQuote(message.phone) + ", " + SqlQuote(message.content)
        + ", CDATE(" + SqlQuote(message.receiveTime) + ") )");
}

ReceivedMessagesStored CReceivedMessageStore::Store(const std::string& reply, CParameterStore& parameters)
{
    ReceivedMessagesStored stored;
    stored.handled = true;
    const bool fileStrangers = DecimalValue(parameters.Get("AutoSaveReciver")) == 1;

    CXmlReader reader(reply);
    reader.FindChildElem("Count");
    if (!reader.FindChildElem("Nodes") || !reader.IntoElem() || !reader.FindChildElem("SMSGroup"))
        return stored;

    m_database.BeginTransaction();
    do {
        ReceivedMessage message;
        message.content = reader.GetChildData();
        message.phone = reader.GetChildAttrib("Phone");
        // A receive time the database cannot read would lose the message; keep it with now.
        const DateTime received = DateTime::parse(reader.GetChildAttrib("RecDateTime"));
        message.receiveTime = (received.valid ? received : DateTime::now()).toString();
        if (isStored(message))
            continue;
        // An opt-out needs a card to carry its status, whatever the filing setting says.
        const bool optOut = !message.phone.empty() && CUnsubscribedFilter::IsOptOutReply(message.content);
        if ((fileStrangers || optOut) && !message.phone.empty())
            fileStranger(message, stored.strangerFolderCreated);
        if (optOut && CUnsubscribedFilter::MarkUnsubscribed(m_database, message.phone))
            ++stored.unsubscribed;
        if (insert(message))
            stored.added.push_back(std::move(message));
    } while (reader.FindChildElem("SMSGroup"));
    m_database.CommitTransaction();
    // A fetch that brought only messages already stored has nothing to announce.
    stored.playSound = !stored.added.empty() && DecimalValue(parameters.Get("SoundIncome")) == 1;
    return stored;
}

bool CReceivedMessageStore::StoreInFile(
    const std::string& path, const std::string& reply, const CIniFile& setupFile, ReceivedMessagesStored& stored)
{
    stored = {};
    CADODataBase database;
    if (!database.Open(path))
        return false;
    CParameterStore parameters;
    parameters.Load(database, setupFile);
    // A database not open in this process: its counter starts from its own cards.
    CNextCardId nextCardId;
    stored = CReceivedMessageStore(database, nextCardId).Store(reply, parameters);
    return true;
}

bool CReceivedMessageStore::FetchReply(
    CServiceClient& service, const std::string& token, std::string& reply, bool& messagesWaiting, std::string& message)
{
    messagesWaiting = false;
    if (!service.CallService("FetchSMS", "Token=" + token, reply)) {
        message = reply.empty() ? "通讯错误，无法连接到服务器" : reply;
        return false;
    }
    CXmlReader reader(reply);
    reader.FindChildElem("Count");
    messagesWaiting = DecimalValue(reader.GetChildData()) > 0;
    return true;
}

bool CReceivedMessageStore::FetchAndStore(CServiceClient& service, const CSession& session, CParameterStore& parameters,
    ReceivedMessagesStored& stored, std::string& message)
{
    stored = {};
    if (!session.loggedIn || !session.mayFetchReplies()) {
        message = "当前帐号没有接收回复短信的权限。";
        return false;
    }
    std::string reply;
    bool messagesWaiting = false;
    if (!FetchReply(service, session.token, reply, messagesWaiting, message))
        return false;
    if (messagesWaiting)
        stored = Store(reply, parameters);
    return true;
}

} // namespace telvora
