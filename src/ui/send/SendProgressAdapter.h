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
    void sendFinished(int recordId) override;
    void noJobCreated(int recordId, const std::string& message) override;

signals:
    void progressReported(int done, int total);
    void finished(int recordId);
    void failed(int recordId, const QString& message);
};

} // namespace telvora
