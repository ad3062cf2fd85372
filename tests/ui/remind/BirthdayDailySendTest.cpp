#include "remind/BirthdayDailySend.h"

#include "remind/BirthWishDialog.h"
#include "remind/BirthdayGreeter.h"
#include "remind/RemindFixture.h"

#include <QLabel>
#include <QtTest>

namespace telvora {

class BirthdayDailySendTest : public QObject
{
    Q_OBJECT

private slots:
    void fridayGreetsTodayAndOffersTheWeekend();
    void cancelledConfirmationStopsEverything();
    void secondLoginOfTheDaySendsNothing();
    void brokenParametersAreReported();
    void emptyDayStillOffersTheWeekendAndTriesAgain();
};

namespace {

struct Birthdays : test::RemindFixture
{
    Birthdays()
    {
        execute("INSERT INTO tbl_card (id, phone, birtyday, isll) VALUES (1, '13800000001', '1990-12-04', 0),"
                "(2, '13800000002', '1991-12-05', 0)");
        app->GetParameters().Set("AutoSendBirth", "1");
        app->GetParameters().Set("BirthConfirm", "1");
        app->GetParameters().Set("BirthdayTime", "1900-01-01 10:0:0");
        app->GetParameters().Set("BirthSendDate", "2026-12-01");
        app->GetParameters().Set("BirthSMSContent", "生日快乐");
    }
    QString sendTimes()
    {
        engine->Wait();
        CADORecordset rows(&db());
        QStringList times;
        rows.Open("SELECT send_time FROM tbl_sendsms ORDER BY id");
        for (; !rows.IsEOF(); rows.MoveNext()) {
            std::string time;
            rows.GetFieldValue(0, time);
            times << QString::fromStdString(time);
        }
        return times.join(QLatin1Char(','));
    }
};

const DateTime kFridayMorning = DateTime::parse("2026-12-04 08:00:00");

} // namespace

void BirthdayDailySendTest::fridayGreetsTodayAndOffersTheWeekend()
{
    Birthdays fixture;
    fixture.prompter.answerQuestion(true);
    QString offered;
    test::onNextModal(&fixture.scope, [&offered](QDialog* dialog) {
        offered = qobject_cast<CBirthWishDialog*>(dialog)->textLine()->text();
        dialog->accept();
    });
    CBirthdayDailySend send(fixture.services());
    send.run(kFridayMorning);
    QCOMPARE(fixture.prompter.lastText(), QStringLiteral("您今天有[1]个客户需要发送生日短信，您确认是否需要发送？"));
    QCOMPARE(offered, QStringLiteral("本周未双休日期间共有 1 名用户过生日，是否提交定时生日祝福"));
    QCOMPARE(fixture.sendTimes(), QStringLiteral("2026-12-04 10:00:00,2026-12-05 10:00:00"));
    QCOMPARE(fixture.frame.status, QString::fromUtf8(CBirthdayGreeter::kScheduledDone));
    QCOMPARE(QString::fromStdString(fixture.app->GetParameters().Get("BirthSendDate")), QStringLiteral("2026-12-04"));
}

void BirthdayDailySendTest::cancelledConfirmationStopsEverything()
{
    Birthdays fixture;
    fixture.prompter.answerQuestion(false);
    bool weekendShown = false;
    test::onNextModal(&fixture.scope, [&weekendShown](QDialog* dialog) {
        weekendShown = true;
        dialog->reject();
    });
    CBirthdayDailySend send(fixture.services());
    send.run(kFridayMorning);
    QVERIFY(!weekendShown);
    QCOMPARE(fixture.sendRecords(), 0);
    QCOMPARE(QString::fromStdString(fixture.app->GetParameters().Get("BirthSendDate")), QStringLiteral("2026-12-01"));
}

void BirthdayDailySendTest::secondLoginOfTheDaySendsNothing()
{
    Birthdays fixture;
    fixture.app->GetParameters().Set("BirthConfirm", "0");
    const DateTime thursday = DateTime::parse("2026-12-03 11:00:00");
    QVERIFY(fixture.execute("UPDATE tbl_card SET birtyday='1990-12-03' WHERE id=1"));
    CBirthdayDailySend send(fixture.services());
    send.run(thursday);
    QCOMPARE(fixture.sendTimes().count(QLatin1Char(',')), 0);
    QCOMPARE(fixture.sendRecords(), 1);
    QCOMPARE(fixture.frame.status, QString::fromUtf8(CBirthdayGreeter::kSentDone));
    send.run(thursday.addSeconds(3600));
    QCOMPARE(fixture.sendRecords(), 1);
}

void BirthdayDailySendTest::brokenParametersAreReported()
{
    Birthdays fixture;
    fixture.app->GetParameters().Set("BirthdayTime", "soon");
    CBirthdayDailySend send(fixture.services());
    send.run(kFridayMorning);
    QCOMPARE(fixture.prompter.lastText(), QString::fromUtf8(CBirthdayGreeter::kParameterError));
    QCOMPARE(fixture.sendRecords(), 0);
}

void BirthdayDailySendTest::emptyDayStillOffersTheWeekendAndTriesAgain()
{
    Birthdays fixture;
    QVERIFY(fixture.execute("DELETE FROM tbl_card WHERE id=1"));
    test::onNextModal(&fixture.scope, [](QDialog* dialog) { dialog->reject(); });
    CBirthdayDailySend send(fixture.services());
    send.run(kFridayMorning);
    QCOMPARE(fixture.sendRecords(), 0);
    // Nothing went out today, so the next login tries again.
    QCOMPARE(QString::fromStdString(fixture.app->GetParameters().Get("BirthSendDate")), QStringLiteral("2026-12-01"));
}

} // namespace telvora

QTEST_MAIN(telvora::BirthdayDailySendTest)
#include "BirthdayDailySendTest.moc"
