#include "widgets/PropertyGrid.h"

#include <QLineEdit>
#include <QTest>

using namespace telvora;

namespace {

// Opens the value editor of key as a user would, types into it and confirms with Return.
QLineEdit* openEditor(CPropertyGrid& grid, const QString& key)
{
    const QModelIndex index = grid.valueIndex(key);
    grid.setCurrentIndex(index); // opens the editor of an editable cell
    if (!grid.indexWidget(index))
        grid.edit(index);
    return qobject_cast<QLineEdit*>(grid.indexWidget(index));
}

} // namespace

class PropertyGridTest : public QObject
{
    Q_OBJECT

private slots:
    void itemsKeepCaptionKeyAndOrder()
    {
        CPropertyGrid grid;
        grid.addTextItem(QStringLiteral("custom1"), QStringLiteral("等级"), QStringLiteral("A"));
        grid.addDateItem(QStringLiteral("custom9"), QStringLiteral("入会日"));
        QCOMPARE(grid.keys(), (QStringList {QStringLiteral("custom1"), QStringLiteral("custom9")}));
        QCOMPARE(grid.model()->index(1, 0).data().toString(), QStringLiteral("入会日"));
        QVERIFY(grid.isDateItem(QStringLiteral("custom9")));
        QVERIFY(!grid.isDateItem(QStringLiteral("custom1")));
        QVERIFY(grid.date(QStringLiteral("custom9")).isNull());
        grid.setDate(QStringLiteral("custom9"), QDate(2024, 2, 29));
        QCOMPARE(grid.model()->index(1, 1).data().toString(), QStringLiteral("2024-02-29"));
        QVERIFY(!grid.valueIndex(QStringLiteral("missing")).isValid());
    }

    void editsText()
    {
        CPropertyGrid grid;
        grid.addTextItem(QStringLiteral("custom1"), QStringLiteral("等级"));
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QLineEdit* editor = openEditor(grid, QStringLiteral("custom1"));
        QVERIFY(editor);
        editor->setText(QStringLiteral("O'Neil 100% 😀"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(grid.text(QStringLiteral("custom1")), QStringLiteral("O'Neil 100% 😀"));
    }

    void editsDate_data()
    {
        QTest::addColumn<QDate>("before");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("after");
        QTest::newRow("set") << QDate() << "20240229" << QDate(2024, 2, 29);
        QTest::newRow("replaced") << QDate(2020, 1, 1) << "19991231" << QDate(1999, 12, 31);
        QTest::newRow("cleared") << QDate(2020, 1, 1) << "" << QDate();
        QTest::newRow("impossible day keeps the old date") << QDate(2020, 1, 1) << "20230230" << QDate(2020, 1, 1);
        QTest::newRow("half typed keeps the old date") << QDate(2020, 1, 1) << "2023" << QDate(2020, 1, 1);
    }

    void editsDate()
    {
        QFETCH(QDate, before);
        QFETCH(QString, typed);
        QFETCH(QDate, after);
        CPropertyGrid grid;
        grid.addDateItem(QStringLiteral("custom9"), QStringLiteral("入会日"), before);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QLineEdit* editor = openEditor(grid, QStringLiteral("custom9"));
        QVERIFY(editor);
        QCOMPARE(editor->displayText(), before.isNull() ? QStringLiteral("____/__/__") : before.toString("yyyy/MM/dd"));
        editor->clear();
        editor->setCursorPosition(0);
        QTest::keyClicks(editor, typed);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!grid.indexWidget(grid.valueIndex(QStringLiteral("custom9"))));
        QCOMPARE(grid.date(QStringLiteral("custom9")), after);
    }

    void readOnlyOpensNoEditor()
    {
        CPropertyGrid grid;
        grid.setReadOnly(true);
        grid.addTextItem(QStringLiteral("custom1"), QStringLiteral("等级"), QStringLiteral("A"));
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QTest::ignoreMessage(QtWarningMsg, "edit: editing failed");
        QVERIFY(!openEditor(grid, QStringLiteral("custom1")));
        grid.setReadOnly(false);
        QVERIFY(openEditor(grid, QStringLiteral("custom1")));
    }
};

QTEST_MAIN(PropertyGridTest)
#include "PropertyGridTest.moc"
