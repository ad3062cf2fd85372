#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace telvora {

/// Values the service announces and the knobs of its behaviour.
struct SimConfig
{
    std::string serviceVersion = "1.0"; ///< login reply "Version"
    std::string smsServerAddress; ///< login reply "SmsServerAddress"; empty: the simulator's own address
    int segmentUpperLimit = 50;
    int longSmsLen = 70; ///< characters of one segment, also the divisor of the segment count
    int shortSmsLen = 56; ///< announced only
    int fetchSendStat = 0;
    std::chrono::milliseconds tokenIdleTimeout = std::chrono::minutes(20);
    std::string updateVersion; ///< "Version" of the update list; empty means "no update"
    std::string updateServerIp; ///< "ServerIP" of the update list; empty keeps clients where they are
    std::string soapNamespace = "http://tempuri.org/";
};

/// A company account as the control interface creates it; its main user is "admin".
struct SimAccount
{
    std::string account;
    std::string adminPassword = "123456";
    std::int64_t stock = 0; ///< the admin's stock, in segments
    int userType = 1; ///< 1 正式, 2 VIP, 3 会员, 4 接口, other 试用
    int userRight = 2; ///< 2 and 4 may fetch replies
    int totalAccounts = 10; ///< sub-accounts the company may hold
    std::string companyName;
    std::string address;
    std::string contact;
    std::string phone;
    std::string signName;
};

struct SimMessage
{
    std::string phone;
    std::string text; ///< the text as delivered (merged for CustomSend)
    int segments = 1;
};

/// One service job: a CreateJob with its MessSendSMS batches, or one CustomSend call.
struct SimJob
{
    std::string jobId;
    std::string account;
    std::string user;
    std::string method; ///< "MessSendSMS" or "CustomSend"
    std::string content; ///< CreateJob content or CustomSend pattern, decoded
    int smsType = 0;
    std::string sendTime; ///< as the client sent it; empty when sent at once
    bool scheduled = false; ///< the send time lay in the future when it arrived
    bool cancelled = false;
    std::int64_t charged = 0; ///< segments deducted (refunded on cancel)
    std::vector<SimMessage> messages;
    std::vector<std::string> refused; ///< numbers refused as invalid
};

/// A reply waiting for FetchSMS.
struct SimReply
{
    std::string phone;
    std::string content;
    std::string recDateTime; ///< empty: the time it is queued
    std::string postFixNumber;
};

struct SimFault
{
    enum class Kind {
        Delay, ///< wait, then answer normally (the call is carried out)
        Http500, ///< status 500, call not carried out
        Refuse, ///< a failure reply with the given Message, call not carried out
        NotXml, ///< status 200 with a body that is not XML, call not carried out
        Drop, ///< the connection is closed without an answer, call not carried out
        Offline, ///< the call is answered, then no connection is taken for `delay`
    };
    Kind kind = Kind::Http500;
    std::chrono::milliseconds delay {0};
    std::string message;
};

/// The answer of one service method, before any transport.
struct SimOutcome
{
    bool ok = false;
    std::string fields; ///< XML of the fields after RetCode (success)
    std::string code; ///< RetCode of a failure
    std::string message; ///< Message of a failure
};

/// State and rules of the substitute SMS service, without any transport. Thread-safe: every
/// public function takes the one mutex.
class SimService
{
public:
    explicit SimService(SimConfig config = {});
    SimService(const SimService&) = delete;
    SimService& operator=(const SimService&) = delete;

    // --- control ---------------------------------------------------------------------------
    /// Adds the account (or replaces it, with all its users) with its "admin" user.
    void addAccount(const SimAccount& account);
    /// Adds or replaces a sub-account (or, for "admin", changes its password and stock).
    bool addUser(const std::string& account, const std::string& user, const std::string& password,
        std::int64_t stock = 0, const std::string& memo = {});
    bool setStock(const std::string& account, const std::string& user, std::int64_t stock);
    std::optional<std::int64_t> stock(const std::string& account, const std::string& user) const;
    std::optional<std::string> password(const std::string& account, const std::string& user) const;
    /// User names of the account, "admin" first.
    std::vector<std::string> users(const std::string& account) const;
    bool queueReply(const std::string& account, const std::string& user, SimReply reply);
    std::size_t pendingReplies(const std::string& account, const std::string& user) const;
    std::vector<SimJob> jobs() const;
    std::optional<SimJob> job(const std::string& jobId) const;
    /// The delivery record: how many messages each number was sent, over every job that was
    /// not cancelled.
    std::map<std::string, int> deliveries() const;
    /// Consumption on a given day ("YYYY-MM-DD"), for bills in the past; the stock is not touched.
    bool addConsumption(
        const std::string& account, const std::string& user, const std::string& day, std::int64_t segments);
    std::optional<std::string> backup(const std::string& account, const std::string& user) const;
    void setBackup(const std::string& account, const std::string& user, std::string data);
    void setTokenIdleTimeout(std::chrono::milliseconds timeout);
    /// Moves the service's clock forward (token idle time, scheduled times, bill days).
    void advanceClock(std::chrono::milliseconds by);
    void setUpdateInfo(const std::string& version, const std::string& serverIp);
    SimConfig config() const;

    /// Calls that reached a method, counted on arrival (faulted calls included).
    int callCount(const std::string& method) const;
    std::map<std::string, int> callCounts() const;
    /// A fault for the method: nthCall 0 applies it to every call until cleared, n > 0 only to the
    /// n-th call counted from now (1 = the next call). A per-call fault wins over an every-call one.
    void injectFault(const std::string& method, SimFault fault, int nthCall = 0);
    void clearFaults();

    // --- service ---------------------------------------------------------------------------
    /// The methods of the catalogue that call() serves.
    static bool isServiceMethod(const std::string& method);
    /// Counts the call and tells which fault, if any, applies to it.
    std::optional<SimFault> beginCall(const std::string& method);
    /// Runs a catalogue method on decoded form fields (raw values, still escaped).
    SimOutcome call(const std::string& method, const std::map<std::string, std::string>& form);
    /// Stores an uploaded backup for the token's user; empty text or the failure message.
    SimOutcome upload(const std::string& token, const std::string& base64);
    std::string updateListXml() const;
    /// Waits up to the given time; false when interrupted by interruptWaits().
    bool waitFor(std::chrono::milliseconds time);
    void interruptWaits();
    void resumeWaits();
    void setOwnAddress(const std::string& address);

private:
    struct User
    {
        std::string name;
        std::string password;
        std::int64_t stock = 0;
        std::string memo;
        std::vector<SimReply> replies;
    };
    struct Account
    {
        SimAccount info;
        std::vector<User> users; // admin first
    };
    struct Session
    {
        std::string account;
        std::string user;
        std::chrono::steady_clock::time_point lastUsed;
    };
    struct LedgerEntry
    {
        std::string day; // YYYY-MM-DD
        std::string user;
        std::int64_t sent = 0;
        std::int64_t remainAfter = 0;
    };
    struct FaultRule
    {
        SimFault fault;
        int targetCall = 0; // 0: every call
    };

    using Clock = std::chrono::steady_clock;

    Account* findAccount(const std::string& account);
    const Account* findAccount(const std::string& account) const;
    static User* findUser(Account& account, const std::string& user);
    static const User* findUser(const Account& account, const std::string& user);
    Clock::time_point steadyNow() const;
    std::chrono::system_clock::time_point wallNow() const;
    std::string today() const;
    std::string nowText() const;
    std::string newToken();
    std::string newJobId();
    void recordConsumption(Account& account, const User& user, std::int64_t segments);
    // Resolves the token of a request; nullptr with the failure in outcome.
    Session* authenticate(const std::map<std::string, std::string>& form, SimOutcome& outcome);

    SimOutcome userLogin(const std::map<std::string, std::string>& form);
    // Every method after the login: the caller's session and the raw form.
    using Handler = SimOutcome (SimService::*)(Session&, const std::map<std::string, std::string>&);
    static Handler handlerOf(const std::string& method);

    SimOutcome userLogOff(Session& session, const std::map<std::string, std::string>& form);
    SimOutcome heartBeating(Session& session, const std::map<std::string, std::string>& form);
    SimOutcome fetchSms(Session& session, const std::map<std::string, std::string>& form);
    SimOutcome getStockDetails(Session& session, const std::map<std::string, std::string>& form);
    SimOutcome getUserInfo(Session& session, const std::map<std::string, std::string>& form);
    SimOutcome addSubAccount(Session& session, const std::map<std::string, std::string>& form);
    SimOutcome removeSubAccount(Session& session, const std::map<std::string, std::string>& form);
    SimOutcome subAccountPswModify(Session& session, const std::map<std::string, std::string>& form);
    SimOutcome distributeStock(Session& session, const std::map<std::string, std::string>& form);
    SimOutcome passwordChange(Session& session, const std::map<std::string, std::string>& form);
    SimOutcome getClientBills(Session& session, const std::map<std::string, std::string>& form);
    SimOutcome createJob(Session& session, const std::map<std::string, std::string>& form);
    SimOutcome messSendSms(Session& session, const std::map<std::string, std::string>& form);
    SimOutcome customSend(Session& session, const std::map<std::string, std::string>& form);
    SimOutcome cancelJob(Session& session, const std::map<std::string, std::string>& form);
    // The sub-account named by "AccountName" when the caller is the admin; nullptr with the failure otherwise.
    User* adminsSubAccount(const Session& session, const std::map<std::string, std::string>& form, const char* notAdmin,
        SimOutcome& outcome);
    // Validates a send time; scheduled is set when it lies ahead.
    bool checkSendTime(const std::string& text, bool& scheduled, SimOutcome& outcome) const;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_interrupted = false;
    SimConfig m_config;
    std::string m_ownAddress;
    std::map<std::string, Account> m_accounts;
    std::map<std::string, Session> m_sessions;
    std::vector<SimJob> m_jobs;
    std::map<std::string, std::vector<LedgerEntry>> m_ledgers; // per account
    std::map<std::string, std::map<std::string, std::string>> m_backups; // account -> user -> bytes
    std::map<std::string, int> m_calls;
    std::map<std::string, std::vector<FaultRule>> m_faults;
    std::chrono::milliseconds m_clockOffset {0};
    std::uint64_t m_nextJob = 100001;
    std::mt19937_64 m_random;
};

} // namespace telvora
