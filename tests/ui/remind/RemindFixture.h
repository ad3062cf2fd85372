#pragma once

#include "app/AppContext.h"
#include "app/HintBroadcaster.h"
#include "app/LoginGate.h"
#include "app/ViewServices.h"
#include "db/ADORecordset.h"
#include "db/DateTime.h"
#include "send/RecipientHandOver.h"
#include "send/SendEngine.h"
#include "service/ServiceClient.h"
#include "service/WebClient.h"
#include "session/Session.h"
#include "support/AcceptingService.h"
#include "support/RecordingFrame.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"
#include "support/TestApp.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

namespace telvora::test {

// The reminder views' world on a fresh working database; the engine's service accepts
// every call and counts them.
struct RemindFixture
{
    RemindFixture()
    {
        app = OpenTestApp(temp);
        app->GetParameters().Load(app->GetDatabase(), app->GetSetupFile());
        session.loggedIn = true;
        session.token = "token";
        session.userType = "正式用户";
        engine = std::make_unique<CSendEngine>(*app, session, AcceptingService(&calls), nullptr);
    }
    ~RemindFixture() { engine->Wait(); }

    ViewServices services() { return {*app, session, service, *engine, prompter, hints, handOver, frame, gate}; }
    CADODataBase& db() { return app->GetDatabase(); }
    bool execute(const std::string& sql) { return db().Execute(sql); }
    QString scalar(const std::string& sql)
    {
        CADORecordset rows(&db());
        std::string value;
        if (!rows.Open(sql))
            return QStringLiteral("<error>");
        if (!rows.IsEOF())
            rows.GetFieldValue(0, value);
        return QString::fromStdString(value);
    }
    // Rows of tbl_sendsms once the engine is through.
    int sendRecords()
    {
        engine->Wait();
        return scalar("SELECT COUNT(*) FROM tbl_sendsms").toInt();
    }

    TempDir temp;
    std::unique_ptr<CAppContext> app;
    CSession session;
    int calls = 0;
    ScriptedPrompter prompter;
    CWebClient web {nullptr, 5000, 5000};
    CServiceClient service {web};
    LoginGate gate;
    HintBroadcaster hints {gate};
    RecordingFrame frame {hints};
    RecipientHandOver handOver;
    std::unique_ptr<CSendEngine> engine;
    // Owns what waits for dialogs, so that nothing outlives the test that set it up.
    QObject scope;
};

// Runs work on the next modal dialog that opens (other than skip), once, unless context
// is gone by then.
inline void onNextModal(QObject* context, std::function<void(QDialog*)> work, QWidget* skip = nullptr)
{
    auto* timer = new QTimer(context);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, work, skip]() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog == skip || !dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        work(dialog);
    });
    timer->start();
}

} // namespace telvora::test
