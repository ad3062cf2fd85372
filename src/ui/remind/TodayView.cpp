#include "remind/TodayView.h"

#include "app/AppContext.h"
#include "app/FrameServices.h"
#include "app/HintBroadcaster.h"
#include "app/LoginGate.h"
#include "app/Prompter.h"
#include "db/DateTime.h"
#include "remind/BirthdaySettings.h"
#include "remind/TodayRemainDlg.h"
#include "remind/TodaySummary.h"
#include "send/RecipientHandOver.h"
#include "session/Session.h"

#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace telvora {

namespace {

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

QPushButton* line(const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(QStringLiteral("text-align: left; color: #003db2;"));
    return button;
}

} // namespace

CTodayView::CTodayView(ViewServices services, QWidget* parent)
    : QWidget(parent)
    , m_services(services)
    , m_sent(line(QStringLiteral("今日已发短信 0 条"), this))
    , m_received(line(QStringLiteral("今日接收短信 0 条"), this))
    , m_birthdays(line(QStringLiteral("今日生日提醒"), this))
    , m_holiday(line(QStringLiteral("今日节日提醒"), this))
{
    auto* layout = new QVBoxLayout(this);
    auto group = [this, layout](const QString& title, std::initializer_list<QPushButton*> lines) {
        auto* box = new QGroupBox(title, this);
        auto* inner = new QVBoxLayout(box);
        for (QPushButton* each : lines)
            inner->addWidget(each);
        layout->addWidget(box);
        return inner;
    };
    group(QStringLiteral("短信状况"), {m_sent, m_received});
    group(QStringLiteral("节日祝福"), {m_birthdays, m_holiday});
    QVBoxLayout* custom = group(QStringLiteral("客户自定义提醒"), {});
    for (int i = 0; i < kFieldCount; ++i) {
        m_fieldLines.append(line(QStringLiteral("自定义日期%1").arg(i + 1), this));
        m_statusLines.append(line(QStringLiteral("已启用自动提醒"), this));
        custom->addWidget(m_fieldLines.last());
        custom->addWidget(m_statusLines.last());
        connect(m_fieldLines.last(), &QPushButton::clicked, this, [this, i]() { onFieldClicked(i); });
        connect(m_statusLines.last(), &QPushButton::clicked, this, [this, i]() { onStatusClicked(i); });
    }
    layout->addStretch(1);

    const auto toRecords = [this]() { m_services.frame.showPage(QStringLiteral("短信记录"), 0); };
    connect(m_sent, &QPushButton::clicked, this, toRecords);
    connect(m_received, &QPushButton::clicked, this, toRecords);
    connect(m_birthdays, &QPushButton::clicked, this, [this]() {
        m_services.frame.runCommand(CmdSettings);
        reload();
    });
    connect(m_holiday, &QPushButton::clicked, this, [this]() {
        if (m_holidayId > 0)
            emit holidayGreetingRequested(m_holidayId);
    });
    m_services.hints.listen(this, &CTodayView::onHint);
}

CTodayView::~CTodayView() = default;

void CTodayView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    reload();
}

void CTodayView::onHint(int hint)
{
    if (hint == HintBroadcaster::SendRecordsChanged || hint == HintBroadcaster::ReceivedMessagesChanged
        || hint == HintBroadcaster::AddressBookChanged || hint == HintBroadcaster::AllDataReplaced) {
        if (isVisible())
            reload();
    }
}

void CTodayView::reload()
{
    // While a log-in switches the database the counts would read the wrong one.
    m_services.gate.whenOpen(this, [this]() { load(); });
}

void CTodayView::load()
{
    CADODataBase& database = m_services.app.GetDatabase();
    const DateTime now = DateTime::now();
    const TodaySummary summary = TodaySummary::Load(database, now);
    m_sent->setText(qs(summary.SentLine()));
    m_received->setText(qs(summary.ReceivedLine()));
    m_birthdays->setText(qs(summary.BirthdayLine(IsParameterOn(m_services.app.GetParameters(), "AutoSendBirth"))));
    m_holiday->setText(qs(summary.HolidayLine()));
    m_holidayId = summary.holiday ? summary.holiday->id : 0;

    m_fields = CustomDateReminder::LoadAll(database);
    for (int i = 0; i < kFieldCount; ++i) {
        if (i >= static_cast<int>(m_fields.size()))
            break;
        CustomDateReminder& field = m_fields[i];
        field.FindDue(database, now);
        m_fieldLines[i]->setText(qs(field.FieldLine()));
        // Sending needs the service; offline the counts are all there is.
        if (!m_services.session.loggedIn)
            continue;
        switch (field.SendIfDue(database, m_services.engine, now)) {
        case CustomDateReminder::Run::Off:
            m_statusLines[i]->setText(QString::fromUtf8(CustomDateReminder::kStatusOff));
            break;
        case CustomDateReminder::Run::Sent:
        case CustomDateReminder::Run::Refused:
            m_statusLines[i]->setText(QString::fromUtf8(CustomDateReminder::kStatusDone));
            break;
        case CustomDateReminder::Run::AlreadySent:
            break;
        }
    }
}

void CTodayView::onFieldClicked(int i)
{
    if (i >= static_cast<int>(m_fields.size()))
        return;
    const CustomDateReminder& field = m_fields[i];
    if (field.phones.empty()) {
        m_services.prompter.information(this, qs(field.newName + " 没有今天到期的客户资料!"));
        return;
    }
    if (field.autoSend) {
        m_services.prompter.information(this, qs(field.newName + " 今天到期的客户短信已自动发送!"));
        return;
    }
    m_services.handOver.takeSingleNumbers();
    for (const std::string& phone : field.phones)
        m_services.handOver.handOverNumber(phone);
    m_services.frame.showPage(QStringLiteral("短信群发"), HintBroadcaster::NumbersHandedOver);
}

void CTodayView::onStatusClicked(int i)
{
    if (i >= static_cast<int>(m_fields.size()))
        return;
    CTodayRemainDlg dialog(m_fields[i], m_services.app.GetDatabase(), m_services.session, m_services.prompter, this);
    dialog.exec();
    reload();
}

} // namespace telvora
