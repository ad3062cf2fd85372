#pragma once

#include "shell/ShellOptions.h"

#include <QObject>
#include <QPointer>
#include <memory>

namespace telvora {

class CAppContext;
class CAutoStart;
class CDiagnosticLog;
class CLoginService;
class CPasswordVault;
class CMainFrame;
class CSendEngine;
class CSendProgressAdapter;
class CServiceClient;
class CSessionKeeper;
class CSingleInstance;
class CWebClient;
class HintBroadcaster;
class LoginGate;
class Prompter;
class RecipientHandOver;
struct CSession;
struct ShellServices;

// The application object: refuses a second copy, owns the process-wide values (data
// directory, setup file, database connection, parameters, session, service client, send
// engine) for the life of the process, opens the offline database and runs the login
// dialog before the main window shows.
class CTelvoraApp final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CTelvoraApp)

public:
    enum class StartResult { Running, AlreadyRunning, Failed };

    CTelvoraApp(Prompter& prompter, ShellOptions options, QObject* parent = nullptr);
    ~CTelvoraApp() override;

    // The start-up sequence. Running: the login dialog is open and the main window shows
    // when it closes. AlreadyRunning: "系统已经登录" was shown and nothing was touched.
    StartResult Start();

    CMainFrame* mainFrame() const { return m_frame; }
    CAppContext& context() const { return *m_context; }
    CSession& session() const { return *m_session; }
    CServiceClient& service() const { return *m_service; }
    CSendEngine& sendEngine() const { return *m_sendEngine; }
    HintBroadcaster& hints() const { return *m_hints; }
    ShellServices& services() const { return *m_services; }

private:
    Prompter& m_prompter;
    ShellOptions m_options;
    std::unique_ptr<CSingleInstance> m_instance;
    std::unique_ptr<CAppContext> m_context;
    std::unique_ptr<CDiagnosticLog> m_log;
    std::unique_ptr<CWebClient> m_web;
    std::unique_ptr<CServiceClient> m_service;
    std::unique_ptr<CSession> m_session;
    std::unique_ptr<CAutoStart> m_autoStart;
    std::unique_ptr<CPasswordVault> m_vault;
    std::unique_ptr<CLoginService> m_login;
    std::unique_ptr<CSessionKeeper> m_keeper;
    std::unique_ptr<LoginGate> m_loginGate;
    std::unique_ptr<HintBroadcaster> m_hints;
    std::unique_ptr<CSendProgressAdapter> m_sendProgress;
    std::unique_ptr<CSendEngine> m_sendEngine;
    std::unique_ptr<RecipientHandOver> m_handOver;
    std::unique_ptr<ShellServices> m_services;
    QPointer<CMainFrame> m_frame;
};

} // namespace telvora
