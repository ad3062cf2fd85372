#include "remind/TodayView.h"

#include "app/FrameServices.h"
#include "remind/RemindFixture.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace telvora {

namespace {

std::string today(const char* time = "")
{
    return DateTime::now().format("%Y-%m-%d") + time;
}

// A date in another year on today's month and day (29 February falls back to a leap year).
std::string sameDayIn(int year)
{
    const DateTime now = DateTime::now();
    const int y = now.month == 2 && now.day == 29 ? 2000 : year;
    return DateTime::fromFields(y, now.month, now.day).format("%Y-%m-%d");
}

} // namespace

class TodayViewTest : public QObject
{
    Q_OBJECT

private slots:
    void countsTheDayAndFollowsClicks();
    void fieldHandsItsNumbersToTheSendPage();
    void automaticFieldSendsOnceADayWhenOnline();
};

void TodayViewTest::countsTheDayAndFollowsClicks()
{
    test::RemindFixture fixture;
    QVERIFY(fixture.execute("INSERT INTO tbl_sendsms_detail (id, phones, send_time, status, split_count) VALUES (1, "
                            "'1', '"
        + today(" 00:00:01") + "', 1, 1), (2, '2', '" + today(" 00:00:02") + "', -1, 1)"));
    QVERIFY(fixture.execute(
        "INSERT INTO tbl_card (id, phone, birtyday, isll) VALUES (1, '13800000001', '" + sameDayIn(1990) + "', 0)"));
    QVERIFY(fixture.execute(
        "INSERT INTO tbl_holiday (id, name, holiday, Type) VALUES (900, 'Our day', '" + sameDayIn(2008) + "', 4)"));
    fixture.app->GetParameters().Set("AutoSendBirth", "1");
    CTodayView view(fixture.services());
    view.reload();
    QCOMPARE(view.sentLine()->text(), QStringLiteral("今日已发短信 1 条,查看详细请点击..."));
    QCOMPARE(view.receivedLine()->text(), QStringLiteral("今日回复短信 0 条,查看详细请点击..."));
    QCOMPARE(view.birthdayLine()->text(), QStringLiteral("今日有[1]位客户过生日,已启用生日祝福自动发送"));
    QCOMPARE(view.fieldLine(0)->text(), QStringLiteral("自定义日期1:今日共有 0 个到期"));
    QCOMPARE(view.statusLine(0)->text(), QStringLiteral("尚未启用提醒功能"));
    QCOMPARE(view.holidayLine()->text(), QStringLiteral("今天是[Our day]点击发送节日祝福短信！"));

    view.sentLine()->click();
    QCOMPARE(fixture.frame.pages, QStringList {QStringLiteral("短信记录")});
    view.birthdayLine()->click();
    QCOMPARE(fixture.frame.commands, QVector<int> {CmdSettings});
    view.fieldLine(1)->click();
    QCOMPARE(fixture.prompter.lastText(), QStringLiteral("自定义日期2 没有今天到期的客户资料!"));
    QSignalSpy greeting(&view, &CTodayView::holidayGreetingRequested);
    view.holidayLine()->click();
    QCOMPARE(greeting.count(), 1);
    QCOMPARE(greeting.first().first().toInt(), 900);
}

void TodayViewTest::fieldHandsItsNumbersToTheSendPage()
{
    test::RemindFixture fixture;
    QVERIFY(fixture.execute("INSERT INTO tbl_card (id, phone, custom10) VALUES (1, '13800000001', '" + sameDayIn(2001)
        + "'), (2, '13800000002', '" + sameDayIn(1999) + "')"));
    fixture.handOver.handOverNumber("13900000000");
    CTodayView view(fixture.services());
    view.reload();
    QCOMPARE(view.fieldLine(1)->text(), QStringLiteral("自定义日期2:今日共有 2 个到期"));
    QSignalSpy hints(&fixture.hints, &HintBroadcaster::hintRaised);
    view.fieldLine(1)->click();
    QCOMPARE(fixture.handOver.singleNumbers(), (std::vector<std::string> {"13800000001", "13800000002"}));
    QCOMPARE(fixture.frame.pages, QStringList {QStringLiteral("短信群发")});
    QCOMPARE(hints.count(), 1);
    QCOMPARE(hints.first().first().toInt(), int(HintBroadcaster::NumbersHandedOver));
}

void TodayViewTest::automaticFieldSendsOnceADayWhenOnline()
{
    test::RemindFixture fixture;
    QVERIFY(fixture.execute(
        "INSERT INTO tbl_card (id, phone, custom9) VALUES (1, '13800000001', '" + sameDayIn(2001) + "')"));
    QVERIFY(fixture.execute("UPDATE tbl_field_info SET RemainType=1, RemainContent='到期提醒', "
                            "RemainTime='2008-01-01 00:00:00' WHERE id=24"));
    fixture.session.loggedIn = false;
    CTodayView view(fixture.services());
    view.reload();
    QCOMPARE(fixture.sendRecords(), 0);
    QCOMPARE(view.fieldLine(0)->text(), QStringLiteral("自定义日期1:今日共有 1 个到期"));

    fixture.session.loggedIn = true;
    view.reload();
    QCOMPARE(view.statusLine(0)->text(), QStringLiteral("已启用自动发送提醒,任务已完成"));
    QCOMPARE(fixture.sendRecords(), 1);
    QCOMPARE(fixture.scalar("SELECT send_mode FROM tbl_sendsms"), QStringLiteral("3"));
    view.reload();
    QCOMPARE(fixture.sendRecords(), 1);
    view.fieldLine(0)->click();
    QCOMPARE(fixture.prompter.lastText(), QStringLiteral("自定义日期1 今天到期的客户短信已自动发送!"));
}

} // namespace telvora

QTEST_MAIN(telvora::TodayViewTest)
#include "TodayViewTest.moc"
