#include "app/HintBroadcaster.h"

#include "app/LoginGate.h"

#include <QDialog>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace telvora;

namespace {

// A view that logs the hints it handles, and whether the gate was open at the time.
struct View : QObject
{
    View(HintBroadcaster& document, const LoginGate& gate, QString name, QStringList& log)
        : name(std::move(name))
    {
        document.listen(this, [this, &gate, &log](int hint) {
            log.append(this->name + ':' + QString::number(hint));
            if (!gate.isOpen())
                ++handledDuringLogin;
            if (onHint)
                onHint(hint);
        });
    }

    QString name;
    std::function<void(int)> onHint;
    int handledDuringLogin = 0;
};

} // namespace

class HintBroadcasterTest : public QObject
{
    Q_OBJECT

private slots:
    void everyViewSeesHintsInTheSameOrder();
    void aModalDialogOnAHintHoldsUpNoOtherView();
    void nothingIsDeliveredWhileALoginRuns();
    void workWaitsForTheLoginInOrder();
};

void HintBroadcasterTest::everyViewSeesHintsInTheSameOrder()
{
    LoginGate gate;
    HintBroadcaster document(gate);
    QStringList log;
    View a(document, gate, "a", log);
    View b(document, gate, "b", log);
    auto closing = std::make_unique<View>(document, gate, "closing", log);
    // The card list sends hint 7 while it handles hint 5.
    a.onHint = [&](int hint) {
        if (hint == HintBroadcaster::NewCardRequested)
            document.broadcast(HintBroadcaster::AddressBookChanged);
    };

    document.broadcast(HintBroadcaster::SendRecordsChanged);
    QCOMPARE(log, (QStringList {"a:4", "b:4", "closing:4"}));

    // A closed view no longer listens; a hint raised while delivering comes after.
    log.clear();
    closing.reset();
    document.broadcast(HintBroadcaster::NewCardRequested);
    QCOMPARE(log, (QStringList {"a:5", "b:5", "a:7", "b:7"}));
}

void HintBroadcasterTest::aModalDialogOnAHintHoldsUpNoOtherView()
{
    LoginGate gate;
    HintBroadcaster document(gate);
    QStringList log;
    View cards(document, gate, "cards", log);
    View records(document, gate, "records", log);
    QPointer<QDialog> editor;
    // The card list opens the new-card editor on hint 5 and waits for it.
    cards.onHint = [&](int hint) {
        if (hint != HintBroadcaster::NewCardRequested)
            return;
        QDialog dialog;
        editor = &dialog;
        // Should delivery stall, the log below shows it instead of the test hanging.
        QTimer::singleShot(10'000, &dialog, &QDialog::reject);
        dialog.exec();
        log.append("editor closed");
    };
    // Meanwhile the other view gets hint 5, and a reply arrives (hint 8) for both.
    records.onHint = [&](int hint) {
        if (hint == HintBroadcaster::NewCardRequested)
            document.broadcast(HintBroadcaster::ReceivedMessagesChanged);
        else if (hint == HintBroadcaster::ReceivedMessagesChanged && editor)
            editor->reject();
    };

    document.broadcast(HintBroadcaster::NewCardRequested);
    QCOMPARE(log, (QStringList {"cards:5", "records:5", "cards:8", "records:8", "editor closed"}));
}

void HintBroadcasterTest::nothingIsDeliveredWhileALoginRuns()
{
    LoginGate gate;
    HintBroadcaster document(gate);
    QStringList log;
    View records(document, gate, "records", log);
    View replies(document, gate, "replies", log);
    auto closing = std::make_unique<View>(document, gate, "closing", log);

    gate.loginStarted();
    document.broadcast(HintBroadcaster::SendRecordsChanged);
    document.broadcast(HintBroadcaster::ReceivedMessagesChanged);
    document.broadcast(HintBroadcaster::SendRecordsChanged);
    QCoreApplication::processEvents();
    QCOMPARE(log, QStringList {});
    closing.reset();

    // Once over, each view reloads once per hint, in the order they came.
    gate.loginOver();
    QCOMPARE(log, (QStringList {"records:4", "replies:4", "records:8", "replies:8"}));
    QCOMPARE(records.handledDuringLogin + replies.handledDuringLogin, 0);

    log.clear();
    document.broadcast(HintBroadcaster::CalendarTasksChanged);
    QCOMPARE(log, (QStringList {"records:9", "replies:9"}));
}

void HintBroadcasterTest::workWaitsForTheLoginInOrder()
{
    LoginGate gate;
    QStringList log;
    QObject timer;
    auto closedView = std::make_unique<QObject>();

    gate.whenOpen(&timer, [&]() { log.append("now"); });
    gate.loginStarted();
    gate.whenOpen(&timer, [&]() { log.append("fetch"); });
    gate.whenOpen(closedView.get(), [&]() { log.append("gone"); });
    gate.whenOpen(&timer, [&]() { log.append("stock"); });
    closedView.reset();
    QCOMPARE(log, QStringList {"now"});

    gate.loginOver();
    QCOMPARE(log, (QStringList {"now", "fetch", "stock"}));
}

QTEST_MAIN(HintBroadcasterTest)
#include "HintBroadcasterTest.moc"
