#pragma once

#include "service/ServiceClient.h"
#include "session/Session.h"

#include <string>

namespace telvora::test {

// A login straight through the service call, for tests of what comes after it.
inline bool logInDirectly(CServiceClient& service, const std::string& account, const std::string& user,
    const std::string& password, CSession& session)
{
    std::string reply;
    if (!service.CallService(
            "UserLogin", "UserID=" + account + "&Account=" + user + "&Password=" + password, reply, false)) {
        return false;
    }
    session = {};
    ParseLoginReply(reply, session);
    return true;
}

} // namespace telvora::test
