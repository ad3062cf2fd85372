#include "shell/WorkArea.h"

#include <QLabel>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>

using namespace telvora;

namespace {

// A page table whose factories count what they made.
struct Table
{
    QVector<PageRow> rows()
    {
        const auto make = [this](const QString& name) {
            return [this, name](QWidget* parent) -> QWidget* {
                made.append(name);
                auto* widget = new QLabel(name, parent);
                widget->setObjectName(name);
                return widget;
            };
        };
        return {
            {.caption = "cards", .view = make("list"), .left = make("tree"), .leftWidth = 130},
            {.caption = "send", .view = make("send"), .leftWidth = 200, .leftHidden = true},
            {.caption = "records", .view = make("records")},
            {.caption = "calendar", .leftWidth = 170, .docks = {"datePicker"}},
            {.caption = "search",
                .view = make("found"),
                .top = [this](QWidget* parent, QWidget* view) -> QWidget* {
                    made.append("bar over " + view->objectName());
                    return new QLabel(parent);
                },
                .topHeight = 30},
        };
    }
    QStringList made;
};

} // namespace

class WorkAreaTest : public QObject
{
    Q_OBJECT

private slots:
    void pagesAreMadeWhenFirstShown();
    void leftPanes_data();
    void leftPanes();
    void docksFollowThePage();
    void topRowSitsAboveTheView();
};

void WorkAreaTest::pagesAreMadeWhenFirstShown()
{
    Table table;
    CWorkArea area(table.rows());
    QCOMPARE(area.captions(), (QStringList {"cards", "send", "records", "calendar", "search"}));
    QCOMPARE(table.made, QStringList {});
    QVERIFY(!area.view("send"));

    QSignalSpy switched(&area, &CWorkArea::pageSwitched);
    QVERIFY(area.SwitchPage("send"));
    QCOMPARE(table.made, QStringList {"send"});
    QCOMPARE(area.currentPage(), QStringLiteral("send"));
    QCOMPARE(area.view("send")->objectName(), QStringLiteral("send"));

    // Shown again: the same page, not a new one.
    QVERIFY(area.SwitchPage("records"));
    QVERIFY(area.SwitchPage("send"));
    QCOMPARE(table.made, (QStringList {"send", "records"}));
    QCOMPARE(switched.size(), 3);

    QVERIFY(!area.SwitchPage("unknown"));
    QCOMPARE(area.currentPage(), QStringLiteral("send"));
    QCOMPARE(switched.size(), 3);

    // A page without its view yet says so.
    QVERIFY(area.SwitchPage("calendar"));
    auto* placeholder = qobject_cast<QLabel*>(area.view("calendar"));
    QVERIFY(placeholder);
    QCOMPARE(placeholder->text(), QString::fromUtf8(CWorkArea::kUnavailable));
    QVERIFY(!area.leftPane("calendar"));
}

void WorkAreaTest::leftPanes_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("hasLeft");
    QTest::addColumn<bool>("shownAtFirst");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("leftText");

    QTest::newRow("folder tree beside the list") << "cards" << true << true << 130 << "tree";
    QTest::newRow("picker hidden until asked, not built yet")
        << "send" << true << false << 200 << QString::fromUtf8(CWorkArea::kUnavailable);
    QTest::newRow("no left pane") << "records" << false << false << 0 << QString();
}

void WorkAreaTest::leftPanes()
{
    QFETCH(QString, page);
    QFETCH(bool, hasLeft);
    QFETCH(bool, shownAtFirst);
    QFETCH(int, width);
    QFETCH(QString, leftText);

    Table table;
    CWorkArea area(table.rows());
    area.resize(800, 500);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    QVERIFY(area.SwitchPage(page));
    QWidget* left = area.leftPane(page);
    QCOMPARE(left != nullptr, hasLeft);
    if (!hasLeft) {
        area.showLeftPane(true);
        QCOMPARE(qobject_cast<QSplitter*>(area.currentWidget())->count(), 1);
        return;
    }
    QCOMPARE(qobject_cast<QLabel*>(left)->text(), leftText);
    QCOMPARE(left->isVisible(), shownAtFirst);

    area.showLeftPane(true);
    QVERIFY(left->isVisible());
    QTRY_COMPARE(left->width(), width);
    area.showLeftPane(false);
    QVERIFY(!left->isVisible());
    // Another page is not touched by the current one's pane.
    QVERIFY(area.SwitchPage("records"));
    area.showLeftPane(true);
    QVERIFY(left->isHidden());
}

void WorkAreaTest::docksFollowThePage()
{
    Table table;
    CWorkArea area(table.rows());
    QCOMPARE(area.pageDocks(), QStringList {"datePicker"});
    QVERIFY(area.SwitchPage("calendar"));
    QCOMPARE(area.currentDocks(), QStringList {"datePicker"});
    QVERIFY(area.SwitchPage("cards"));
    QCOMPARE(area.currentDocks(), QStringList {});
}

void WorkAreaTest::topRowSitsAboveTheView()
{
    Table table;
    CWorkArea area(table.rows());
    area.resize(800, 500);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    QVERIFY(area.SwitchPage("search"));
    // Made after the view and handed it, so it can drive it.
    QCOMPARE(table.made, (QStringList {"found", "bar over found"}));
    QWidget* top = area.topRow("search");
    QWidget* view = area.view("search");
    QVERIFY(top);
    QTRY_COMPARE(top->height(), 30);
    QCOMPARE(view->y(), top->y() + top->height());
    QCOMPARE(view->height(), top->parentWidget()->height() - 30);
    QVERIFY(!area.topRow("cards"));
}

QTEST_MAIN(WorkAreaTest)
#include "WorkAreaTest.moc"
