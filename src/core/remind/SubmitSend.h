#pragma once

#include "db/DateTime.h"

#include <string>
#include <vector>

namespace telvora {

class CSendEngine;

/// One send of the reminders (birthday greetings, task and custom-date reminders).
struct SendOrder
{
    std::vector<std::string> numbers;
    std::string text;
    int sendMode = 0;
    int insertionMode = 0;
    // The null date sends at once; otherwise the service sends at this moment.
    DateTime sendTime;
};

/// Prepares, schedules and starts the send through the engine. False when the engine refused
/// it at any step; nothing went out then. True without a send when every number has opted
/// out (the engine's GetExcludedNote says how many were left out, as after any send).
bool SubmitSend(CSendEngine& engine, const SendOrder& order);

} // namespace telvora
