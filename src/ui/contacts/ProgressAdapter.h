#pragma once

#include "contacts/ProgressObserver.h"

#include <QObject>

namespace telvora {

// Carries an import's or export's progress from its worker thread to the window as a queued signal.
class CProgressAdapter final : public QObject, public CProgressObserver
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CProgressAdapter)

public:
    explicit CProgressAdapter(QObject* parent = nullptr);

    void progressed(std::size_t done, std::size_t total) override;

signals:
    void progressReported(int done, int total);
};

} // namespace telvora
