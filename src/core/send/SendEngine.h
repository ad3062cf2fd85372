#pragma once

#include "records/SendLedger.h"
#include "send/PersonalisedSend.h"
#include "send/SmsRules.h"
#include "service/ServiceClient.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace telvora {

class CADODataBase;
class CAppContext;
class CParameterStore;
class CSendObserver;
struct CSession;

/// How the engine reaches the service: a form POST of method with body. On success reply is
/// the document; on a refusal the service's message (or empty). Normally CServiceClient::Call;
/// a seam so that a caller can measure or wrap the calls.
using ServiceCall = std::function<CallResult(const std::string& method, const std::string& body, std::string& reply)>;

/// Pauses of the engine's retries. A request that never reached the service is tried again
/// `attempts` more times, the pause doubling from firstPause; a record write that fails (a
/// busy database) is tried until it succeeds, the pause doubling from writePause up to
/// maxWritePause. A stop ends every pause at once.
struct SendRetryPolicy
{
    int attempts = 3;
    std::chrono::milliseconds firstPause {2000};
    std::chrono::milliseconds writePause {100};
    std::chrono::milliseconds maxWritePause {2000};
    /// Between two requests of a personalised send, to keep its rate low.
    std::chrono::milliseconds customPause {5000};
};

/// A send record whose worker is gone before every number was posted and answered.
struct InterruptedSend
{
    int recordId = 0;
    std::string content;
    std::string sendTime;
    bool scheduled = false;
    long notPosted = 0; ///< rows at 0
    long unknown = 0; ///< rows at 2
};

/// The POST calls of a service client.
ServiceCall MakeServiceCall(CServiceClient& service);

/// The rule values of the logged-in session and the parameters ("AddSMSTail", "SMSTail").
SmsRuleValues RuleValuesOf(const CSession& session, const CParameterStore& parameters);

/// What the desktop offers after the login: the interrupted records with numbers never
/// posted, the question to ask, and a note naming the numbers of unknown outcome, which a
/// resume leaves out.
struct ResumeOffer
{
    std::vector<int> recordIds; ///< oldest first, the order they are resumed in
    std::string question;
    std::string unknownNote; ///< empty when no number of them is of unknown outcome
};

ResumeOffer ResumeOfferOf(const std::vector<InterruptedSend>& interrupted);

/// Turns one message and many numbers into a send record, one detail row per number and
/// service jobs. One engine per process, owned by whoever owns the main window.
///
/// Use: PrepareSend; when it returns true, optionally SetSendTime; then StartSend. StartSend
/// writes the record and a detail row at 0 for every number in one transaction (shared
/// connection); a worker thread then creates the job and posts the numbers 800 at a time,
/// keeping the rows and counters through a connection of its own: a batch's rows go to 2
/// before it is posted and to 1 or -1 when the answer comes. A request that never reached
/// the service is retried; when it still fails the send stops and its record is
/// interrupted, to be finished by ResumeSend. While the worker runs the engine is busy and
/// PrepareSend refuses every new send.
///
/// A personalised send (PreparePersonalisedSend, send mode 4) gives every number a text of
/// its own: the service merges the recipient's values into the pattern. It goes out through
/// "CustomSend" in requests of 101 numbers, then 100, with a pause between two requests, and
/// keeps the same accounting; each row holds the number's text and its segments.
class CSendEngine final
{
public:
    static constexpr std::size_t kBatchSize = 800;
    static constexpr std::size_t kFirstCustomBatch = 101;
    static constexpr std::size_t kCustomBatch = 100;
    static constexpr int kSmsType = 1;

    enum SendMode { SendViewMode = 1, BirthdayMode = 2, ReminderMode = 3, PersonalisedMode = 4 };
    enum InsertionMode { PlainSend = 0, InsertName = 1, InsertTitle = 2, PersonalisedText = 3 };

    /// app gives the shared connection, the parameters and the working database's file;
    /// session the token and the message rules. observer may be null.
    CSendEngine(CAppContext& app, const CSession& session, CServiceClient& service, CSendObserver* observer);
    CSendEngine(CAppContext& app, const CSession& session, ServiceCall call, CSendObserver* observer);
    /// Asks a running worker to stop after its current batch and waits for it.
    ~CSendEngine();
    CSendEngine(const CSendEngine&) = delete;
    CSendEngine& operator=(const CSendEngine&) = delete;

    /// Checks and stores everything a send needs; true when StartSend may go. False while a
    /// send runs, for an empty text or no usable number, or when some number block holds
    /// "SegmentUpperLimit" numbers or more. Numbers are trimmed, sorted and de-duplicated;
    /// entries that are not all digits are dropped, and so are opted-out numbers while that
    /// filter is on (GetExcludedCount; when none is left GetLastError says so). insertionMode 1 or 2 puts each
    /// recipient's card name or title in front of the text; when no such text can be found
    /// the send goes out plain.
    bool PrepareSend(const std::vector<std::string>& numbers, const std::string& text, int sendMode, int insertionMode);
    /// Prepares a personalised send (send mode 4); the caller has made its checks and
    /// appended the tail. False while a send runs, for an empty pattern or no number of
    /// digits only. Recipients are kept in the order of their numbers, each one a row.
    bool PreparePersonalisedSend(const PersonalisedSend& send);
    /// Schedules the prepared send ("YYYY-MM-DD HH:MM[:SS]"). Call after PrepareSend and
    /// before StartSend. False (nothing changed) when no send is prepared or the time is no
    /// date.
    bool SetSendTime(const std::string& time);
    /// Writes the send record and starts the worker. False when nothing was prepared, a send
    /// is running or the record could not be written (GetLastError then says why).
    bool StartSend();
    /// Sends the numbers of an interrupted record that were not posted (and those whose
    /// outcome is unknown when includeUnknown) under a new job, appending its id to the
    /// record's. A scheduled record whose time has passed goes out at once only with sendNow;
    /// otherwise it keeps its time. False with GetLastError when a send runs, there is no
    /// such record, nothing is left to send, or the time has passed without sendNow.
    bool ResumeSend(int recordId, bool includeUnknown, bool sendNow = false);
    /// Records with rows at 0 or 2, newest first; the running send's record is not among them.
    std::vector<InterruptedSend> FindInterrupted();
    void SetRetryPolicy(const SendRetryPolicy& policy) { m_policy = policy; }

    bool IsBusy() const { return m_busy.load(); }
    bool IsReady() const { return m_ready; }
    /// Waits for the worker to end. Not from inside an observer call.
    void Wait();
    /// Makes a running worker stop before its next batch (a pause ends at once); the numbers
    /// not posted stay at 0 and the record can be resumed.
    void RequestStop();

    /// tbl_sendsms.id of the send started last.
    int GetRecordId() const { return m_recordId; }
    /// The insertion mode the prepared send will use (0 when no pattern could be built).
    int GetInsertionMode() const { return m_insertionMode; }
    const std::vector<std::string>& GetRecipients() const { return m_recipients; }
    /// Opted-out numbers the last PrepareSend left out.
    std::size_t GetExcludedCount() const { return m_excluded; }
    /// "已排除%d个退订号码" when the last PrepareSend left numbers out, else empty.
    std::string GetExcludedNote() const;
    const std::string& GetContent() const { return m_content; }
    const std::string& GetPattern() const { return m_pattern; }
    const std::string& GetSendTime() const { return m_sendTime; }
    bool IsScheduled() const { return m_scheduled != 0; }
    const std::string& GetLastError() const { return m_lastError; }

private:
    struct Job;
    struct WorkerDatabase;

    bool CreateSendRecord(Job& job);
    bool launch(std::unique_ptr<Job> job);
    void SendWorker(Job& job);
    CallResult SendBatch(Job& job, const std::string& jobId, const std::string& numbers, const std::string& details,
        int smsType, std::vector<std::string>& refused);
    std::string CreateJobOnService(Job& job, const std::string& text, int smsType, std::string& message);
    CallResult postBatch(Job& job, WorkerDatabase& db, std::size_t first, std::size_t count, const std::string& jobId);
    CallResult callRetrying(const std::function<CallResult()>& call);
    bool persist(const Job& job, const std::function<bool()>& write);
    bool pause(std::chrono::milliseconds time);

    void resetPrepared(int sendMode);
    bool buildDetails(int insertionMode);
    void joinWorker();
    void report(const Job& job, const std::function<void(CSendObserver&)>& call) const;

    CAppContext& m_app;
    const CSession& m_session;
    ServiceCall m_call;
    CSendObserver* m_observer;

    // The prepared send. Written only while no worker runs; the worker gets its own copy.
    bool m_ready = false;
    int m_recordId = 0;
    int m_insertionMode = PlainSend;
    int m_scheduled = 0;
    int m_sendMode = SendViewMode;
    std::size_t m_excluded = 0;
    std::map<std::string, std::string> m_details;
    std::string m_content;
    std::string m_sendTime;
    std::string m_pattern;
    std::vector<std::string> m_recipients;
    std::vector<PersonalisedRecipient> m_personal;
    int m_placeholders = 0;
    SmsRuleValues m_rules;
    std::string m_token;
    std::string m_lastError;

    SendRetryPolicy m_policy;

    std::atomic<bool> m_busy {false};
    std::atomic<bool> m_stop {false};
    std::atomic<int> m_runningRecord {0};
    std::mutex m_stopMutex;
    std::condition_variable m_stopChanged;
    std::thread m_worker;
};

} // namespace telvora
