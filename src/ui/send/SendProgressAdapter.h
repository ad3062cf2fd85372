#pragma once

#include "send/SendObserver.h"

#include <QObject>
#include <QString>

namespace telvora {

// The send engine's observer for the desktop program: the worker's reports become
// signals of this object, which lives in the UI thread, so they arrive queued there.
class CSendProgressAdapter final : public QObject, public CSendObserver
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSendProgressAdapter)

public:
    explicit CSendProgressAdapter(QObject* parent = nullptr);
    ~CSendProgressAdapter() override;

    void numbersWritten(int done, int total) override;
    void sendFinished(int recordId, const std::string& note) override;
    void sendFailed(int recordId, const std::string& message) override;
    void recordWriteRetrying(int recordId) override;

signals:
    void progressReported(int done, int total);
    void finished(int recordId, const QString& note);
    void failed(int recordId, const QString& message);
    void writeRetrying(int recordId);
};

} // namespace telvora
