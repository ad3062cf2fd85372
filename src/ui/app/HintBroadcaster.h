#pragma once

#include <QObject>
#include <QPointer>
#include <deque>
#include <functional>
#include <vector>

namespace telvora {

class LoginGate;

// The document side of the views: a change that several views must see is broadcast
// with an integer hint, and each view reloads what the hint concerns and ignores the
// rest.
//
// Every view gets every hint in the order they were broadcast. A hint raised by a view
// while it handles another one comes after the current one has reached every view. A
// view that opens a modal dialog on a hint does not hold up the others: the dialog's
// event loop carries on delivering. While a log-in is under way nothing is delivered;
// what piled up meanwhile follows when it is over, each hint once per view.
class HintBroadcaster final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HintBroadcaster)

public:
    enum Hint : int {
        NumbersHandedOver = 1, // the send view takes the hand-over lists
        SendRecordsChanged = 4,
        NewCardRequested = 5, // the card list opens the new-card editor
        AllDataReplaced = 6,
        AddressBookChanged = 7, // cards, folders or the whole database
        ReceivedMessagesChanged = 8,
        CalendarTasksChanged = 9,
    };
    Q_ENUM(Hint)

    using Handler = std::function<void(int hint)>;

    explicit HintBroadcaster(LoginGate& gate, QObject* parent = nullptr);
    ~HintBroadcaster() override;

    // view hears every hint from now on, until it is destroyed.
    void listen(QObject* view, Handler handler);
    template <typename View> void listen(View* view, void (View::*slot)(int))
    {
        listen(view, [view, slot](int hint) { (view->*slot)(hint); });
    }

public slots:
    void broadcast(int hint);

signals:
    // A hint was broadcast (before the views have it).
    void hintRaised(int hint);

private:
    struct Listener
    {
        quint64 id;
        QPointer<QObject> view;
        Handler handler;
    };
    struct Delivery
    {
        quint64 listener;
        int hint;
    };

    void deliver();
    void deliverLater();
    const Listener* listener(quint64 id) const;

    LoginGate& m_gate;
    std::vector<Listener> m_listeners;
    std::deque<Delivery> m_pending;
    quint64 m_nextId = 1;
    bool m_delivering = false;
    bool m_continuationPosted = false;
};

} // namespace telvora
