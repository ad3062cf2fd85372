#pragma once

#include "app/ViewServices.h"

#include <QObject>

namespace telvora {

struct DateTime;

// The daily birthday greeting after each login: today's greetings once a day, and on
// Fridays the offer for the weekend.
class CBirthdayDailySend final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CBirthdayDailySend)

public:
    explicit CBirthdayDailySend(ViewServices services, QObject* parent = nullptr);
    ~CBirthdayDailySend() override;

    // Runs the daily send as at now; the weekend dialog opens modally on Fridays.
    void run(const DateTime& now);

private:
    ViewServices m_services;
};

} // namespace telvora
