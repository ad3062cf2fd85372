#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

namespace telvora {

// Says whether a log-in is under way. While one runs on its worker the shared database
// connection is being switched to the account's database and the session is being
// refilled: views and timers check here before they touch either, and put off what they
// wanted to do until the log-in is over.
class LoginGate final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LoginGate)

public:
    explicit LoginGate(QObject* parent = nullptr);
    ~LoginGate() override;

    bool isOpen() const { return !m_loginUnderWay; }

    // The login dialog, around the work of its worker.
    void loginStarted();
    void loginOver();

    // Runs work now while the gate is open, otherwise once the log-in is over (in the
    // order asked), unless context is gone by then.
    void whenOpen(QObject* context, std::function<void()> work);

signals:
    void opened();

private:
    struct Waiting
    {
        QPointer<QObject> context;
        std::function<void()> work;
    };

    bool m_loginUnderWay = false;
    std::vector<Waiting> m_waiting;
};

} // namespace telvora
