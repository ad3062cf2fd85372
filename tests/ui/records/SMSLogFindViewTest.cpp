#include "records/SMSLogFindView.h"

#include "RecordsFixture.h"
#include "records/IdleSendLogView.h"
#include "records/SMSLogStatiView.h"
#include "records/SMSLogTabView.h"
#include "records/SMSReciverLogView.h"
#include "records/SendLogView.h"
#include "tools/ToolFiles.h"
#include "widgets/ReportView.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedBarSeries>
#include <QTabWidget>
#include <QTest>

using namespace telvora;

class SMSLogFindViewTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<test::RecordsFixture> f;

    static QStringList categories(QChart* chart)
    {
        const auto axes = chart->axes(Qt::Horizontal);
        if (axes.isEmpty())
            return {};
        return qobject_cast<QBarCategoryAxis*>(axes.first())->categories();
    }

private slots:
    void init()
    {
        f = std::make_unique<test::RecordsFixture>();
        f->execute("INSERT INTO tbl_sendsms (id, content, send_time, send_mode, success_count, fail_count, is_idle) "
                   "VALUES (1, '周五开会', '2010-12-31 08:00:00', 1, 2, 1, 0), (2, '新年好', '2011-01-01 00:00:00', 4, "
                   "1, 0, 0), (3, '月初', '2010-12-01 00:00:00', 1, 5, 0, 1)");
        f->execute("INSERT INTO tbl_sendsms_detail (id, group_id, phones, send_time, status, split_count, content) "
                   "VALUES (1, 1, '13800000001', '2010-12-31 00:00:00', 1, 1, '欧阳娜'),"
                   "(2, 1, '13900000002', '2010-12-31 08:00:00', -1, 2, ''),"
                   "(3, 1, '13700000003', '2010-12-31 08:00:00', 2, 1, ''),"
                   "(4, 2, '13600000004', '2011-01-01 00:00:00', 1, 1, '王五，新年好')");
    }
    void cleanup() { f.reset(); }

    void dayModeSearchesOnEveryDateChange()
    {
        CSMSLogFindView view(f->dependencies());
        QVERIFY(!view.searchButton()->isVisibleTo(&view));
        QVERIFY(!view.phoneEdit()->isVisibleTo(&view));
        view.dayEdit()->setDate(QDate(2010, 12, 31));
        const ReportView* list = view.listView();
        QCOMPARE(list->rowCount(), 3);
        QCOMPARE(list->groupColumn(), 7);
        QCOMPARE(list->cell(2, 3), QStringLiteral("13800000001"));
        QCOMPARE(list->cell(2, 2), QStringLiteral("2010-12-31 00:00"));
        QCOMPARE(list->cell(2, 6), QStringLiteral("欧阳娜：周五开会"));
        QCOMPARE(list->cell(1, 4), QStringLiteral("发送异常"));
        QCOMPARE(list->cell(0, 4), QStringLiteral("结果未知"));
        QCOMPARE(view.totalsLabel()->text(),
            QStringLiteral("合计信息:共发送号码:3 (成功:1/异常:2) 短信数:4(成功:1/异常:3)"));
    }

    void rangeModeSearchesOnTheButton()
    {
        CSMSLogFindView view(f->dependencies());
        view.rangeRadio()->setChecked(true);
        QVERIFY(view.searchButton()->isVisibleTo(&view));
        view.fromEdit()->setDate(QDate(2010, 12, 31));
        view.toEdit()->setDate(QDate(2011, 1, 1));
        view.searchButton()->click();
        QCOMPARE(view.listView()->rowCount(), 4);
        QCOMPARE(view.listView()->cell(0, 6), QStringLiteral("王五，新年好"));
    }

    void resendHandsTheSelectedNumbersOver()
    {
        CSMSLogFindView view(f->dependencies());
        view.dayEdit()->setDate(QDate(2010, 12, 31));
        view.onResend();
        QCOMPARE(f->prompter.lastText(), QStringLiteral("请先选取需要发送的记录!"));
        view.listView()->selectRows({0, 2});
        view.onResend();
        QCOMPARE(f->handOver.singleNumbers(), (std::vector<std::string> {"13700000003", "13800000001"}));
        QCOMPARE(f->frame.pages, QStringList {QStringLiteral("短信群发")});
    }

    void findAndStatisticsExportWhatTheListsShow()
    {
        CSMSLogFindView find(f->dependencies());
        find.dayEdit()->setDate(QDate(2010, 12, 31));
        const QString path = QString::fromStdString(f->temp.file("found.csv"));
        f->prompter.answerSaveFile(path);
        find.onExport();
        QCOMPARE(f->prompter.lastText(), QStringLiteral("导出短信查询记录到[%1]完成！").arg(path));
        const QByteArray written = test::readToolFile(path);
        QVERIFY(written.startsWith("\xEF\xBB\xBF"));
        const QStringList lines = QString::fromUtf8(written).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.first(), QStringLiteral("序号,发送时间,手机号码,发送状态,拆分条数,短信内容"));
        QCOMPARE(lines.size(), 5); // three rows and the final line end
        QCOMPARE(lines.at(3), QStringLiteral("3,2010-12-31 00:00,13800000001,发送成功,1,欧阳娜：周五开会"));
        QCOMPARE(find.listView()->groupColumn(), 7);

        const int shown = f->prompter.shown().size();
        find.onExport(); // the file dialog cancelled: nothing was written, nothing is claimed
        QCOMPARE(f->prompter.shown().size(), shown);
        f->prompter.answerSaveFile(QString::fromStdString(f->temp.file("missing/found.csv")));
        find.onExport();
        QCOMPARE(f->prompter.lastText(), QStringLiteral("导出短信查询记录失败！"));
        find.dayEdit()->setDate(QDate(2010, 11, 30));
        find.onExport();
        QCOMPARE(f->prompter.lastText(), QStringLiteral("没有可导出的短信查询记录!"));

        CSMSLogStatiView statistics(f->dependencies());
        statistics.dayYearBox()->setCurrentText(QStringLiteral("2010"));
        statistics.monthBox()->setCurrentIndex(11);
        f->prompter.answerSaveFile(path);
        statistics.onExport();
        QCOMPARE(f->prompter.lastText(), QStringLiteral("导出短信统计记录到[%1]完成！").arg(path));
        QCOMPARE(test::readToolFile(path),
            QByteArray("\xEF\xBB\xBF序号,发送时间,发送总条数,成功合计,异常合计\r\n1,2010-12-31,3,2,1\r\n2,2010-12-01,5,"
                       "5,0\r\n"));
        statistics.monthBox()->setCurrentIndex(10);
        statistics.onExport();
        QCOMPARE(f->prompter.lastText(), QStringLiteral("没有可导出的短信统计记录!"));
    }

    void statisticsListAndChartFollowThePeriod()
    {
        CSMSLogStatiView view(f->dependencies());
        QCOMPARE(view.dayYearBox()->itemText(0), QStringLiteral("2008"));
        QCOMPARE(view.dayYearBox()->itemText(view.dayYearBox()->count() - 1),
            QString::number(QDate::currentDate().year() + 1));
        view.dayYearBox()->setCurrentText(QStringLiteral("2010"));
        view.monthBox()->setCurrentIndex(11);
        const ReportView* list = view.listView();
        QCOMPARE(list->rowCount(), 2);
        QCOMPARE(list->cell(0, 1), QStringLiteral("2010-12-31"));
        QCOMPARE(list->cell(0, 2), QStringLiteral("3"));
        QCOMPARE(list->cell(1, 1), QStringLiteral("2010-12-01"));
        QCOMPARE(list->cell(1, 3), QStringLiteral("5"));
        QCOMPARE(categories(view.chart()), (QStringList {QStringLiteral("2010-12-01"), QStringLiteral("2010-12-31")}));

        view.byMonthRadio()->setChecked(true);
        view.monthYearBox()->setCurrentText(QStringLiteral("2011"));
        QCOMPARE(list->rowCount(), 1);
        QCOMPARE(list->cell(0, 1), QStringLiteral("2011-01"));
        QCOMPARE(categories(view.chart()), QStringList {QStringLiteral("2011-01")});
        auto* series = qobject_cast<QStackedBarSeries*>(view.chart()->series().first());
        QVERIFY(series);
        QCOMPARE(series->barSets().first()->at(0), 1.0);
    }

    void tabViewForwardsTheSearchTextToThePageShown()
    {
        CSMSLogTabView tabs(f->dependencies());
        QStringList captions;
        for (int i = 0; i < tabs.tabs()->count(); ++i)
            captions.append(tabs.tabs()->tabText(i));
        QCOMPARE(captions,
            (QStringList {QStringLiteral("发送记录"), QStringLiteral("定时记录"), QStringLiteral("回复记录"),
                QStringLiteral("记录查询"), QStringLiteral("记录统计")}));
        tabs.searchEdit()->setText(QStringLiteral("新年"));
        QCOMPARE(tabs.sendLog()->listView()->filterText(), QStringLiteral("新年"));
        QCOMPARE(tabs.sendLog()->listView()->shownRows().size(), 1);
        QCOMPARE(tabs.idleSendLog()->listView()->filterText(), QString());
        tabs.tabs()->setCurrentIndex(1);
        QCOMPARE(tabs.idleSendLog()->listView()->filterText(), QStringLiteral("新年"));
        QCOMPARE(tabs.idleSendLog()->listView()->shownRows().size(), 0);
    }
};

QTEST_MAIN(SMSLogFindViewTest)
#include "SMSLogFindViewTest.moc"
