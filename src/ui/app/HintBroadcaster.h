#pragma once

#include <QObject>
#include <QQueue>

namespace telvora {

// The document side of the views: a change that several views must see is broadcast
// with an integer hint, and each view reloads what the hint concerns and ignores the
// rest. Views connect to hintBroadcast with themselves as context.
//
// A hint raised by a view while it handles another one is delivered after the current
// one has reached every view, so that all views see the hints in the same order.
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
    };
    Q_ENUM(Hint)

    explicit HintBroadcaster(QObject* parent = nullptr);
    ~HintBroadcaster() override;

public slots:
    void broadcast(int hint);

signals:
    void hintBroadcast(int hint);

private:
    QQueue<int> m_pending;
    bool m_delivering = false;
};

} // namespace telvora
