#pragma once

#include "SmsSimulator.h"
#include "app/AppConstants.h"
#include "app/AppContext.h"
#include "app/AutoStart.h"
#include "core/app/AppTestSupport.h"
#include "service/ServiceClient.h"
#include "service/WebClient.h"
#include "session/Session.h"

namespace telvora::test {

// What a login needs: the simulator, a fresh data directory with its application core,
// the service client, the session and the start-at-logon entry.
struct LoginWorld
{
    // Starts the simulator (add its accounts first), points the client at it and opens the
    // offline database.
    bool start()
    {
        if (!sim.start()) {
            return false;
        }
        service.SetAddress(sim.address());
        return app.OpenWorkDatabase(kOfflineDatabase);
    }

    SmsSimulator sim;
    TempDir temp;
    CAppContext app {preparedDataDirectory(temp)};
    CWebClient web {nullptr, 5000, 5000};
    CServiceClient service {web};
    CSession session;
    CAutoStart autoStart {"/usr/bin/telvora", temp.file("config")};
};

} // namespace telvora::test
