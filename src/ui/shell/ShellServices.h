#pragma once

namespace telvora {

class CAppContext;
class CLoginService;
class CPasswordVault;
class CSendEngine;
class CServiceClient;
class CSessionKeeper;
class CSendProgressAdapter;
class CWebClient;
class HintBroadcaster;
class LoginGate;
class Prompter;
class RecipientHandOver;
struct CSession;
struct ShellOptions;

// The process-wide objects the application object owns, handed down to the main window
// and its dialogs. Everything outlives the windows that use it.
struct ShellServices
{
    CAppContext& app;
    CSession& session;
    CWebClient& web;
    CServiceClient& service;
    CLoginService& login;
    CSessionKeeper& keeper;
    Prompter& prompter;
    LoginGate& loginGate;
    HintBroadcaster& hints;
    CSendEngine& sendEngine;
    CSendProgressAdapter& sendProgress;
    RecipientHandOver& handOver;
    const ShellOptions& options;
    // The desktop's secret store for remembered passwords; null without one.
    CPasswordVault* vault = nullptr;
};

} // namespace telvora
