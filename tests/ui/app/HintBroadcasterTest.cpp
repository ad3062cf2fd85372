#include "app/HintBroadcaster.h"

#include "app/LoginGate.h"

#include <QDialog>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace telvora;

namespace {

// The document, its gate and the log its views write.
struct Document
{
    LoginGate gate;
    HintBroadcaster hints {gate};
    QStringList log;
};

// A view that logs the hints it handles, and whether the gate was open at the time.
struct View : QObject
{
    View(Document& document, QString name)
        : name(std::move(name))
    {
        document.hints.listen(this, [this, &document](int hint) {
            document.log.append(this->name + ':' + QString::number(hint));
            if (!document.gate.isOpen())
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
    Document document;
    QStringList& log = document.log;
    View a(document, "a");
    View b(document, "b");
    auto closing = std::make_unique<View>(document, "closing");
    // The card list sends hint 7 while it handles hint 5.
    a.onHint = [&](int hint) {
        if (hint == HintBroadcaster::NewCardRequested)
            document.hints.broadcast(HintBroadcaster::AddressBookChanged);
    };

    document.hints.broadcast(HintBroadcaster::SendRecordsChanged);
    QCOMPARE(log, (QStringList {"a:4", "b:4", "closing:4"}));

    // A closed view no longer listens; a hint raised while delivering comes after.
    log.clear();
    closing.reset();
    document.hints.broadcast(HintBroadcaster::NewCardRequested);
    QCOMPARE(log, (QStringList {"a:5", "b:5", "a:7", "b:7"}));
}

void HintBroadcasterTest::aModalDialogOnAHintHoldsUpNoOtherView()
{
    Document document;
    QStringList& log = document.log;
    View cards(document, "cards");
    View records(document, "records");
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
            document.hints.broadcast(HintBroadcaster::ReceivedMessagesChanged);
        else if (hint == HintBroadcaster::ReceivedMessagesChanged && editor)
            editor->reject();
    };

    document.hints.broadcast(HintBroadcaster::NewCardRequested);
    QCOMPARE(log, (QStringList {"cards:5", "records:5", "cards:8", "records:8", "editor closed"}));
}

void HintBroadcasterTest::nothingIsDeliveredWhileALoginRuns()
{
    Document document;
    QStringList& log = document.log;
    View records(document, "records");
    View replies(document, "replies");
    auto closing = std::make_unique<View>(document, "closing");

    document.gate.loginStarted();
    document.hints.broadcast(HintBroadcaster::SendRecordsChanged);
    document.hints.broadcast(HintBroadcaster::ReceivedMessagesChanged);
    document.hints.broadcast(HintBroadcaster::SendRecordsChanged);
    QCoreApplication::processEvents();
    QCOMPARE(log, QStringList {});
    closing.reset();

    // Once over, each view reloads once per hint, in the order they came.
    document.gate.loginOver();
    QCOMPARE(log, (QStringList {"records:4", "replies:4", "records:8", "replies:8"}));
    QCOMPARE(records.handledDuringLogin + replies.handledDuringLogin, 0);

    log.clear();
    document.hints.broadcast(HintBroadcaster::CalendarTasksChanged);
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
