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
    bool cancelled = false;
    for (const std::string& batch : JobIdBatches(record.jobIds)) {
        std::string reply;
        // Job ids go as they are: the service reads them unescaped.
        if (m_service.CallService("CancelJob", "Token=" + m_token + "&JobIDs=" + batch, reply))
            cancelled = true;
    }
    if (!cancelled)
        return Outcome::Failed;
    if (!m_database.Execute("UPDATE tbl_sendsms SET status='" + std::string(kCancelledStatus)
            + "' WHERE id=" + std::to_string(record.id)))
        m_lastError = m_database.GetLastError();
    return Outcome::Cancelled;
}

} // namespace telvora
