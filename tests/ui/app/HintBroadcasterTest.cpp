#include "app/HintBroadcaster.h"

#include <QTest>
#include <memory>

using namespace telvora;

class HintBroadcasterTest : public QObject
{
    Q_OBJECT

private slots:
    void everyViewSeesHintsInTheSameOrder();
};

void HintBroadcasterTest::everyViewSeesHintsInTheSameOrder()
{
    HintBroadcaster document;
    QStringList log;
    // A view logs what it sees; seeing `on` it broadcasts `then` (a card list sending
    // hint 7 while handling hint 5, say).
    const auto listen = [&](QObject* view, const QString& name, int on, int then) {
        connect(&document, &HintBroadcaster::hintBroadcast, view, [&document, &log, name, on, then](int hint) {
            log.append(name + ':' + QString::number(hint));
            if (hint == on)
                document.broadcast(then);
        });
    };
    QObject a;
    QObject b;
    auto closing = std::make_unique<QObject>();
    listen(&a, "a", HintBroadcaster::NewCardRequested, HintBroadcaster::AddressBookChanged);
    listen(&b, "b", 0, 0);
    listen(closing.get(), "closing", 0, 0);

    document.broadcast(HintBroadcaster::SendRecordsChanged);
    QCOMPARE(log, (QStringList {"a:4", "b:4", "closing:4"}));

    // A closed view no longer listens; a hint raised while delivering comes after.
    log.clear();
    closing.reset();
    document.broadcast(HintBroadcaster::NewCardRequested);
    QCOMPARE(log, (QStringList {"a:5", "b:5", "a:7", "b:7"}));
}

QTEST_GUILESS_MAIN(HintBroadcasterTest)
#include "HintBroadcasterTest.moc"
