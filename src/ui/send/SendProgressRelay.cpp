#include "send/SendProgressRelay.h"

namespace telvora {

SendProgressRelay::SendProgressRelay(QObject* parent)
    : QObject(parent)
{ }

SendProgressRelay::~SendProgressRelay() = default;

void SendProgressRelay::numbersWritten(int done, int total)
{
    emit progressReported(done, total);
}

void SendProgressRelay::sendFinished(int recordId)
{
    emit sendCompleted(recordId);
}

void SendProgressRelay::noJobCreated(int recordId, const std::string& message)
{
    emit sendFailed(recordId, QString::fromStdString(message));
}

} // namespace telvora
