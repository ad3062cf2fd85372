#pragma once

#include <string>

namespace telvora {

/// What the send engine's worker reports. Called on the worker thread: an implementation
/// hands the news to its own thread (the desktop program with queued signals). Nothing is
/// reported for birthday greetings (send mode 2). An observer must outlive the engine.
class CSendObserver
{
public:
    virtual ~CSendObserver() = default;

    /// done of total numbers have their detail rows; reported once per batch.
    virtual void numbersWritten(int done, int total) = 0;
    /// The send went through every batch (some may have failed; the record tells).
    virtual void sendFinished(int recordId) = 0;
    /// The send did not (fully) go out: the service refused to create the job (message is its
    /// text; every number is marked failed), the worker could not open the database, or some
    /// numbers' detail rows could not be written (those were not posted and are counted in
    /// fail_count; message says how many).
    virtual void noJobCreated(int recordId, const std::string& message) = 0;
};

} // namespace telvora
