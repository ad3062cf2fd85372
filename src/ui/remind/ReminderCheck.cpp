#include "remind/ReminderCheck.h"

#include "app/LoginGate.h"
#include "remind/CalendarTaskStore.h"
#include "session/Session.h"

namespace telvora {

CReminderCheck::CReminderCheck(CADODataBase& database, const CSession& session, LoginGate& gate, Prompter& prompter,
    HintBroadcaster& hints, CShowRemainDlg::Clock clock, QWidget* window)
    : QObject(window)
    , m_database(database)
    , m_session(session)
    , m_gate(gate)
    , m_prompter(prompter)
    , m_hints(hints)
    , m_clock(std::move(clock))
    , m_window(window)
{
    connect(&m_timer, &QTimer::timeout, this, &CReminderCheck::check);
}

CReminderCheck::~CReminderCheck() = default;

void CReminderCheck::start(int periodMs)
{
    m_timer.start(periodMs);
}

void CReminderCheck::check()
{
    if (!m_session.loggedIn || !m_gate.isOpen() || m_dialog)
        return;
    CCalendarTaskStore store(m_database);
    if (store.AnyDue(m_clock()) != true)
        return;
    m_dialog = new CShowRemainDlg(m_database, m_prompter, m_hints, m_clock, m_window);
    m_dialog->setAttribute(Qt::WA_DeleteOnClose);
    m_dialog->setWindowModality(Qt::ApplicationModal);
    m_dialog->show();
}

} // namespace telvora
