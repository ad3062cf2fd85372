#pragma once

#include <QString>

namespace telvora {

// Periods of the main window's timers and the waits of its service work. Tests shorten
// them; 0 leaves a timer off.
struct RuntimeTimings
{
    int fetchMs = 120'000; // timer 1: fetch replies, then the heartbeat
    int heartbeatMs = 130'000; // timer 2: heartbeat
    int lowStockDelayMs = 2'000; // pause before the sub-accounts' stock is asked after a login
    int alertFadeMs = 500;
    int alertShowMs = 3'000;
};

// What the desktop program is started with.
struct ShellOptions
{
    // Data directory; empty: the usual choice ($TELVORA_HOME, portable, XDG).
    QString dataDirectory;
    // Where the read-only shipped files are looked for first; empty: beside the binary.
    QString templateDirectory;
    RuntimeTimings timings;
    int getTimeoutMs = 30'000;
    int postTimeoutMs = 60'000;
    int noticeTimeoutMs = 5'000;

    // Scripted log-in for demonstrations and screenshots: the login dialog is filled in
    // with these and submitted at once.
    QString loginAccount;
    QString loginUser;
    QString loginPassword;
    bool autoLogin() const { return !loginAccount.isEmpty(); }
};

} // namespace telvora
