#include "app/LoginGate.h"
#include "remind/CalendarRemainView.h"
#include "remind/CalendarTaskStore.h"
#include "remind/RemainEventDlg.h"
#include "remind/RemainListView.h"
#include "remind/RemainSMSDlg.h"
#include "remind/RemindFixture.h"
#include "remind/ReminderCheck.h"
#include "remind/ShowRemainDlg.h"
#include "remind/TaskRules.h"
#include "send/SelCardDlg.h"
#include "widgets/CalendarControl.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QTreeWidget>
#include <QtTest>

namespace telvora {

namespace {

const DateTime kNow = DateTime::parse("2026-12-07 08:00:00");

DateTime fixedNow()
{
    return kNow;
}

CalendarTask preset(const char* start)
{
    CalendarTask task;
    task.start = DateTime::parse(start);
    task.smsTime = task.start;
    task.popupReminder = true;
    task.popupLead = 15;
    task.smsLead = 60;
    return task;
}

int addTask(test::RemindFixture& fixture, const char* name, const char* start, int lead, int type = 0)
{
    CalendarTask task = preset(start);
    task.name = name;
    task.subject = "内容";
    task.popupLead = lead;
    task.type = type;
    CCalendarTaskStore(fixture.db()).Insert(task);
    return task.id;
}

} // namespace

class RemindTasksTest : public QObject
{
    Q_OBJECT

private slots:
    void wizardChecksInOrder_data();
    void wizardChecksInOrder();
    void smsTimeFollowsTheLead();
    void newSmsTaskIsStoredAndScheduled();
    void smsPageNeedsRecipients();
    void editedTaskSendsNoSecondSms();
    void smsNeedsTheLogin();
    void reminderDialogSnoozesAndClears();
    void clearAllFinishesTheListed();
    void checkOpensOneDialogOnlyWhenItMay();
    void typeFilterReachesListAndCalendar();
    void holidayGreetingPresetsTheWizard();
    void deleteActionRemovesTheEvent();
    void calendarModesShowTheirDays();
};

void RemindTasksTest::wizardChecksInOrder_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("start now") << "2026-12-07 08:00"
                               << "n"
                               << "c" << QString::fromUtf8(TaskRules::kStartInPast);
    QTest::newRow("accepted") << "2026-12-07 09:00"
                              << "n"
                              << "c" << QString();
}

void RemindTasksTest::wizardChecksInOrder()
{
    QFETCH(QString, start);
    QFETCH(QString, name);
    QFETCH(QString, content);
    QFETCH(QString, refusal);
    test::RemindFixture fixture;
    CRemainEventDlg wizard(
        preset(start.toUtf8().constData()), true, fixture.session, fixture.prompter, fixture.db(), fixedNow);
    wizard.nameBox()->setText(name);
    wizard.contentBox()->setPlainText(content);
    QCOMPARE(wizard.contentLabel()->text(),
        QStringLiteral("事项内容：如您选择短信提醒，此项为短信发送内容，字数[%1]").arg(content.size()));
    wizard.accept();
    QCOMPARE(fixture.prompter.lastText(), refusal);
    QCOMPARE(wizard.result() == QDialog::Accepted, refusal.isEmpty());
}

// The arithmetic is TaskRules' (core); the wizard hands the lead and the date on.
void RemindTasksTest::smsTimeFollowsTheLead()
{
    test::RemindFixture fixture;
    CalendarTask task = preset("2026-12-08 00:30");
    // The SMS page keeps the date it was given.
    task.smsTime = DateTime::parse("2026-12-07 12:00");
    CRemainEventDlg wizard(task, true, fixture.session, fixture.prompter, fixture.db(), fixedNow);
    wizard.nameBox()->setText(QStringLiteral("n"));
    wizard.contentBox()->setPlainText(QStringLiteral("c"));
    wizard.smsCheck()->setChecked(true);
    wizard.smsLead()->setCurrentText(QStringLiteral("1 小时"));
    QString shown;
    test::onNextModal(&fixture.scope, [&shown](QDialog* dialog) {
        shown = QString::fromStdString(qobject_cast<CRemainSMSDlg*>(dialog)->sendTime().toString());
        dialog->done(CRemainSMSDlg::Back);
    });
    wizard.accept();
    QCOMPARE(shown, QStringLiteral("2026-12-07 23:30:00"));
    // "上一步" leaves the wizard open.
    QVERIFY(wizard.result() != QDialog::Accepted);
}

void RemindTasksTest::newSmsTaskIsStoredAndScheduled()
{
    test::RemindFixture fixture;
    CCalendarRemainView view(fixture.services(), fixedNow);
    view.calendar()->setSelectedDate(QDate(2026, 12, 8));
    connect(&view, &CCalendarRemainView::wizardOpened, this, [](CRemainEventDlg* wizard) {
        wizard->nameBox()->setText(QStringLiteral("Bob's visit"));
        wizard->contentBox()->setPlainText(QStringLiteral("It's at ten"));
        wizard->setStart(DateTime::parse("2026-12-08 10:00"));
        wizard->smsCheck()->setChecked(true);
        test::onNextModal(wizard, [](QDialog* dialog) {
            test::onNextModal(
                dialog,
                [](QDialog* sms) {
                    auto* page = qobject_cast<CRemainSMSDlg*>(sms);
                    test::onNextModal(
                        page,
                        [](QDialog* picker) {
                            auto* box = qobject_cast<CSelCardDlg*>(picker)->numberBox();
                            for (const char* number : {"13800000002", "13800000001"}) {
                                box->setEditText(QString::fromUtf8(number));
                                QTest::keyClick(box->lineEdit(), Qt::Key_Return);
                            }
                            picker->accept();
                        },
                        sms);
                    page->pickButton()->click();
                    QCOMPARE(page->recipientsBox()->text(), QStringLiteral("13800000002;13800000001;"));
                    page->accept();
                },
                dialog);
            dialog->accept();
        });
    });
    view.taskAction(0, 0);
    QCOMPARE(fixture.scalar("SELECT Name || '|' || MsgPhones || '|' || MsgSendTime || '|' || TaskType FROM "
                            "tbl_calendar_task"),
        QStringLiteral("Bob's visit|13800000001;13800000002|2026-12-08 09:00:00|0"));
    QCOMPARE(fixture.sendRecords(), 1);
    QCOMPARE(fixture.scalar("SELECT send_mode || '|' || send_time || '|' || content FROM tbl_sendsms"),
        QStringLiteral("3|2026-12-08 09:00:00|It's at ten"));
    QCOMPARE(view.calendar()->shownOn(QDate(2026, 12, 8)).size(), 1);
}

void RemindTasksTest::smsPageNeedsRecipients()
{
    test::RemindFixture fixture;
    CRemainSMSDlg page(fixture.session, fixture.prompter, fixture.db(), fixedNow);
    page.setSendDate(DateTime::parse("2026-12-08"));
    page.setSendTime(DateTime::parse("2026-12-08 09:00"));
    page.accept();
    QCOMPARE(fixture.prompter.lastText(), QString::fromUtf8(TaskRules::kNoRecipients));
    // Typed text is no recipient: only the picker's numbers are.
    QVERIFY(!page.recipientsBox()->isEnabled());
    page.setRecipientsText(QStringLiteral(" ; "));
    page.accept();
    QCOMPARE(fixture.prompter.lastText(), QString::fromUtf8(TaskRules::kNoRecipients));
    fixture.session.userType = "会员用户";
    page.setPicked({{"13800000001"}, "张三;"});
    page.accept();
    QCOMPARE(fixture.prompter.lastText(), QString::fromUtf8(TaskRules::kMemberRefused));
    QVERIFY(page.result() != QDialog::Accepted);
}

void RemindTasksTest::editedTaskSendsNoSecondSms()
{
    test::RemindFixture fixture;
    CalendarTask task = preset("2026-12-08 10:00");
    task.name = "visit";
    task.subject = "sent already";
    task.smsReminder = true;
    task.phones = "13800000001";
    task.smsTime = DateTime::parse("2026-12-08 09:00");
    CCalendarTaskStore(fixture.db()).Insert(task);
    CCalendarRemainView view(fixture.services(), fixedNow);
    bool readOnly = false;
    connect(&view, &CCalendarRemainView::wizardOpened, this, [&readOnly](CRemainEventDlg* wizard) {
        readOnly = !wizard->contentBox()->isEnabled() && !wizard->smsCheck()->isEnabled();
        wizard->nameBox()->setText(QStringLiteral("visit moved"));
        test::onNextModal(wizard, [](QDialog* dialog) {
            test::onNextModal(
                dialog, [](QDialog* sms) { sms->accept(); }, dialog);
            dialog->accept();
        });
    });
    view.taskAction(0, task.id);
    QVERIFY(readOnly);
    QCOMPARE(fixture.scalar("SELECT Name FROM tbl_calendar_task"), QStringLiteral("visit moved"));
    QCOMPARE(fixture.sendRecords(), 0);
}

void RemindTasksTest::smsNeedsTheLogin()
{
    test::RemindFixture fixture;
    fixture.session.loggedIn = false;
    CRemainEventDlg wizard(preset("2026-12-08 10:00"), true, fixture.session, fixture.prompter, fixture.db(), fixedNow);
    wizard.smsCheck()->setChecked(true);
    QVERIFY(!wizard.smsCheck()->isChecked());
    QCOMPARE(fixture.prompter.lastText(), QString::fromUtf8(TaskRules::kOffline));
}

void RemindTasksTest::reminderDialogSnoozesAndClears()
{
    test::RemindFixture fixture;
    const int first = addTask(fixture, "first", "2026-12-07 08:05", 15);
    const int second = addTask(fixture, "second", "2026-12-07 08:10", 15);
    addTask(fixture, "later", "2026-12-07 12:00", 15);
    CShowRemainDlg dialog(fixture.db(), fixture.prompter, fixture.hints, fixedNow);
    QCOMPARE(dialog.list()->topLevelItemCount(), 2);
    QCOMPARE(dialog.nameLabel()->text(), QStringLiteral("second"));
    QCOMPARE(dialog.startLabel()->text(), QStringLiteral("2026-12-07 08:10"));
    dialog.onSnooze();
    QCOMPARE(fixture.prompter.lastText(), QStringLiteral("请先选中需要暂停的任务!"));
    dialog.onClear();
    QCOMPARE(fixture.prompter.lastText(), QStringLiteral("请先选中需要清除的任务!"));

    dialog.list()->topLevelItem(0)->setSelected(true);
    dialog.spans()->setCurrentText(QStringLiteral("1 小时"));
    dialog.onSnooze();
    QCOMPARE(CCalendarTaskStore(fixture.db()).Load(first)->start.toString(), std::string("2026-12-07 09:00:00"));
    QCOMPARE(dialog.list()->topLevelItemCount(), 1);
    dialog.list()->topLevelItem(0)->setSelected(true);
    dialog.onClear();
    QCOMPARE(CCalendarTaskStore(fixture.db()).Load(second)->status, CalendarTask::kFinished);
    QCOMPARE(dialog.list()->topLevelItemCount(), 0);
}

void RemindTasksTest::clearAllFinishesTheListed()
{
    test::RemindFixture fixture;
    for (const char* name : {"a", "b", "c"})
        addTask(fixture, name, "2026-12-07 08:00", 5);
    const int later = addTask(fixture, "later", "2026-12-07 12:00", 5);
    CShowRemainDlg dialog(fixture.db(), fixture.prompter, fixture.hints, fixedNow);
    dialog.onClearAll();
    QCOMPARE(fixture.scalar("SELECT COUNT(*) FROM tbl_calendar_task WHERE Status=255"), QStringLiteral("3"));
    QCOMPARE(CCalendarTaskStore(fixture.db()).Load(later)->status, CalendarTask::kOpen);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void RemindTasksTest::checkOpensOneDialogOnlyWhenItMay()
{
    test::RemindFixture fixture;
    QWidget window;
    CReminderCheck check(
        fixture.db(), fixture.session, fixture.gate, fixture.prompter, fixture.hints, fixedNow, &window);
    check.check();
    QVERIFY(!check.dialog());
    addTask(fixture, "due", "2026-12-07 08:10", 15);
    fixture.gate.loginStarted();
    check.check();
    QVERIFY(!check.dialog());
    fixture.gate.loginOver();
    fixture.session.loggedIn = false;
    check.check();
    QVERIFY(!check.dialog());
    fixture.session.loggedIn = true;
    check.check();
    QPointer<CShowRemainDlg> first = check.dialog();
    QVERIFY(first);
    check.check();
    QCOMPARE(check.dialog(), first.data());
    first->close();
    QTRY_VERIFY(!first);
}

void RemindTasksTest::typeFilterReachesListAndCalendar()
{
    test::RemindFixture fixture;
    addTask(fixture, "work", "2026-12-08 09:00", 5, 0);
    addTask(fixture, "deal", "2026-12-08 10:00", 5, 1);
    CRemainListView list(fixture.services(), fixedNow);
    CCalendarRemainView calendar(fixture.services(), fixedNow);
    calendar.calendar()->setSelectedDate(QDate(2026, 12, 8));
    connect(&list, &CRemainListView::typeFilterChosen, &calendar, &CCalendarRemainView::reload);
    QCOMPARE(list.tasks()->count(), 2);
    QCOMPARE(list.tasks()->item(0)->text(), QStringLiteral("12月08 09:00:work"));
    list.filters()->button(2)->click();
    QCOMPARE(list.tasks()->count(), 1);
    QCOMPARE(list.tasks()->item(0)->text(), QStringLiteral("12月08 10:00:deal"));
    QCOMPARE(calendar.calendar()->shownOn(QDate(2026, 12, 8)), QVector<int> {2});
    list.filters()->button(0)->click();
    QCOMPARE(calendar.calendar()->shownOn(QDate(2026, 12, 8)).size(), 2);
}

void RemindTasksTest::holidayGreetingPresetsTheWizard()
{
    test::RemindFixture fixture;
    QVERIFY(fixture.execute("DELETE FROM tbl_holiday"));
    QVERIFY(fixture.execute("INSERT INTO tbl_holiday (id, name, holiday, content, Type) VALUES "
                            "(7, '圣诞节', '2008-12-25', 'Merry', 3)"));
    CRemainListView list(fixture.services(), fixedNow);
    list.onSendHolidayGreeting();
    QCOMPARE(fixture.prompter.lastText(), QStringLiteral("请先选择一个需要发送短信的节日!"));
    CCalendarRemainView view(fixture.services(), fixedNow);
    QString name;
    QString content;
    bool sms = false;
    connect(&view, &CCalendarRemainView::wizardOpened, this, [&](CRemainEventDlg* wizard) {
        name = wizard->nameBox()->text();
        content = wizard->contentBox()->toPlainText();
        sms = wizard->smsCheck()->isChecked();
        const CalendarTask task = wizard->task();
        QCOMPARE(task.type, 2);
        QCOMPARE(task.start.toString(), std::string("2026-12-25 08:00:00"));
        test::onNextModal(wizard, [](QDialog* dialog) { dialog->reject(); });
    });
    view.startHolidayGreeting(7);
    QCOMPARE(name, QStringLiteral("节日短信:圣诞节"));
    QCOMPARE(content, QStringLiteral("Merry"));
    QVERIFY(sms);
    QCOMPARE(fixture.scalar("SELECT COUNT(*) FROM tbl_calendar_task"), QStringLiteral("0"));
}

void RemindTasksTest::deleteActionRemovesTheEvent()
{
    test::RemindFixture fixture;
    const int id = addTask(fixture, "gone", "2026-12-09 09:00", 5);
    CCalendarRemainView view(fixture.services(), fixedNow);
    QVERIFY(view.calendar()->hasEvent(id));
    view.taskAction(CCalendarRemainView::kDeleteAction, id);
    QVERIFY(!view.calendar()->hasEvent(id));
    QCOMPARE(view.calendar()->selectedDate(), QDate(2026, 12, 9));
    QCOMPARE(fixture.scalar("SELECT COUNT(*) FROM tbl_calendar_task"), QStringLiteral("0"));
}

void RemindTasksTest::calendarModesShowTheirDays()
{
    CCalendarControl calendar;
    calendar.setSelectedDate(QDate(2026, 12, 9)); // a Wednesday
    calendar.setEvents({{1, QDateTime(QDate(2026, 12, 9), QTime(9, 0)), QStringLiteral("a"), false},
        {2, QDateTime(QDate(2026, 12, 13), QTime(9, 0)), QStringLiteral("b"), false}});
    const auto range = [&calendar]() { return qMakePair(calendar.firstShown(), calendar.lastShown()); };
    calendar.setMode(CCalendarControl::Mode::Day);
    QCOMPARE(range(), qMakePair(QDate(2026, 12, 9), QDate(2026, 12, 9)));
    calendar.setMode(CCalendarControl::Mode::WorkWeek);
    QCOMPARE(range(), qMakePair(QDate(2026, 12, 7), QDate(2026, 12, 11)));
    QVERIFY(calendar.shownOn(QDate(2026, 12, 13)).isEmpty());
    calendar.setMode(CCalendarControl::Mode::Week);
    QCOMPARE(range(), qMakePair(QDate(2026, 12, 7), QDate(2026, 12, 13)));
    QCOMPARE(calendar.shownOn(QDate(2026, 12, 13)), QVector<int> {2});
    calendar.setMode(CCalendarControl::Mode::Month);
    QCOMPARE(range(), qMakePair(QDate(2026, 11, 30), QDate(2027, 1, 10)));
    QCOMPARE(calendar.headerText(), QStringLiteral("2026年12月"));
    QCOMPARE(calendar.shownOn(QDate(2026, 12, 9)), QVector<int> {1});
    calendar.removeEvent(1);
    QVERIFY(calendar.shownOn(QDate(2026, 12, 9)).isEmpty());
}

} // namespace telvora

QTEST_MAIN(telvora::RemindTasksTest)
#include "RemindTasksTest.moc"
