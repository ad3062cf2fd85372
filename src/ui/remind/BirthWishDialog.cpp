#include "remind/BirthWishDialog.h"

#include "app/FrameServices.h"
#include "app/Prompter.h"
#include "remind/BirthdayGreeter.h"
#include "send/SendEngine.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace telvora {

CBirthWishDialog::CBirthWishDialog(CBirthdayGreeter& greeter, CSendEngine& engine, FrameServices& frame,
    Prompter& prompter, bool enabled, const DateTime& now, QWidget* parent)
    : QDialog(parent)
    , m_greeter(greeter)
    , m_engine(engine)
    , m_frame(frame)
    , m_calendar(new QCalendarWidget(this))
    , m_text(new QLabel(this))
    , m_ok(new QPushButton(QStringLiteral("确定发送"), this))
    , m_cancel(new QPushButton(QStringLiteral("取消发送"), this))
    , m_now(now)
{
    setWindowTitle(QStringLiteral("周五生日祝福提示"));
    m_calendar->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_calendar);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &CBirthWishDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CBirthWishDialog::reject);

    if (!enabled)
        return;
    switch (greeter.CheckToday(true, now)) {
    case CBirthdayGreeter::Due::Off:
        return;
    case CBirthdayGreeter::Due::ParameterError:
        prompter.information(this, QString::fromUtf8(CBirthdayGreeter::kParameterError));
        m_open = true;
        return;
    case CBirthdayGreeter::Due::AlreadySent:
    case CBirthdayGreeter::Due::Today:
        break;
    }
    m_saturday = greeter.PhonesOn(CBirthdayGreeter::Saturday(now));
    m_sunday = greeter.PhonesOn(CBirthdayGreeter::Sunday(now));
    m_text->setText(QStringLiteral("本周未双休日期间共有 %1 名用户过生日，是否提交定时生日祝福").arg(greetingCount()));
    m_open = greetingCount() > 0;
}

CBirthWishDialog::~CBirthWishDialog() = default;

int CBirthWishDialog::exec()
{
    if (!m_open) {
        setResult(QDialog::Rejected);
        return QDialog::Rejected;
    }
    return QDialog::exec();
}

void CBirthWishDialog::accept()
{
    if (greetingCount() == 0) {
        QDialog::accept();
        return;
    }
    m_ok->setEnabled(false);
    m_cancel->setEnabled(false);
    m_nextDay = 0;
    sendNext();
}

void CBirthWishDialog::sendNext()
{
    for (; m_nextDay < 2; ++m_nextDay) {
        const std::vector<std::string>& phones = m_nextDay == 0 ? m_saturday : m_sunday;
        if (phones.empty())
            continue;
        // One send at a time: the day's greetings wait for the one before.
        if (m_engine.IsBusy()) {
            QTimer::singleShot(kEngineCheckMs, this, &CBirthWishDialog::sendNext);
            return;
        }
        const DateTime day = m_nextDay == 0 ? CBirthdayGreeter::Saturday(m_now) : CBirthdayGreeter::Sunday(m_now);
        if (m_greeter.ScheduleOn(phones, day))
            m_frame.setStatusText(m_nextDay == 0 ? QStringLiteral("周六生日短信已发送，请查阅短信记录")
                                                 : QStringLiteral("周日生日短信已发送，请查阅短信记录"));
    }
    QDialog::accept();
}

} // namespace telvora
