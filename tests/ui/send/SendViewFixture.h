#pragma once

#include "app/AppContext.h"
#include "app/HintBroadcaster.h"
#include "app/LoginGate.h"
#include "send/RecipientHandOver.h"
#include "send/SMSSendView.h"
#include "send/SendEngine.h"
#include "send/SendProgressAdapter.h"
#include "service/ServiceClient.h"
#include "service/WebClient.h"
#include "session/Session.h"
#include "support/RecordingFrame.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"
#include "support/TestApp.h"

#include <QFile>
#include <QString>
#include <memory>

namespace telvora::test {

// A send view on a fresh working database. The engine posts through `call`: the
// simulator, or by default a stub that counts calls and fails them.
struct SendViewFixture
{
    explicit SendViewFixture(ServiceCall serviceCall = {})
        : call(std::move(serviceCall))
    {
        app = OpenTestApp(temp);
        session.loggedIn = true;
        session.token = "token";
        session.stock = 100000;
        if (!call)
            call = [this](const std::string&, const std::string&, std::string&) {
                ++calls;
                return CallResult::Refused;
            };
        engine = std::make_unique<CSendEngine>(*app, session, call, &relay);
        view = std::make_unique<CSMSSendView>(
            ViewServices {*app, session, service, *engine, prompter, hints, handOver, frame, gate});
    }
    QString file(const QString& name, const QByteArray& bytes) const
    {
        const QString path = QString::fromStdString(temp.file(name.toStdString()));
        QFile out(path);
        out.open(QIODevice::WriteOnly);
        out.write(bytes);
        return path;
    }

    TempDir temp;
    std::unique_ptr<CAppContext> app;
    CSession session;
    ServiceCall call;
    int calls = 0;
    CSendProgressAdapter relay;
    ScriptedPrompter prompter;
    CWebClient web {nullptr, 5000, 5000};
    CServiceClient service {web};
    LoginGate gate;
    HintBroadcaster hints {gate};
    RecordingFrame frame {hints};
    RecipientHandOver handOver;
    std::unique_ptr<CSendEngine> engine;
    std::unique_ptr<CSMSSendView> view;
};

} // namespace telvora::test
