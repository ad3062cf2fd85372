#pragma once

namespace telvora {

class CAppContext;
class CSendEngine;
class FrameServices;
class HintBroadcaster;
class LoginGate;
class Prompter;
class RecipientHandOver;
struct CSession;

// What the reminder views and dialogs work with, handed down by the main window.
struct RemindServices
{
    CAppContext& app; // working database and parameters
    const CSession& session;
    CSendEngine& engine;
    Prompter& prompter;
    HintBroadcaster& hints;
    RecipientHandOver& handOver;
    FrameServices& frame;
    LoginGate& gate;
};

} // namespace telvora
