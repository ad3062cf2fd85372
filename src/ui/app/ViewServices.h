#pragma once

namespace telvora {

class CAppContext;
class CSendEngine;
class CServiceClient;
class FrameServices;
class HintBroadcaster;
class LoginGate;
class Prompter;
class RecipientHandOver;
struct CSession;

// What the pages and their dialogs work with, handed down by the main window; all of it
// outlives them.
struct ViewServices
{
    CAppContext& app; // working database and parameters
    const CSession& session;
    CServiceClient& service;
    CSendEngine& engine;
    Prompter& prompter;
    HintBroadcaster& hints;
    RecipientHandOver& handOver;
    FrameServices& frame;
    LoginGate& gate;
};

} // namespace telvora
