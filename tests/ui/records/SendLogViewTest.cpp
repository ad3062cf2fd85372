#include "records/SendLogView.h"

#include "RecordsFixture.h"
#include "core/service/LocalServers.h"
#include "db/DateTime.h"
#include "records/IdleSendLogView.h"
#include "records/SMSDetailDlg.h"
#include "tools/ToolFiles.h"
#include "widgets/ReportView.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <mutex>

using namespace telvora;

namespace {

QStringList menuTexts(QMenu* menu)
{
    QStringList texts;
    for (QAction* action : menu->actions())
        texts.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

QStringList column(const ReportView* list, int column)
{
    QStringList cells;
    for (int row = 0; row < list->rowCount(); ++row)
        cells.append(list->cell(row, column));
    return cells;
}

} // namespace

class SendLogViewTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<test::RecordsFixture> f;

    void addRecords()
    {
        const std::string future = DateTime::now().addDays(1).toString();
        const std::string past = DateTime::now().addDays(-1).toString();
        f->execute("INSERT INTO tbl_sendsms (id, content, send_time, send_mode, status, success_count, fail_count, "
                   "is_idle, jobid) VALUES "
                   "(1, '周五开会', '2026-12-01 09:30:00', 1, '已提交', 2, 2, 0, 'J1'),"
                   "(2, '生日快乐', '2026-12-02 10:00:00', 2, '已提交', 1, 0, 0, 'J2'),"
                   "(3, '明天见', '"
            + future
            + "', 1, '已发送', 1, 0, 1, 'J3;J4'),"
              "(4, '已过', '"
            + past
            + "', 1, '已发送', 1, 0, 1, 'J5'),"
              "(5, '取消了', '"
            + future
            + "', 1, '定时已取消', 1, 0, 1, 'J6'),"
              "(6, '无任务', '"
            + future + "', 1, '已发送', 0, 0, 1, '')");
        f->execute("INSERT INTO tbl_sendsms_detail (id, group_id, phones, send_time, status, split_count, content) "
                   "VALUES (1, 1, '13800000001', '2026-12-01 09:30:00', 1, 1, '张三'),"
                   "(2, 1, '13900000002', '2026-12-01 09:30:00', -1, 1, ''),"
                   "(3, 1, '13700000003', '2026-12-01 09:30:00', 2, 1, '欧阳娜'),"
                   "(4, 1, '13600000004', '2026-12-01 09:30:00', 0, 1, ''),"
                   "(5, 1, '12345', '2026-12-01 09:30:00', -1, 1, ''),"
                   "(6, 2, '18900000006', '2026-12-02 10:00:00', 1, 1, '')");
    }

    CSMSDetailDlg* openDetail(CSendRecordListView& view, long id)
    {
        QSignalSpy opened(&view, &CSendRecordListView::detailDialogOpened);
        view.listView()->setFocusedRow(view.listView()->rowOfRecord(id));
        view.onViewDetail();
        if (opened.count() != 1)
            return nullptr;
        return opened.first().first().value<CSMSDetailDlg*>();
    }

private slots:
    void init()
    {
        f = std::make_unique<test::RecordsFixture>();
        addRecords();
    }
    void cleanup() { f.reset(); }

    void listsSendsNewestFirstWithTheirTypes()
    {
        CSendLogView view(f->dependencies());
        const ReportView* list = view.listView();
        QCOMPARE(list->rowCount(), 2);
        // Record 1 has numbers never posted and numbers without an answer: interrupted.
        QCOMPARE(column(list, 2), (QStringList {QStringLiteral("生日短信"), QStringLiteral("普通短信（中断）")}));
        QCOMPARE(list->cell(1, 3), QStringLiteral("2026-12-01 09:30"));
        QCOMPARE(list->cell(1, 4), QStringLiteral("4"));
        QCOMPARE(list->cell(1, 5), QStringLiteral("2"));
        QCOMPARE(list->cell(1, 7), QStringLiteral("2026-12-01"));
        QCOMPARE(menuTexts(view.contextMenu()),
            (QStringList {QStringLiteral("拷贝内容"), QStringLiteral("查看明细"), QStringLiteral("删除记录"),
                QStringLiteral("清空记录"), QStringLiteral("导出记录"), QStringLiteral("继续发送"), QStringLiteral("-"),
                QStringLiteral("提取已发送号码")}));
    }

    void resumeOffersOnlyInterruptedRecords()
    {
        CSendLogView view(f->dependencies());
        const auto resumeAction = [&view]() {
            for (QAction* action : view.contextMenu()->actions()) {
                if (action->text() == QStringLiteral("继续发送"))
                    return action;
            }
            return static_cast<QAction*>(nullptr);
        };
        view.listView()->setFocusedRow(view.listView()->rowOfRecord(2));
        QVERIFY(!resumeAction()->isEnabled());
        view.onResume();
        QCOMPARE(f->prompter.lastText(), QStringLiteral("该记录的号码已全部发送，无需继续发送!"));

        view.listView()->setFocusedRow(view.listView()->rowOfRecord(1));
        QVERIFY(resumeAction()->isEnabled());
        f->prompter.answerQuestion(false); // leave the number of unknown outcome out
        f->prompter.answerQuestion(true);
        view.onResume();
        QCOMPARE(f->prompter.texts().mid(1),
            (QStringList {QStringLiteral("该记录有1个号码发送结果未知，可能已经送达。是否一并重发？"),
                QStringLiteral("您确认要继续发送该记录中尚未发送的1个号码？")}));
        f->engine->Wait();
        QVERIFY(f->calls > 0);
        QCOMPARE(f->frame.status, QStringLiteral("短信正在发送，请不要退出软件!"));
    }

    void recordAndDatabaseHintsReload()
    {
        CSendLogView view(f->dependencies());
        f->execute("INSERT INTO tbl_sendsms (id, content, is_idle) VALUES (9, 'new', 0)");
        f->hints.broadcast(HintBroadcaster::NewCardRequested);
        QCoreApplication::processEvents();
        QCOMPARE(view.listView()->rowCount(), 2);
        f->hints.broadcast(HintBroadcaster::SendRecordsChanged);
        QTRY_COMPARE(view.listView()->rowCount(), 3);
        // A login switches the working database and says so with hint 7.
        QVERIFY(f->app->OpenWorkDatabase("other.db"));
        f->hints.broadcast(HintBroadcaster::AddressBookChanged);
        QTRY_COMPARE(view.listView()->rowCount(), 0);
    }

    void deleteAsksAndTakesTheDetailsClearKeepsScheduled()
    {
        CSendLogView view(f->dependencies());
        view.onDelete();
        QCOMPARE(f->prompter.lastText(), QStringLiteral("请选择要删除的发送记录!"));
        view.listView()->selectRows({view.listView()->rowOfRecord(1)});
        f->prompter.answerQuestion(false);
        view.onDelete();
        QCOMPARE(view.listView()->rowCount(), 2);
        f->prompter.answerQuestion(true);
        view.onDelete();
        QCOMPARE(f->prompter.lastText(), QStringLiteral("您确认要删除选中的发送记录及所有明细记录？"));
        QCOMPARE(view.listView()->rowCount(), 1);
        QCOMPARE(test::RecordsFixture::count(*f->app, "tbl_sendsms_detail WHERE group_id = 1"), 0);
        f->prompter.answerQuestion(true);
        view.onClear();
        QCOMPARE(view.listView()->rowCount(), 0);
        QCOMPARE(test::RecordsFixture::count(*f->app, "tbl_sendsms"), 4);
    }

    void copyTakesTheFocusedMessage()
    {
        CSendLogView view(f->dependencies());
        view.onCopyContent();
        QCOMPARE(f->prompter.lastText(), QStringLiteral("请先选择一条记录!"));
        view.listView()->setFocusedRow(view.listView()->rowOfRecord(2));
        view.onCopyContent();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("生日快乐"));
    }

    void extractingTwiceAppendsTheSentNumbers()
    {
        CSendLogView view(f->dependencies());
        const QString path = QString::fromStdString(f->temp.file("sent.txt"));
        view.listView()->setFocusedRow(view.listView()->rowOfRecord(1));
        f->prompter.answerSaveFile(path);
        view.onExtractNumbers();
        f->prompter.answerSaveFile(path);
        view.onExtractNumbers();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(
            QString::fromUtf8(file.readAll()), QStringLiteral("13800000001\n13700000003\n13800000001\n13700000003\n"));
        QCOMPARE(f->prompter.fileDialogs().first().request.title, QStringLiteral("请输入要导出的文件名"));

        f->execute("UPDATE tbl_sendsms_detail SET status = -1 WHERE group_id = 2");
        view.listView()->setFocusedRow(view.listView()->rowOfRecord(2));
        view.onExtractNumbers();
        QCOMPARE(f->prompter.lastText(), QStringLiteral("未提取到发送记录!"));
    }

    void detailShowsOutcomesNamesAndMessages()
    {
        CSendLogView view(f->dependencies());
        CSMSDetailDlg* dialog = openDetail(view, 1);
        QVERIFY(dialog);
        const ReportView* list = dialog->listView();
        QCOMPARE(column(list, 2),
            (QStringList {QStringLiteral("发送成功"), QStringLiteral("发送异常"), QStringLiteral("结果未知"),
                QStringLiteral("未发送"), QStringLiteral("发送异常")}));
        QCOMPARE(list->cell(0, 5), QStringLiteral("张三"));
        QCOMPARE(list->cell(0, 7), QStringLiteral("张三：周五开会"));
        QCOMPARE(list->cell(2, 7), QStringLiteral("欧阳娜：周五开会"));
        QCOMPARE(list->cell(1, 7), QStringLiteral("周五开会"));
        QCOMPARE(list->cell(0, 3), QStringLiteral("09:30"));
        dialog->groupCheck()->setChecked(true);
        QCOMPARE(list->groupColumn(), 2);
        dialog->reject();
    }

    void exportTakesEveryRecordOfTheListsKind()
    {
        CSendLogView sent(f->dependencies());
        CIdleSendLogView scheduled(f->dependencies());
        const QString path = QString::fromStdString(f->temp.file("records.csv"));
        // A filter on screen does not narrow the export.
        sent.setSearchText(QStringLiteral("生日"));
        f->prompter.answerSaveFile(path);
        sent.onExport();
        QCOMPARE(f->prompter.lastText(), QStringLiteral("导出短信发送成功"));
        QCOMPARE(f->prompter.fileDialogs().last().request.path, QStringLiteral("短信发送记录.xlsx"));
        QCOMPARE(test::readToolFile(path).count('\n'), 3);
        f->prompter.answerSaveFile(path);
        scheduled.onExport();
        QCOMPARE(test::readToolFile(path).count('\n'), 5);

        const int shown = f->prompter.shown().size();
        sent.onExport(); // the file dialog cancelled
        QCOMPARE(f->prompter.shown().size(), shown);
        f->prompter.answerSaveFile(QString::fromStdString(f->temp.file("missing/records.csv")));
        sent.onExport();
        QCOMPARE(f->prompter.lastText(), QStringLiteral("导出短信发送失败"));

        f->prompter.answerQuestion(true);
        sent.onClear();
        sent.onExport();
        QCOMPARE(f->prompter.lastText(), QStringLiteral("没有可导出的短信发送记录!"));
    }

    void detailExportWritesEveryNumberOfTheRecord()
    {
        CSendLogView view(f->dependencies());
        CSMSDetailDlg* dialog = openDetail(view, 1);
        QVERIFY(dialog);
        dialog->findEdit()->setText(QStringLiteral("139"));
        const QString path = QString::fromStdString(f->temp.file("detail.csv"));
        f->prompter.answerSaveFile(path);
        dialog->onExport();
        QCOMPARE(f->prompter.lastText(), QStringLiteral("导出短信发送明细成功"));
        QCOMPARE(f->prompter.fileDialogs().last().request.path, QStringLiteral("短信发送明细记录.xlsx"));
        const QString text = QString::fromUtf8(test::readToolFile(path));
        QCOMPARE(text.count(QLatin1Char('\n')), 6);
        QVERIFY(text.contains(QStringLiteral("结果未知,13700000003,1,2026-12-01 09:30:00,周五开会")));
        dialog->reject();
    }

    void resendAllTakesTheShownNumbersToTheSendPage()
    {
        CSendLogView view(f->dependencies());
        CSMSDetailDlg* dialog = openDetail(view, 1);
        QVERIFY(dialog);
        dialog->findEdit()->setText(QStringLiteral("139"));
        dialog->resend(CSMSDetailDlg::Resend::All);
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(f->handOver.recipients(), (std::vector<std::string> {"13900000002"}));
        QCOMPARE(f->handOver.recipientCounts().total(), std::size_t(1));
        QCOMPARE(f->frame.pages, QStringList {QStringLiteral("短信群发")});
    }

    void resendFailedAsksBeforeUnknownOutcomes_data()
    {
        QTest::addColumn<bool>("includeUnknown");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("refused only") << false << QStringList {QStringLiteral("13900000002")};
        QTest::newRow("with unknown") << true
                                      << QStringList {QStringLiteral("13900000002"), QStringLiteral("13700000003")};
    }
    void resendFailedAsksBeforeUnknownOutcomes()
    {
        QFETCH(bool, includeUnknown);
        QFETCH(QStringList, numbers);
        CSendLogView view(f->dependencies());
        CSMSDetailDlg* dialog = openDetail(view, 1);
        QVERIFY(dialog);
        f->prompter.answerQuestion(includeUnknown);
        dialog->resend(CSMSDetailDlg::Resend::Failed);
        QStringList taken;
        for (const std::string& number : dialog->numbers())
            taken.append(QString::fromStdString(number));
        QCOMPARE(taken, numbers);
        QCOMPARE(f->prompter.unexpectedQuestions(), 0);
    }

    void emptyResendChoicesKeepTheDialogOpen()
    {
        CIdleSendLogView view(f->dependencies());
        CSMSDetailDlg* dialog = openDetail(view, 3);
        QVERIFY(dialog);
        dialog->resend(CSMSDetailDlg::Resend::All);
        QCOMPARE(f->prompter.lastText(), QStringLiteral("没有发送记录明细!"));
        dialog->resend(CSMSDetailDlg::Resend::Failed);
        QCOMPARE(f->prompter.lastText(), QStringLiteral("没有失败的记录明细!"));
        dialog->resend(CSMSDetailDlg::Resend::Selected);
        QCOMPARE(f->prompter.lastText(), QStringLiteral("请选择要重发的记录明细!"));
        QVERIFY(dialog->isVisible());
        dialog->reject();
    }

    void scheduledListDeleteAndClearKeepPendingSends()
    {
        CIdleSendLogView view(f->dependencies());
        // The status texts are RecordTexts' (core); the list shows them and the job ids.
        QCOMPARE(column(view.listView(), 1),
            (QStringList {QStringLiteral("已提交"), QStringLiteral("定时已取消"), QStringLiteral("已发送"),
                QStringLiteral("已提交")}));
        QCOMPARE(view.listView()->cell(3, 8), QStringLiteral("J3;J4"));
        QCOMPARE(menuTexts(view.contextMenu()).last(), QStringLiteral("取消发送"));
        QVector<int> all;
        for (int row = 0; row < view.listView()->rowCount(); ++row)
            all.append(row);
        view.listView()->selectRows(all);
        f->prompter.answerQuestion(true);
        view.onDelete();
        QCOMPARE(view.listView()->rowCount(), 2);
        QCOMPARE(test::RecordsFixture::count(*f->app, "tbl_sendsms WHERE is_idle = 1"), 2);
        f->execute("UPDATE tbl_sendsms SET status = '定时已取消' WHERE id = 3");
        view.reload();
        f->prompter.answerQuestion(true);
        view.onClear();
        QCOMPARE(view.listView()->rowCount(), 1);
        QCOMPARE(view.listView()->rowData(0).toLongLong(), 6);
    }

    void cancelPostsTheJobsAndMarksTheRecord()
    {
        test::LocalHttpServer server;
        std::mutex mutex;
        QStringList bodies;
        server.server().Post(
            "/Services.asmx/CancelJob", [&](const httplib::Request& request, httplib::Response& response) {
                std::lock_guard lock(mutex);
                bodies.append(QString::fromStdString(request.body));
                const bool succeed = request.body.find("J3") != std::string::npos;
                response.set_content(
                    succeed ? "<R><RetCode>Sucess</RetCode></R>" : "<R><RetCode>Faild</RetCode></R>", "text/xml");
            });
        f->service.SetAddress(server.address());
        f->execute("INSERT INTO tbl_sendsms (id, content, send_time, status, is_idle, jobid) VALUES "
                   "(7, 'x', '"
            + DateTime::now().addDays(1).toString() + "', '已发送', 1, 'J9')");
        CIdleSendLogView view(f->dependencies());
        ReportView* list = view.listView();
        list->selectRows({list->rowOfRecord(3), list->rowOfRecord(4), list->rowOfRecord(5), list->rowOfRecord(6),
            list->rowOfRecord(7)});
        f->prompter.answerQuestion(true);
        QSignalSpy finished(&view, &CIdleSendLogView::cancelFinished);
        view.onCancelSend();
        QVERIFY(!view.button(QStringLiteral("取消发送"))->isEnabled());
        QVERIFY(finished.wait());
        QVERIFY(view.button(QStringLiteral("取消发送"))->isEnabled());
        QCOMPARE(list->cell(list->rowOfRecord(3), 1), QStringLiteral("定时已取消"));
        QCOMPARE(test::RecordsFixture::count(*f->app, "tbl_sendsms WHERE status = '定时已取消'"), 2);
        std::lock_guard lock(mutex);
        // In list order (newest first); sent and cancelled records are left alone, the one
        // without jobs is not posted.
        QCOMPARE(bodies,
            (QStringList {QStringLiteral("Token=TOKEN&JobIDs=J9;"), QStringLiteral("Token=TOKEN&JobIDs=J3;J4;")}));
        QCOMPARE(f->prompter.texts().count(QStringLiteral("定时短信取消失败，请与我们客服及时联系!")), 2);
    }
};

QTEST_MAIN(SendLogViewTest)
#include "SendLogViewTest.moc"
