#pragma once

#include "app/AppContext.h"
#include "app/HintBroadcaster.h"
#include "app/LoginGate.h"
#include "app/ViewServices.h"
#include "db/ADORecordset.h"
#include "send/RecipientHandOver.h"
#include "send/SendEngine.h"
#include "service/ServiceClient.h"
#include "service/WebClient.h"
#include "session/Session.h"
#include "support/RecordingFrame.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QTest>
#include <memory>
#include <string>

namespace telvora::test {

// The record pages' surroundings on a fresh working database. The service address is
// left for the test to set.
struct RecordsFixture
{
    // The shipped data (template, number regions) comes from templateDirectory.
    explicit RecordsFixture(const std::string& templateDirectory = TELVORA_TEST_TEMPLATE_DIR)
    {
        DataDirectoryInputs inputs;
        inputs.telvoraHome = temp.path().string();
        inputs.templateDirectory = templateDirectory;
        CDataDirectory directory(inputs);
        directory.Prepare();
        app = std::make_unique<CAppContext>(directory);
        app->OpenWorkDatabase("user.db");
        session.loggedIn = true;
        session.token = "TOKEN";
    }

    ViewServices dependencies()
    {
        if (!engine)
            engine = std::make_unique<CSendEngine>(*app, session, call, nullptr);
        return {*app, session, service, *engine, prompter, hints, handOver, frame, gate};
    }

    void execute(const std::string& sql) { QVERIFY2(app->GetDatabase().Execute(sql), sql.c_str()); }
    // Rows of "table [WHERE ...]".
    static int count(CAppContext& app, const std::string& from)
    {
        CADORecordset rows(&app.GetDatabase());
        long value = -1;
        if (rows.Open("SELECT COUNT(*) FROM " + from) && !rows.IsEOF())
            rows.GetFieldValue(0, value);
        return static_cast<int>(value);
    }

    TempDir temp;
    std::unique_ptr<CAppContext> app;
    CSession session;
    CWebClient web {nullptr, 5000, 5000};
    CServiceClient service {web};
    ScriptedPrompter prompter;
    LoginGate gate;
    HintBroadcaster hints {gate};
    RecordingFrame frame {hints};
    RecipientHandOver handOver;
    // The engine's calls: counted and refused, unless a test sets its own.
    int calls = 0;
    ServiceCall call = [this](const std::string&, const std::string&, std::string&) {
        ++calls;
        return CallResult::Refused;
    };
    std::unique_ptr<CSendEngine> engine;
};

} // namespace telvora::test
