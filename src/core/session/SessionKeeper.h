#pragma once

#include <string>
#include <vector>

namespace telvora {

class CParameterStore;
class CServiceClient;
struct CSession;
struct DateTime;

/// Keeps the session alive and current while the program runs: heartbeat, stock,
/// the sub-accounts' low-stock warning and the log-off at exit.
class CSessionKeeper final
{
public:
    enum class Heartbeat {
        NotLoggedIn, // nothing was sent
        Alive,
        Failed, // one failure; the session goes on
        SessionEnded, // this failure ended the session
    };

    static constexpr int kFailuresToEnd = 2;

    CSessionKeeper(CServiceClient& service, CSession& session);

    Heartbeat SendHeartbeat();
    /// The two halves of SendHeartbeat, for a caller that calls the service on a worker
    /// thread and keeps the session on its own: the "HeartBeating" call alone, then its
    /// outcome counted against the session (NotLoggedIn when the session ended meanwhile).
    static bool Ping(CServiceClient& service, const std::string& token);
    Heartbeat RecordHeartbeat(bool alive);
    /// A new login starts counting failures afresh.
    void SessionStarted() { m_failures = 0; }
    int FailureCount() const { return m_failures; }

    /// "GetStockDetails"; a failure keeps the stock as it was.
    bool RefreshStock();
    /// The stock pane's text, empty while not logged in.
    std::string StockText() const;

    /// One line per sub-account whose stock is at or below "RemainAmount", when
    /// "IsRemainStock" is "1"; empty when there is nothing to warn about.
    std::vector<std::string> LowStockWarnings(const CParameterStore& parameters);

    /// "UserLogOff", waiting at most kLogOffTimeoutMs: the program is leaving, and a
    /// service that does not answer must not keep it.
    void LogOff();
    static constexpr int kLogOffTimeoutMs = 5'000;

    static std::string ConnectedStatusText();

private:
    CServiceClient& m_service;
    CSession& m_session;
    int m_failures = 0;
};

/// Where the automatic copy at close goes, relative to the data directory; the main
/// user's name stands for an empty one.
std::string AutomaticBackupName(const std::string& user, const DateTime& now);

/// The file name a local backup proposes: the time, after the account when logged in.
std::string ProposedBackupName(bool offline, const std::string& account, const DateTime& now);

} // namespace telvora
