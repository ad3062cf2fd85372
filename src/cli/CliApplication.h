#pragma once

#include "CommandLine.h"

#include <iosfwd>
#include <memory>

namespace telvora {
class CAppContext;
class CAutoStart;
class CRegionTable;
class CDiagnosticLog;
class CPasswordVault;
class CSendEngine;
class CServiceClient;
class CWebClient;
struct CSession;
struct DateTime;
} // namespace telvora

namespace telvora::cli {

class CWaitingObserver;

/// Runs one command of telvora-cli on the same core the desktop program uses.
class CCliApplication final
{
public:
    CCliApplication(std::ostream& out, std::ostream& err);
    ~CCliApplication();
    CCliApplication(const CCliApplication&) = delete;
    CCliApplication& operator=(const CCliApplication&) = delete;

    /// The exit code of the command.
    int Run(const CommandLine& line);

private:
    bool setUp(const CommandLine& line);
    bool logIn(const CommandLine& line);
    int runLogin(const CommandLine& line);
    bool parseSendTime(const CommandLine& line, DateTime& at);
    int runSend(const CommandLine& line);
    int runCustomSend(const CommandLine& line);
    int runResume(const CommandLine& line);
    int awaitSend(CSendEngine& engine, CWaitingObserver& observer);
    int runReplies(const CommandLine& line);
    int runRecords(const CommandLine& line);
    int runRecordDetail(const CommandLine& line);
    int runRecordSearch(const CommandLine& line);
    int runStats(const CommandLine& line);
    int runCancel(const CommandLine& line);
    int runCards(const CommandLine& line);
    int runLunar(const CommandLine& line);
    int runMaintenance(const CommandLine& line);
    void printRecord(int recordId);
    int runDivide(const CommandLine& line);
    int runUnsent(const CommandLine& line);
    int runRegion(const CommandLine& line);
    int runPhrases(const CommandLine& line);
    bool loadRegions(CRegionTable& regions);
    bool openUserDatabase(const CommandLine& line);

    std::ostream& m_out;
    std::ostream& m_err;
    std::unique_ptr<CAppContext> m_app;
    std::unique_ptr<CDiagnosticLog> m_log;
    std::unique_ptr<CWebClient> m_web;
    std::unique_ptr<CServiceClient> m_service;
    std::unique_ptr<CAutoStart> m_autoStart;
    std::unique_ptr<CPasswordVault> m_vault;
    std::unique_ptr<CSession> m_session;
};

} // namespace telvora::cli
