#pragma once

#include <string>

namespace telvora {

/// What the send engine's worker reports. Called on the worker thread: an implementation
/// hands the news to its own thread (the desktop program with queued signals). Nothing is
/// reported for birthday greetings (send mode 2) unless they are resumed. An observer must
/// outlive the engine.
class CSendObserver
{
public:
    virtual ~CSendObserver() = default;

    /// done of total numbers are handed to the service; reported once per batch, before its post.
    virtual void numbersWritten(int done, int total) = 0;
    /// The send went through every batch (some may have been refused; the record tells).
    /// note names the numbers whose outcome is unknown (posted, no answer), empty when none.
    virtual void sendFinished(int recordId, const std::string& note) = 0;
    /// The send did not (fully) go out; message says why: the service refused to create the
    /// job (its text; every number is marked refused), the worker could not open the
    /// database, or the send was interrupted (the service unreachable, a stop) with numbers
    /// left to resume.
    virtual void sendFailed(int recordId, const std::string& message) = 0;
    /// A write of the send record failed (a busy database, say); it is tried again after a pause.
    virtual void recordWriteRetrying(int recordId) { static_cast<void>(recordId); }
};

} // namespace telvora
