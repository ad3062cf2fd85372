#include "remind/BirthdayDailySend.h"

#include "app/AppContext.h"
#include "app/FrameServices.h"
#include "app/HintBroadcaster.h"
#include "app/Prompter.h"
#include "db/DateTime.h"
#include "remind/BirthWishDialog.h"
#include "remind/BirthdayGreeter.h"
#include "remind/BirthdaySettings.h"
#include "send/SendEngine.h"
#include "session/Session.h"

#include <QApplication>

namespace telvora {

CBirthdayDailySend::CBirthdayDailySend(ViewServices services, QObject* parent)
    : QObject(parent)
    , m_services(services)
{ }

CBirthdayDailySend::~CBirthdayDailySend() = default;

void CBirthdayDailySend::run(const DateTime& now)
{
    CAppContext& app = m_services.app;
    CBirthdayGreeter greeter(app.GetDatabase(), app.GetParameters(), m_services.engine);
    QWidget* window = QApplication::activeWindow();
    switch (greeter.CheckToday(m_services.session.loggedIn, now)) {
    case CBirthdayGreeter::Due::Off:
    case CBirthdayGreeter::Due::AlreadySent:
        return;
    case CBirthdayGreeter::Due::ParameterError:
        m_services.prompter.information(window, QString::fromUtf8(CBirthdayGreeter::kParameterError));
        return;
    case CBirthdayGreeter::Due::Today:
        break;
    }

    const std::vector<std::string> phones = greeter.PhonesOn(now);
    CBirthdayGreeter::Outcome outcome;
    if (!phones.empty()) {
        if (IsParameterOn(app.GetParameters(), "BirthConfirm")
            && !m_services.prompter.question(
                window, QString::fromStdString(CBirthdayGreeter::ConfirmQuestion(static_cast<int>(phones.size()))))) {
            return;
        }
        outcome = greeter.SendToday(phones, now);
        if (outcome.sent)
            m_services.frame.setStatusText(QString::fromUtf8(CBirthdayGreeter::kSentStatus));
    }
    if (now.dayOfWeek() == 5) {
        CBirthWishDialog dialog(greeter, m_services.engine, m_services.frame, m_services.prompter,
            m_services.session.loggedIn, now, window);
        dialog.exec();
    }
    if (!outcome.sent)
        return;
    greeter.MarkSent(now);
    QString status = outcome.scheduled ? QString::fromUtf8(CBirthdayGreeter::kScheduledDone)
                                       : QString::fromUtf8(CBirthdayGreeter::kSentDone);
    if (m_services.engine.GetExcludedCount() > 0)
        status += QStringLiteral(" ") + QString::fromStdString(m_services.engine.GetExcludedNote());
    m_services.frame.setStatusText(status);
    m_services.hints.broadcast(HintBroadcaster::SendRecordsChanged);
}

} // namespace telvora
