#include "app/HintBroadcaster.h"

#include <QTest>
#include <memory>

using namespace telvora;

namespace {

// A stand-in for a view: records the hints it sees and may react with hints of its own.
class RecordingView final : public QObject
{
public:
    RecordingView(HintBroadcaster& document, QString name, QStringList& log)
        : m_document(document)
        , m_name(std::move(name))
        , m_log(log)
    {
        connect(&document, &HintBroadcaster::hintBroadcast, this, &RecordingView::onHint);
    }

    // When this view sees `on`, it broadcasts `then` (a card list sending hint 7 while
    // handling hint 5, say).
    void reactWith(int on, int then)
    {
        m_on = on;
        m_then = then;
    }

private:
    void onHint(int hint)
    {
        m_log.append(QStringLiteral("%1:%2").arg(m_name).arg(hint));
        if (hint == m_on)
            m_document.broadcast(m_then);
    }

    HintBroadcaster& m_document;
    QString m_name;
    QStringList& m_log;
    int m_on = 0;
    int m_then = 0;
};

} // namespace

class HintBroadcasterTest : public QObject
{
    Q_OBJECT

private slots:
    void everyViewSeesEveryHint();
    void hintRaisedWhileDeliveringComesAfter();
    void closedViewNoLongerListens();
};

void HintBroadcasterTest::everyViewSeesEveryHint()
{
    HintBroadcaster document;
    QStringList log;
    RecordingView a(document, "a", log);
    RecordingView b(document, "b", log);
    document.broadcast(HintBroadcaster::SendRecordsChanged);
    document.broadcast(HintBroadcaster::ReceivedMessagesChanged);
    QCOMPARE(log, (QStringList {"a:4", "b:4", "a:8", "b:8"}));
}

void HintBroadcasterTest::hintRaisedWhileDeliveringComesAfter()
{
    HintBroadcaster document;
    QStringList log;
    RecordingView a(document, "a", log);
    RecordingView b(document, "b", log);
    a.reactWith(HintBroadcaster::NewCardRequested, HintBroadcaster::AddressBookChanged);

    document.broadcast(HintBroadcaster::NewCardRequested);

    // b sees 5 before 7, as a did.
    QCOMPARE(log, (QStringList {"a:5", "b:5", "a:7", "b:7"}));
}

void HintBroadcasterTest::closedViewNoLongerListens()
{
    HintBroadcaster document;
    QStringList log;
    auto closing = std::make_unique<RecordingView>(document, "closing", log);
    RecordingView staying(document, "staying", log);
    closing.reset();
    document.broadcast(HintBroadcaster::AllDataReplaced);
    QCOMPARE(log, QStringList {"staying:6"});
}

QTEST_GUILESS_MAIN(HintBroadcasterTest)
#include "HintBroadcasterTest.moc"
