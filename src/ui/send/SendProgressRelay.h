#pragma once

#include "send/SendObserver.h"

#include <QObject>
#include <QString>

namespace telvora {

// The send engine's observer on the UI side: the worker's reports come out as signals,
// which reach receivers in the UI thread queued and in order.
class SendProgressRelay final : public QObject, public CSendObserver
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SendProgressRelay)

public:
    explicit SendProgressRelay(QObject* parent = nullptr);
    ~SendProgressRelay() override;

    void numbersWritten(int done, int total) override;
    void sendFinished(int recordId) override;
    void noJobCreated(int recordId, const std::string& message) override;

signals:
    void progressReported(int done, int total);
    void sendCompleted(int recordId);
    void sendFailed(int recordId, const QString& message);
};

} // namespace telvora
