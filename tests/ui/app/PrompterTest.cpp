#include "app/QtPrompter.h"
#include "support/ScriptedPrompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace telvora;

class PrompterTest : public QObject
{
    Q_OBJECT

private slots:
    void qtPrompterCaptionsAndAnswers_data();
    void qtPrompterCaptionsAndAnswers();
    void scriptedAnswersComeInOrder();
};

void PrompterTest::qtPrompterCaptionsAndAnswers_data()
{
    QTest::addColumn<PromptKind>("kind");
    QTest::addColumn<QString>("press");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QMessageBox::Icon>("icon");
    QTest::addColumn<bool>("result");

    QTest::newRow("question OK") << PromptKind::Question << "确定"
                                 << "询问" << QMessageBox::Question << true;
    QTest::newRow("question Cancel") << PromptKind::Question << "取消"
                                     << "询问" << QMessageBox::Question << false;
    QTest::newRow("information") << PromptKind::Information << "确定"
                                 << "提示" << QMessageBox::Information << true;
    QTest::newRow("error has the stop icon") << PromptKind::Error << "确定"
                                             << "错误" << QMessageBox::Critical << true;
}

void PrompterTest::qtPrompterCaptionsAndAnswers()
{
    QFETCH(PromptKind, kind);
    QFETCH(QString, press);
    QFETCH(QString, caption);
    QFETCH(QMessageBox::Icon, icon);
    QFETCH(bool, result);

    QString seenTitle;
    QString seenText;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    // The box runs its own loop; answer it from a timer once it is up.
    QTimer answer;
    answer.setInterval(10);
    connect(&answer, &QTimer::timeout, this, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(top);
            if (!box || !box->isVisible())
                continue;
            seenTitle = box->windowTitle();
            seenText = box->text();
            seenIcon = box->icon();
            for (QAbstractButton* button : box->buttons()) {
                if (button->text() == press)
                    button->click();
            }
        }
    });
    answer.start();

    QtPrompter prompter;
    const QString text = "您是否确定？";
    bool answered = true;
    if (kind == PromptKind::Question)
        answered = prompter.question(nullptr, text);
    else if (kind == PromptKind::Error)
        prompter.error(nullptr, text);
    else
        prompter.information(nullptr, text);
    answer.stop();

    QCOMPARE(answered, result);
    QCOMPARE(seenTitle, caption);
    QCOMPARE(seenText, text);
    QCOMPARE(seenIcon, icon);
}

// Every other test relies on the double: answers are used once, in order, and a
// question nobody scripted is refused and counted.
void PrompterTest::scriptedAnswersComeInOrder()
{
    ScriptedPrompter prompter;
    prompter.answerQuestion(true);
    prompter.answerFile("a.txt");

    QVERIFY(prompter.question(nullptr, "first"));
    QVERIFY(!prompter.question(nullptr, "second"));
    QCOMPARE(prompter.unexpectedQuestions(), 1);
    prompter.error(nullptr, "failed");
    QCOMPARE(prompter.shown().constLast().caption, QString("错误"));
    QCOMPARE(prompter.texts(), (QStringList {"first", "second", "failed"}));

    QCOMPARE(prompter.getSaveFileName(nullptr, FileRequest {"save", {}, {}, "txt"}), QString("a.txt"));
    QCOMPARE(prompter.getOpenFileName(nullptr, FileRequest {"open", {}, {}, {}}), QString());
    QCOMPARE(prompter.fileDialogs().size(), 2);
    QCOMPARE(prompter.fileDialogs().first().kind, ScriptedPrompter::FileDialog::Save);
    QCOMPARE(prompter.pendingAnswers(), 0);
}

QTEST_MAIN(PrompterTest)
#include "PrompterTest.moc"
