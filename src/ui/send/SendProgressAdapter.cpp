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

void CSendProgressAdapter::sendFinished(int recordId)
{
    emit finished(recordId);
}

void CSendProgressAdapter::noJobCreated(int recordId, const std::string& message)
{
    emit failed(recordId, QString::fromStdString(message));
}

} // namespace telvora
