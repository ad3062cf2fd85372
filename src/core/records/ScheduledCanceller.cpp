#include "records/ScheduledCanceller.h"

#include "db/ADODataBase.h"
#include "records/RecordTexts.h"
#include "records/SendHistory.h"
#include "service/ServiceClient.h"

namespace telvora {

CScheduledCanceller::CScheduledCanceller(CADODataBase& database, CServiceClient& service, std::string token)
    : m_database(database)
    , m_service(service)
    , m_token(std::move(token))
{ }

std::vector<std::string> CScheduledCanceller::JobIdBatches(const std::string& jobIds)
{
    std::vector<std::string> batches;
    std::string batch;
    int inBatch = 0;
    std::size_t start = 0;
    while (start <= jobIds.size()) {
        std::size_t end = jobIds.find(';', start);
        if (end == std::string::npos)
            end = jobIds.size();
        if (end > start) {
            batch.append(jobIds, start, end - start).push_back(';');
            if (++inBatch == kIdsPerCall) {
                batches.push_back(std::move(batch));
                batch.clear();
                inBatch = 0;
            }
        }
        start = end + 1;
    }
    if (inBatch > 0)
        batches.push_back(std::move(batch));
    return batches;
}

CScheduledCanceller::Outcome CScheduledCanceller::Cancel(const SendRecord& record, const DateTime& now)
{
    m_lastError.clear();
    if (ScheduledStatusText(record, now) != kScheduledPendingStatus)
        return Outcome::Skipped;
    if (!PostCancel(m_service, m_token, record.jobIds))
        return Outcome::Failed;
    MarkCancelled(record.id);
    return Outcome::Cancelled;
}

bool CScheduledCanceller::PostCancel(CServiceClient& service, const std::string& token, const std::string& jobIds)
{
    bool cancelled = false;
    for (const std::string& batch : JobIdBatches(jobIds)) {
        std::string reply;
        // Job ids go as they are: the service reads them unescaped.
        if (service.CallService("CancelJob", "Token=" + token + "&JobIDs=" + batch, reply))
            cancelled = true;
    }
    return cancelled;
}

bool CScheduledCanceller::MarkCancelled(long recordId)
{
    m_lastError.clear();
    if (m_database.Execute("UPDATE tbl_sendsms SET status='" + std::string(kCancelledStatus)
            + "' WHERE id=" + std::to_string(recordId)))
        return true;
    m_lastError = m_database.GetLastError();
    return false;
}

} // namespace telvora
