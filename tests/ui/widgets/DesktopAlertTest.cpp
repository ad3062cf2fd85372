#include "widgets/DesktopAlert.h"

#include "widgets/DesktopAlertStack.h"

#include <QApplication>
#include <QLabel>
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

} // namespace

class DesktopAlertTest : public QObject
{
    Q_OBJECT

private slots:
    void sizeAndCloseButton();
    void closesItselfAfterItsTime();
    void alertsStackWithoutOverlapping();
    void freedPlaceIsReused();
    void repliesAreShownAsPlainText();
};

void DesktopAlertTest::sizeAndCloseButton()
{
    QPointer<DesktopAlert> alert = new DesktopAlert("回复提醒：收到[13800138000]回复短信", "短信内容：你好!");
    alert->setTimings(0, kStayOpenMs);
    alert->popup(QPoint(40, 30));
    QCOMPARE(alert->geometry(), QRect(40, 30, 280, 80));
    QVERIFY(alert->windowFlags() & Qt::WindowStaysOnTopHint);
    QTest::mouseClick(alert->findChild<QToolButton*>("closeButton"), Qt::LeftButton);
    QTRY_VERIFY(alert.isNull());
}

void DesktopAlertTest::repliesAreShownAsPlainText()
{
    const QString reply = QStringLiteral("短信内容：<b>中奖</b><img src=\"http://x/y.png\">!");
    DesktopAlert alert(QStringLiteral("回复提醒：收到[<i>1</i>]回复短信"), reply);
    for (const char* name : {"caption", "text"}) {
        const QLabel* label = alert.findChild<QLabel*>(name);
        QVERIFY(label);
        QCOMPARE(label->textFormat(), Qt::PlainText);
    }
    QCOMPARE(alert.text(), reply);
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

QTEST_MAIN(DesktopAlertTest)
#include "DesktopAlertTest.moc"
