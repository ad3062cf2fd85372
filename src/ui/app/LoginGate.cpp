#include "app/LoginGate.h"

#include <utility>

namespace telvora {

LoginGate::LoginGate(QObject* parent)
    : QObject(parent)
{ }

LoginGate::~LoginGate() = default;

void LoginGate::loginStarted()
{
    m_loginUnderWay = true;
}

void LoginGate::loginOver()
{
    if (!m_loginUnderWay)
        return;
    m_loginUnderWay = false;
    for (Waiting& waiting : std::exchange(m_waiting, {})) {
        // A log-in started again by what ran before puts the rest off once more.
        if (!isOpen()) {
            m_waiting.push_back(std::move(waiting));
            continue;
        }
        if (waiting.context)
            waiting.work();
    }
    if (isOpen())
        emit opened();
}

void LoginGate::whenOpen(QObject* context, std::function<void()> work)
{
    if (isOpen())
        work();
    else
        m_waiting.push_back(Waiting {context, std::move(work)});
}

} // namespace telvora
