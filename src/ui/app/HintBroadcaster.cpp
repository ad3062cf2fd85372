#include "app/HintBroadcaster.h"

#include "app/LoginGate.h"

#include <algorithm>

namespace telvora {

HintBroadcaster::HintBroadcaster(LoginGate& gate, QObject* parent)
    : QObject(parent)
    , m_gate(gate)
{
    connect(&m_gate, &LoginGate::opened, this, &HintBroadcaster::deliver);
}

HintBroadcaster::~HintBroadcaster() = default;

void HintBroadcaster::listen(QObject* view, Handler handler)
{
    const quint64 id = m_nextId++;
    m_listeners.push_back(Listener {id, view, std::move(handler)});
    connect(view, &QObject::destroyed, this,
        [this, id]() { std::erase_if(m_listeners, [id](const Listener& l) { return l.id == id; }); });
}

void HintBroadcaster::broadcast(int hint)
{
    emit hintRaised(hint);
    for (const Listener& l : m_listeners) {
        // A view that has not had this hint yet needs it only once.
        const bool queued = std::any_of(m_pending.cbegin(), m_pending.cend(),
            [&](const Delivery& d) { return d.listener == l.id && d.hint == hint; });
        if (!queued)
            m_pending.push_back(Delivery {l.id, hint});
    }
    if (!m_delivering)
        deliver();
    else
        deliverLater(); // in case the delivery under way waits on a modal dialog
}

void HintBroadcaster::deliver()
{
    const bool outer = !m_delivering;
    m_delivering = true;
    while (!m_pending.empty() && m_gate.isOpen()) {
        const Delivery next = m_pending.front();
        m_pending.pop_front();
        const Listener* l = listener(next.listener);
        if (!l || !l->view)
            continue;
        // Should the view open a modal dialog, its event loop goes on with the others.
        deliverLater();
        const Handler handler = l->handler;
        handler(next.hint);
    }
    if (outer)
        m_delivering = false;
}

void HintBroadcaster::deliverLater()
{
    if (m_continuationPosted)
        return;
    m_continuationPosted = true;
    QMetaObject::invokeMethod(
        this,
        [this]() {
            m_continuationPosted = false;
            if (m_delivering)
                deliver();
        },
        Qt::QueuedConnection);
}

const HintBroadcaster::Listener* HintBroadcaster::listener(quint64 id) const
{
    const auto it
        = std::find_if(m_listeners.cbegin(), m_listeners.cend(), [id](const Listener& l) { return l.id == id; });
    return it == m_listeners.cend() ? nullptr : &*it;
}

} // namespace telvora
