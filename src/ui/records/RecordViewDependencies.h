#pragma once

namespace telvora {

class CAppContext;
class CSendEngine;
class CServiceClient;
class FrameServices;
class HintBroadcaster;
class Prompter;
class RecipientHandOver;
struct CSession;

// What the record pages work with; all of it outlives the pages.
struct RecordViewDependencies
{
    CAppContext& app; // working database and parameters
    const CSession& session;
    CServiceClient& service;
    Prompter& prompter;
    HintBroadcaster& hints;
    RecipientHandOver& handOver;
    FrameServices& frame;
    CSendEngine& engine; // resumes interrupted sends
};

} // namespace telvora
