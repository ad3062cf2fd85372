#pragma once

// moc cannot parse what the standard library's <compare> pulls in.
#ifndef Q_MOC_RUN
#include "db/DateTime.h"
#endif

#include <QDialog>
#include <string>
#include <vector>

class QCalendarWidget;
class QLabel;
class QPushButton;

namespace telvora {

class CBirthdayGreeter;
class CSendEngine;
class FrameServices;
class Prompter;

// "周五生日祝福提示": offers on Fridays to schedule the greetings of Saturday and Sunday.
class CBirthWishDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CBirthWishDialog)

public:
    static constexpr int kEngineCheckMs = 1000;

    CBirthWishDialog(CBirthdayGreeter& greeter, CSendEngine& engine, FrameServices& frame, Prompter& prompter,
        bool enabled, const DateTime& now, QWidget* parent = nullptr);
    ~CBirthWishDialog() override;

    // False when there is nothing to offer: the dialog then closes at once as cancelled.
    bool hasGreetings() const { return m_open; }
    // Shows the dialog and waits for it, unless there is nothing to offer.
    int exec() override;
    int greetingCount() const { return static_cast<int>(m_saturday.size() + m_sunday.size()); }
    QLabel* textLine() const { return m_text; }

public slots:
    void accept() override;

private:
    void sendNext();

    CBirthdayGreeter& m_greeter;
    CSendEngine& m_engine;
    FrameServices& m_frame;
    QCalendarWidget* m_calendar;
    QLabel* m_text;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    std::vector<std::string> m_saturday;
    std::vector<std::string> m_sunday;
    DateTime m_now;
    int m_nextDay = 0;
    bool m_open = false;
};

} // namespace telvora
