#pragma once

#include "db/DateTime.h"

#include <string>
#include <vector>

namespace telvora {

class CServiceClient;
struct CSession;

/// One day of one user's consumption, each text as received.
struct BillRow
{
    std::string user; // "Account"
    std::string day; // "BillDay"
    std::string sent; // "CurDaySend"
    std::string remain; // "CurRemain"
    std::string total; // "CurTotal"
};

struct BillReport
{
    std::string companyName;
    std::vector<BillRow> rows; // days with sends only, in reply order
    long long total = 0; // the sum of the rows' sends
};

/// The days the bill pickers allow: from 25 days before now to yesterday.
struct BillRange
{
    DateTime first;
    DateTime last;
};
BillRange AllowedBillRange(const DateTime& now);

/// The bill query ("GetClientBills") of the main user.
class CBillQuery final
{
public:
    CBillQuery(CServiceClient& service, const CSession& session);

    /// False with GetMessage() when not logged in or the call fails; report is then empty.
    bool Query(const DateTime& start, const DateTime& end, BillReport& report);
    const std::string& GetMessage() const { return m_message; }

private:
    CServiceClient& m_service;
    const CSession& m_session;
    std::string m_message;
};

} // namespace telvora
