#pragma once

// moc cannot parse what the standard library's <compare> pulls in.
#ifndef Q_MOC_RUN
#include "remind/CustomDateReminder.h"
#endif
#include "app/ViewServices.h"

#include <QVector>
#include <QWidget>

class QPushButton;

namespace telvora {

// "今日提醒": today's sends and replies, birthdays, holiday and the custom-date reminders,
// each line a button that leads on. Loading sends the custom-date messages that are due.
class CTodayView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CTodayView)

public:
    static constexpr int kFieldCount = 4;

    explicit CTodayView(ViewServices services, QWidget* parent = nullptr);
    ~CTodayView() override;

    // Counts the day again and sends what is due (after the login, when it is over).
    void reload();

    QPushButton* sentLine() const { return m_sent; }
    QPushButton* receivedLine() const { return m_received; }
    QPushButton* birthdayLine() const { return m_birthdays; }
    QPushButton* holidayLine() const { return m_holiday; }
    QPushButton* fieldLine(int i) const { return m_fieldLines.value(i); }
    QPushButton* statusLine(int i) const { return m_statusLines.value(i); }
    int holidayId() const { return m_holidayId; }

signals:
    // The holiday line was clicked: the reminders page greets that holiday.
    void holidayGreetingRequested(int holidayId);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void load();
    void onFieldClicked(int i);
    void onStatusClicked(int i);
    void onHint(int hint);

    ViewServices m_services;
    QPushButton* m_sent;
    QPushButton* m_received;
    QPushButton* m_birthdays;
    QPushButton* m_holiday;
    QVector<QPushButton*> m_fieldLines;
    QVector<QPushButton*> m_statusLines;
    std::vector<CustomDateReminder> m_fields;
    int m_holidayId = 0;
};

} // namespace telvora
