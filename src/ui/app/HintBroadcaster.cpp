#include "app/HintBroadcaster.h"

namespace telvora {

HintBroadcaster::HintBroadcaster(QObject* parent)
    : QObject(parent)
{ }

HintBroadcaster::~HintBroadcaster() = default;

void HintBroadcaster::broadcast(int hint)
{
    m_pending.enqueue(hint);
    if (m_delivering)
        return;
    m_delivering = true;
    while (!m_pending.isEmpty())
        emit hintBroadcast(m_pending.dequeue());
    m_delivering = false;
}

} // namespace telvora
