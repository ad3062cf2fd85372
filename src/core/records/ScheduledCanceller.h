#pragma once

#include "db/DateTime.h"

#include <string>
#include <vector>

namespace telvora {

class CADODataBase;
class CServiceClient;
struct SendRecord;

/// Cancels scheduled sends at the service ("CancelJob") and marks them "定时已取消".
class CScheduledCanceller final
{
public:
    enum class Outcome {
        Skipped, // already sent or cancelled: left alone
        Cancelled,
        Failed, // no call succeeded, or there was no job to cancel
    };

    /// The service takes this many job ids per call.
    static constexpr int kIdsPerCall = 101;

    CScheduledCanceller(CADODataBase& database, CServiceClient& service, std::string token);

    /// A record counts as cancelled when any of its calls succeeded.
    Outcome Cancel(const SendRecord& record, const DateTime& now);

    /// The "CancelJob" calls of one job list alone, without touching the database, so that
    /// they may run on a worker thread. True when any call succeeded; false without a call
    /// when the list holds no job id.
    static bool PostCancel(CServiceClient& service, const std::string& token, const std::string& jobIds);
    /// Stores the record's status as "定时已取消"; false with GetLastError otherwise.
    bool MarkCancelled(long recordId);

    /// The "JobIDs" texts of a ";"-joined job list: at most kIdsPerCall ids each, every id
    /// followed by ";". Empty ids are dropped, so an empty list gives no text.
    static std::vector<std::string> JobIdBatches(const std::string& jobIds);

    /// Set when the record was cancelled at the service but its status could not be written.
    const std::string& GetLastError() const { return m_lastError; }

private:
    CADODataBase& m_database;
    CServiceClient& m_service;
    std::string m_token;
    std::string m_lastError;
};

} // namespace telvora
