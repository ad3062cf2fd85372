#include "app/QtPrompter.h"
#include "support/ScriptedPrompter.h"
#include "widgets/ReportView.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

using namespace telvora;

namespace {

// A tiny number list in the manner of the views: it asks before clearing and exports
// through a save dialog, all through the Prompter it is given.
class NumberListWidget final : public QWidget
{
public:
    explicit NumberListWidget(Prompter& prompter)
        : m_prompter(prompter)
        , m_list(new ReportView(this))
    {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(m_list);
        m_list->setColumns({{"手机号码"}});
    }

    void addNumber(const QString& number) { m_list->appendRow(ReportRow {{number}, {}}); }
    int count() const { return m_list->rowCount(); }

    void onClearClicked()
    {
        if (!m_prompter.question(this, "您确认要清除所有添加的手机号码？"))
            return;
        m_list->clear();
        m_prompter.information(this, "已清除");
    }

    void onExportClicked()
    {
        if (m_list->rowCount() == 0) {
            m_prompter.information(this, "没有可导出的手机号码!");
            return;
        }
        const QString path = m_prompter.getSaveFileName(
            this, FileRequest {"请输入要导出的文件名", "待发手机号码列表.txt", "txt Files (*.txt)", "txt"});
        if (path.isEmpty())
            return;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            m_prompter.error(this, "创建导出文件失败!");
            return;
        }
        for (int r = 0; r < m_list->rowCount(); ++r)
            file.write((m_list->cell(r, 0) + "\n").toUtf8());
    }

private:
    Prompter& m_prompter;
    ReportView* m_list;
};

} // namespace

class PrompterTest : public QObject
{
    Q_OBJECT

private slots:
    void clearAsksFirst_data();
    void clearAsksFirst();
    void exportWritesTheChosenFile();
    void exportToUnwritablePlaceShowsError();
    void qtPrompterCaptionsAndAnswers_data();
    void qtPrompterCaptionsAndAnswers();
};

void PrompterTest::clearAsksFirst_data()
{
    QTest::addColumn<bool>("scripted");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("left");
    QTest::addColumn<QStringList>("texts");

    const QString question = "您确认要清除所有添加的手机号码？";
    QTest::newRow("OK clears") << true << true << 0 << QStringList {question, "已清除"};
    QTest::newRow("Cancel keeps") << true << false << 2 << QStringList {question};
    QTest::newRow("unanswered counts as Cancel") << false << false << 2 << QStringList {question};
}

void PrompterTest::clearAsksFirst()
{
    QFETCH(bool, scripted);
    QFETCH(bool, answer);
    QFETCH(int, left);
    QFETCH(QStringList, texts);

    ScriptedPrompter prompter;
    if (scripted)
        prompter.answerQuestion(answer);
    NumberListWidget widget(prompter);
    widget.addNumber("13800138000");
    widget.addNumber("13900139000");

    widget.onClearClicked();

    QCOMPARE(widget.count(), left);
    QCOMPARE(prompter.texts(), texts);
    QCOMPARE(prompter.shown().first().caption, QString("询问"));
    QCOMPARE(prompter.shown().first().kind, PromptKind::Question);
    QCOMPARE(prompter.unexpectedQuestions(), scripted ? 0 : 1);
    if (texts.size() > 1)
        QCOMPARE(prompter.shown().last().caption, QString("提示"));
}

void PrompterTest::exportWritesTheChosenFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("numbers.txt");
    ScriptedPrompter prompter;
    prompter.answerFile(QString()); // first export: cancelled
    prompter.answerFile(path);
    NumberListWidget widget(prompter);
    widget.onExportClicked();
    QCOMPARE(prompter.lastText(), QString("没有可导出的手机号码!"));

    widget.addNumber("13800138000");
    widget.addNumber("13900139000");
    widget.onExportClicked();
    QVERIFY(!QFile::exists(path));
    widget.onExportClicked();

    QCOMPARE(prompter.pendingAnswers(), 0);
    QCOMPARE(prompter.fileDialogs().size(), 2);
    const FileRequest& request = prompter.fileDialogs().last().request;
    QCOMPARE(prompter.fileDialogs().last().kind, ScriptedPrompter::FileDialog::Save);
    QCOMPARE(request.title, QString("请输入要导出的文件名"));
    QCOMPARE(request.defaultSuffix, QString("txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("13800138000\n13900139000\n"));
}

void PrompterTest::exportToUnwritablePlaceShowsError()
{
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    prompter.answerFile(dir.filePath("missing/folder/numbers.txt"));
    NumberListWidget widget(prompter);
    widget.addNumber("13800138000");
    widget.onExportClicked();
    QCOMPARE(prompter.shown().size(), 1);
    QCOMPARE(prompter.shown().first().kind, PromptKind::Error);
    QCOMPARE(prompter.shown().first().caption, QString("错误"));
}

void PrompterTest::qtPrompterCaptionsAndAnswers_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("press");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QMessageBox::Icon>("icon");
    QTest::addColumn<bool>("result");

    QTest::newRow("question OK") << int(PromptKind::Question) << "确定"
                                 << "询问" << QMessageBox::Question << true;
    QTest::newRow("question Cancel") << int(PromptKind::Question) << "取消"
                                     << "询问" << QMessageBox::Question << false;
    QTest::newRow("information") << int(PromptKind::Information) << "确定"
                                 << "提示" << QMessageBox::Information << true;
    QTest::newRow("error has the stop icon") << int(PromptKind::Error) << "确定"
                                             << "错误" << QMessageBox::Critical << true;
}

void PrompterTest::qtPrompterCaptionsAndAnswers()
{
    QFETCH(int, kind);
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
    const auto promptKind = static_cast<PromptKind>(kind);
    bool answered = false;
    switch (promptKind) {
    case PromptKind::Question:
        answered = prompter.question(nullptr, "您是否确定？");
        break;
    case PromptKind::Information:
        prompter.information(nullptr, "您是否确定？");
        answered = true;
        break;
    case PromptKind::Error:
        prompter.error(nullptr, "您是否确定？");
        answered = true;
        break;
    }
    answer.stop();

    QCOMPARE(answered, result);
    QCOMPARE(seenTitle, caption);
    QCOMPARE(seenText, QString("您是否确定？"));
    QCOMPARE(seenIcon, icon);
}

QTEST_MAIN(PrompterTest)
#include "PrompterTest.moc"
