#pragma once

#include "send/SmsRules.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace telvora {

class CADODataBase;
class CAppContext;
class CParameterStore;
class CSendObserver;
class CServiceClient;
struct CSession;

/// How the engine reaches the service: a form POST of method with body, true on success
/// with the reply document, false with the service's message (or empty). Normally
/// CServiceClient::CallService; a seam so that a caller can measure or wrap the calls.
using ServiceCall = std::function<bool(const std::string& method, const std::string& body, std::string& reply)>;

/// The POST calls of a service client.
ServiceCall MakeServiceCall(CServiceClient& service);

/// The rule values of the logged-in session and the parameters ("AddSMSTail", "SMSTail").
SmsRuleValues RuleValuesOf(const CSession& session, const CParameterStore& parameters);

/// Turns one message and many numbers into a send record, one detail row per number and
/// service jobs. One engine per process, owned by whoever owns the main window.
///
/// Use: PrepareSend; when it returns true, optionally SetSendTime; then StartSend. The
/// record is written on the calling thread (shared connection); a worker thread then writes
/// the detail rows through a connection of its own to the same database file, creates the
/// job and posts the numbers 800 at a time, and reports to the observer. While the worker
/// runs the engine is busy and PrepareSend refuses every new send.
class CSendEngine final
{
public:
    static constexpr std::size_t kBatchSize = 800;
    static constexpr int kSmsType = 1;

    enum SendMode { SendViewMode = 1, BirthdayMode = 2, ReminderMode = 3 };
    enum InsertionMode { PlainSend = 0, InsertName = 1, InsertTitle = 2 };

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
    /// entries that are not all digits are dropped. insertionMode 1 or 2 puts each
    /// recipient's card name or title in front of the text; when no such text can be found
    /// the send goes out plain.
    bool PrepareSend(const std::vector<std::string>& numbers, const std::string& text, int sendMode, int insertionMode);
    /// Schedules the prepared send ("YYYY-MM-DD HH:MM[:SS]"). Call after PrepareSend and
    /// before StartSend. False (nothing changed) when no send is prepared or the time is no
    /// date.
    bool SetSendTime(const std::string& time);
    /// Writes the send record and starts the worker. False when nothing was prepared, a send
    /// is running or the record could not be written (GetLastError then says why).
    bool StartSend();

    bool IsBusy() const { return m_busy.load(); }
    bool IsReady() const { return m_ready; }
    /// Waits for the worker to end. Not from inside an observer call.
    void Wait();
    /// Makes a running worker stop before its next batch; the numbers not posted are
    /// recorded as failed.
    void RequestStop() { m_stop.store(true); }

    /// tbl_sendsms.id of the send started last.
    int GetRecordId() const { return m_recordId; }
    /// The insertion mode the prepared send will use (0 when no pattern could be built).
    int GetInsertionMode() const { return m_insertionMode; }
    const std::vector<std::string>& GetRecipients() const { return m_recipients; }
    const std::string& GetContent() const { return m_content; }
    const std::string& GetPattern() const { return m_pattern; }
    const std::string& GetSendTime() const { return m_sendTime; }
    bool IsScheduled() const { return m_scheduled != 0; }
    const std::string& GetLastError() const { return m_lastError; }

private:
    struct Job;
    struct WorkerDatabase;

    bool CreateSendRecord();
    void SendWorker(Job& job);
    bool SendBatch(Job& job, const std::string& jobId, const std::string& numbers, const std::string& details,
        int smsType, std::vector<std::string>& refused);
    std::string CreateJobOnService(const Job& job, const std::string& text, int smsType, std::string& message);

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
    std::map<std::string, std::string> m_details;
    std::string m_content;
    std::string m_sendTime;
    std::string m_pattern;
    std::vector<std::string> m_recipients;
    SmsRuleValues m_rules;
    std::string m_token;
    std::string m_lastError;

    std::atomic<bool> m_busy {false};
    std::atomic<bool> m_stop {false};
    std::thread m_worker;
};

} // namespace telvora
