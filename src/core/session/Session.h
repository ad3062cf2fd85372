#pragma once

#include <string>

namespace telvora {

/// The logged-in state, filled from the login reply. One per process, owned by the
/// application object and handed to whoever needs it.
struct CSession
{
    std::string token;
    std::string version;
    std::string smsServerAddress;
    std::string userType; // the user type's name, e.g. "正式用户"
    int userRight = 0; // 2 and 4 may fetch received messages
    int segmentUpperLimit = 50;
    int longSmsLen = 70;
    int shortSmsLen = 56;
    short fetchSendStat = 0;
    int stock = 0;
    std::string signName;
    bool loggedIn = false;

    bool mayFetchReplies() const { return userRight == 2 || userRight == 4; }
    bool isInterfaceUser() const;
};

/// The name shown for a user type code of the login reply.
std::string UserTypeName(const std::string& code);

/// Fills session from a successful "UserLogin" reply, field by field in reply order, starting
/// from the defaults: a field the reply lacks keeps its default.
void ParseLoginReply(const std::string& reply, CSession& session);

/// Leading decimal digits of text after blanks and an optional sign; 0 when there are none.
int DecimalValue(const std::string& text);

} // namespace telvora
