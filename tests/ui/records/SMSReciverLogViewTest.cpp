#include "records/SMSReciverLogView.h"

#include "RecordsFixture.h"
#include "app/FrameServices.h"
#include "db/ADODataBase.h"
#include "tools/ToolFiles.h"
#include "widgets/ReportView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

using namespace telvora;

class SMSReciverLogViewTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<test::RecordsFixture> f;

    void fill(std::unique_ptr<test::RecordsFixture> fixture)
    {
        f = std::move(fixture);
        f->execute("INSERT INTO tbl_card (id, folder_id, phone, name) VALUES (7, 1, '13800000001', '李四')");
        f->execute("INSERT INTO tbl_sms_recive (id, phone, content, recive_time, is_read) VALUES "
                   "(1, '13800000001', '好的', '2026-12-06 09:30:00', 0),"
                   "(2, '13900000002', '收到', '2026-12-06 10:00:00', 1),"
                   "(3, '99900000003', '?', '2026-12-06 11:00:00', 1)");
    }

    std::unique_ptr<CSMSReciverLogView> shownView()
    {
        auto view = std::make_unique<CSMSReciverLogView>(f->dependencies());
        view->show();
        return view;
    }

private slots:
    void init() { fill(std::make_unique<test::RecordsFixture>()); }
    void cleanup() { f.reset(); }

    void listsNamesUnreadInBoldAndRegions()
    {
        auto view = shownView();
        QVERIFY(f->prompter.texts().isEmpty());
        const ReportView* list = view->listView();
        QCOMPARE(list->rowCount(), 3);
        QCOMPARE(list->cell(0, 2), QStringLiteral("李四"));
        QCOMPARE(list->cell(0, 4), QStringLiteral("北京/北京"));
        QCOMPARE(list->cell(2, 4), QStringLiteral("未知"));
        QCOMPARE(list->cell(0, 5), QStringLiteral("2026-12-06 09:30"));
        QCOMPARE(list->cell(0, 8), QStringLiteral("7"));
        QCOMPARE(list->cell(1, 8), QString());
        QVERIFY(list->isBold(0));
        QVERIFY(!list->isBold(1));
        QStringList menu;
        for (QAction* action : view->contextMenu()->actions())
            menu.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(menu,
            (QStringList {QStringLiteral("拷贝内容"), QStringLiteral("短信回复"), QStringLiteral("-"),
                QStringLiteral("删除记录"), QStringLiteral("清空记录"), QStringLiteral("导出记录"), QStringLiteral("-"),
                QStringLiteral("查询回复号码资料"), QStringLiteral("-"), QStringLiteral("手动刷新")}));
    }

    void exportWritesTheShownRowsUnderTheVisibleCaptions()
    {
        auto view = shownView();
        view->setSearchText(QStringLiteral("好的"));
        const QString path = QString::fromStdString(f->temp.file("replies.csv"));
        f->prompter.answerSaveFile(path);
        view->onExport();
        QCOMPARE(f->prompter.lastText(), QStringLiteral("导出短信回复记录成功完成！"));
        QCOMPARE(test::readToolFile(path),
            QByteArray("\xEF\xBB\xBFMessage Class,姓名,手机号码,号码归属,接收时间,接收内容\r\n"
                       ",李四,13800000001,北京/北京,2026-12-06 09:30,好的\r\n"));
        view->onExport(); // the file dialog cancelled
        QCOMPARE(f->prompter.lastText(), QStringLiteral("导出短信回复记录失败！"));
        f->prompter.answerQuestion(true);
        view->onClear();
        view->onExport();
        QCOMPARE(f->prompter.lastText(), QStringLiteral("没有可导出的短信回复记录!"));
    }

    void withoutTheRegionDatabaseEveryRegionIsUnknown()
    {
        const test::TempDir noData;
        auto fixture = std::make_unique<test::RecordsFixture>(noData.path().string());
        // The template is copied first: a working database must exist for the rows.
        CopyDatabase(std::string(TELVORA_TEST_TEMPLATE_DIR) + "/SourceDB.db", fixture->temp.file("user.db"));
        fixture->app->OpenWorkDatabase("user.db");
        fill(std::move(fixture));
        auto view = shownView();
        QCOMPARE(f->prompter.texts(), QStringList {QStringLiteral("打开号码查询数据库失败！")});
        QCOMPARE(view->listView()->cell(0, 4), QStringLiteral("未知"));
        view->reload();
        QCOMPARE(f->prompter.texts().size(), 1);
    }

    void markingReadIsStoredOnce()
    {
        auto view = shownView();
        view->markRead(0);
        QVERIFY(!view->listView()->isBold(0));
        QCOMPARE(test::RecordsFixture::count(*f->app, "tbl_sms_recive WHERE is_read = 1"), 3);
        f->hints.broadcast(HintBroadcaster::ReceivedMessagesChanged);
        QTRY_VERIFY(!view->listView()->isBold(0));
    }

    void replyHandsTheSelectedNumbersOver()
    {
        auto view = shownView();
        view->onReply();
        QCOMPARE(f->prompter.lastText(), QStringLiteral("请选择要回复短信的接收记录!"));
        f->handOver.handOverNumber("13000000000");
        view->listView()->selectRows({1, 0});
        view->onReply();
        QCOMPARE(f->handOver.singleNumbers(), (std::vector<std::string> {"13800000001", "13900000002"}));
        QCOMPARE(f->frame.pages, QStringList {QStringLiteral("短信群发")});
    }

    void lookUpFindsTheSendersCard()
    {
        auto view = shownView();
        QSignalSpy requested(view.get(), &CSMSReciverLogView::cardRequested);
        view->listView()->setFocusedRow(1);
        view->onLookUpCard();
        QCOMPARE(f->prompter.lastText(), QStringLiteral("没有找到该手机号码的客户资料!"));
        view->listView()->setFocusedRow(0);
        view->onLookUpCard();
        QCOMPARE(requested.count(), 1);
        QCOMPARE(requested.first().first().toLongLong(), 7);
    }

    void deleteClearCopyAndRefresh()
    {
        auto view = shownView();
        view->listView()->setFocusedRow(0);
        view->onCopyContent();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("好的"));
        view->listView()->selectRows({0});
        f->prompter.answerQuestion(true);
        view->onDelete();
        QCOMPARE(view->listView()->rowCount(), 2);
        QCOMPARE(test::RecordsFixture::count(*f->app, "tbl_sms_recive"), 2);
        f->prompter.answerQuestion(true);
        view->onClear();
        QCOMPARE(view->listView()->rowCount(), 0);
        QCOMPARE(test::RecordsFixture::count(*f->app, "tbl_sms_recive"), 0);
        view->onManualRefresh();
        QCOMPARE(f->frame.commands, QVector<int> {CmdFetchReplies});
    }
};

QTEST_MAIN(SMSReciverLogViewTest)
#include "SMSReciverLogViewTest.moc"
