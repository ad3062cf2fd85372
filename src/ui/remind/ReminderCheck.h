#pragma once

#include "remind/ShowRemainDlg.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

namespace telvora {

class CADODataBase;
class HintBroadcaster;
class LoginGate;
class Prompter;
struct CSession;

// Timer 4: every 20 seconds, while logged in, opens the reminder dialog when some task's
// pop-up reminder is due. Never two dialogs; a tick that finds a log-in under way or the
// tasks unreadable leaves it to the next one.
class CReminderCheck final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CReminderCheck)

public:
    static constexpr int kPeriodMs = 20'000;

    CReminderCheck(CADODataBase& database, const CSession& session, LoginGate& gate, Prompter& prompter,
        HintBroadcaster& hints, CShowRemainDlg::Clock clock, QWidget* window);
    ~CReminderCheck() override;

    void start(int periodMs = kPeriodMs);
    CShowRemainDlg* dialog() const { return m_dialog; }

public slots:
    void check();

private:
    CADODataBase& m_database;
    const CSession& m_session;
    LoginGate& m_gate;
    Prompter& m_prompter;
    HintBroadcaster& m_hints;
    CShowRemainDlg::Clock m_clock;
    QWidget* m_window;
    QTimer m_timer;
    QPointer<CShowRemainDlg> m_dialog;
};

} // namespace telvora
