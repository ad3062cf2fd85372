#include "widgets/DesktopAlert.h"

#include "widgets/DesktopAlertStack.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <memory>

using namespace telvora;

namespace {

// Long enough that nothing closes by itself while a test looks at it.
constexpr int kStayOpenMs = 600000;

void drag(QWidget* widget, const QPoint& from, const QPoint& by)
{
    const QPoint globalFrom = widget->mapToGlobal(from);
    const QPoint globalTo = globalFrom + by;
    QMouseEvent press(QEvent::MouseButtonPress, from, globalFrom, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent move(QEvent::MouseMove, from + by, globalTo, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, from + by, globalTo, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

} // namespace

class DesktopAlertTest : public QObject
{
    Q_OBJECT

private slots:
    void looksAsSpecifiedAndClosesByItsButton();
    void closesItselfAfterItsTime();
    void alertsStackWithoutOverlapping();
    void freedPlaceIsReused();
    void rememberedPlaceIsUsed_data();
    void rememberedPlaceIsUsed();
    void draggingRemembersThePlace();
};

void DesktopAlertTest::looksAsSpecifiedAndClosesByItsButton()
{
    QPointer<DesktopAlert> alert = new DesktopAlert("回复提醒：收到[13800138000]回复短信", "短信内容：你好!");
    alert->setTimings(0, kStayOpenMs);
    alert->popup(QPoint(40, 30));
    QCOMPARE(alert->geometry(), QRect(40, 30, 280, 80));
    QVERIFY(alert->windowFlags() & Qt::WindowStaysOnTopHint);
    QTRY_COMPARE(alert->windowOpacity(), DesktopAlert::kOpacity);
    QTest::mouseClick(alert->findChild<QToolButton*>("closeButton"), Qt::LeftButton);
    QTRY_VERIFY(alert.isNull());
}

void DesktopAlertTest::closesItselfAfterItsTime()
{
    QPointer<DesktopAlert> alert = new DesktopAlert("caption", "text");
    QSignalSpy closed(alert.data(), &DesktopAlert::closed);
    alert->setTimings(10, 50);
    alert->popup(QPoint(0, 0));
    QTRY_VERIFY(alert.isNull());
    QCOMPARE(closed.count(), 1);
}

void DesktopAlertTest::alertsStackWithoutOverlapping()
{
    DesktopAlertStack stack;
    stack.setTimings(0, kStayOpenMs);
    // More than fit in one column of the default offscreen screen.
    for (int i = 0; i < 12; ++i)
        stack.showAlert(QStringLiteral("回复 %1").arg(i), "text");
    const QList<DesktopAlert*> alerts = stack.alerts();
    QCOMPARE(alerts.size(), 12);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    for (int i = 0; i < alerts.size(); ++i) {
        QVERIFY(area.contains(alerts[i]->geometry()));
        for (int j = i + 1; j < alerts.size(); ++j)
            QVERIFY2(
                !alerts[i]->geometry().intersects(alerts[j]->geometry()), qPrintable(QString("%1 %2").arg(i).arg(j)));
    }
    // The first sits in the bottom-right corner, the second right above it.
    QCOMPARE(alerts[0]->geometry().bottomRight(),
        area.bottomRight() - QPoint(DesktopAlertStack::kMargin, DesktopAlertStack::kMargin));
    QCOMPARE(alerts[1]->geometry().bottom() + 1 + DesktopAlertStack::kGap, alerts[0]->geometry().top());
}

void DesktopAlertTest::freedPlaceIsReused()
{
    auto stack = std::make_unique<DesktopAlertStack>();
    stack->setTimings(0, kStayOpenMs);
    stack->showAlert("1", "");
    QPointer<DesktopAlert> middle = stack->showAlert("2", "");
    stack->showAlert("3", "");
    const QRect freed = middle->geometry();
    middle->close();
    QTRY_VERIFY(middle.isNull());
    QCOMPARE(stack->alerts().size(), 2);

    QPointer<DesktopAlert> next = stack->showAlert("4", "");
    QCOMPARE(next->geometry(), freed);

    // The stack's end closes the alerts still open.
    stack.reset();
    QVERIFY(next.isNull());
}

void DesktopAlertTest::rememberedPlaceIsUsed_data()
{
    QTest::addColumn<QPoint>("anchor");
    QTest::addColumn<int>("secondDy");

    QTest::newRow("upper half stacks downwards") << QPoint(100, 20) << 84;
    QTest::newRow("lower half stacks upwards") << QPoint(100, 400) << -84;
}

void DesktopAlertTest::rememberedPlaceIsUsed()
{
    QFETCH(QPoint, anchor);
    QFETCH(int, secondDy);
    DesktopAlertStack stack;
    stack.setTimings(0, kStayOpenMs);
    stack.setAnchor(anchor);
    QCOMPARE(stack.showAlert("1", "")->pos(), anchor);
    QCOMPARE(stack.showAlert("2", "")->pos(), anchor + QPoint(0, secondDy));
}

void DesktopAlertTest::draggingRemembersThePlace()
{
    DesktopAlertStack stack;
    stack.setTimings(0, kStayOpenMs);
    QSignalSpy anchorChanged(&stack, &DesktopAlertStack::anchorChanged);
    DesktopAlert* first = stack.showAlert("1", "");
    const QPoint start = first->pos();

    drag(first, QPoint(20, 20), QPoint(-150, -200));

    QCOMPARE(first->pos(), start + QPoint(-150, -200));
    QCOMPARE(anchorChanged.count(), 1);
    QCOMPARE(anchorChanged.at(0).at(0).toPoint(), first->pos());
    QCOMPARE(stack.anchor().value(), first->pos());
    // The next alert goes beside the dragged one, not on top of it.
    DesktopAlert* second = stack.showAlert("2", "");
    QVERIFY(!second->geometry().intersects(first->geometry()));

    // A plain click is no drag.
    drag(second, QPoint(20, 20), QPoint(0, 0));
    QCOMPARE(anchorChanged.count(), 1);
}

QTEST_MAIN(DesktopAlertTest)
#include "DesktopAlertTest.moc"
