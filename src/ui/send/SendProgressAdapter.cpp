#include "send/SendProgressAdapter.h"

namespace telvora {

CSendProgressAdapter::CSendProgressAdapter(QObject* parent)
    : QObject(parent)
{ }

CSendProgressAdapter::~CSendProgressAdapter() = default;

// Called on the worker thread: the receivers live in the UI thread, so Qt queues these.
void CSendProgressAdapter::numbersWritten(int done, int total)
{
    emit progressReported(done, total);
}

void CSendProgressAdapter::sendFinished(int recordId, const std::string& note)
{
    emit finished(recordId, QString::fromStdString(note));
}

void CSendProgressAdapter::sendFailed(int recordId, const std::string& message)
{
    emit failed(recordId, QString::fromStdString(message));
}

void CSendProgressAdapter::recordWriteRetrying(int recordId)
{
    emit writeRetrying(recordId);
}

} // namespace telvora
