#include "widgets/DesktopAlertStack.h"

#include "widgets/DesktopAlert.h"

#include <QGuiApplication>
#include <QScreen>

namespace telvora {

namespace {

QRect availableGeometry(const QPoint& at)
{
    QScreen* screen = QGuiApplication::screenAt(at);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

} // namespace

DesktopAlertStack::DesktopAlertStack(QObject* parent)
    : QObject(parent)
{ }

DesktopAlertStack::~DesktopAlertStack()
{
    for (const QPointer<DesktopAlert>& alert : m_alerts) {
        if (alert)
            delete alert.data();
    }
}

QPoint DesktopAlertStack::defaultAnchor()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    return {area.right() + 1 - DesktopAlert::kWidth - kMargin, area.bottom() + 1 - DesktopAlert::kHeight - kMargin};
}

void DesktopAlertStack::setAnchor(const std::optional<QPoint>& topLeft)
{
    m_anchor = topLeft;
}

void DesktopAlertStack::setIcon(const QIcon& icon)
{
    m_icon = icon;
}

void DesktopAlertStack::setTimings(int fadeMs, int showMs)
{
    m_fadeMs = fadeMs;
    m_showMs = showMs;
}

QList<DesktopAlert*> DesktopAlertStack::alerts() const
{
    QList<DesktopAlert*> result;
    for (const QPointer<DesktopAlert>& alert : m_alerts) {
        if (alert)
            result.append(alert.data());
    }
    return result;
}

DesktopAlert* DesktopAlertStack::showAlert(const QString& caption, const QString& text)
{
    auto* alert = new DesktopAlert(caption, text);
    if (!m_icon.isNull())
        alert->setIcon(m_icon);
    alert->setTimings(m_fadeMs, m_showMs);
    connect(alert, &DesktopAlert::closed, this, [this, alert] { m_alerts.removeAll(alert); });
    connect(alert, &DesktopAlert::dragged, this, [this](const QPoint& topLeft) {
        m_anchor = topLeft;
        emit anchorChanged(topLeft);
    });
    const QPoint place = placeFor();
    m_alerts.append(alert);
    alert->popup(place);
    return alert;
}

QPoint DesktopAlertStack::placeFor() const
{
    const QPoint anchor = m_anchor.value_or(defaultAnchor());
    const QRect area = availableGeometry(anchor);
    const QSize size(DesktopAlert::kWidth, DesktopAlert::kHeight);
    QList<QRect> taken;
    for (const QPointer<DesktopAlert>& alert : m_alerts) {
        if (alert)
            taken.append(alert->geometry());
    }
    const auto isFree = [&](const QRect& r) {
        return std::none_of(taken.cbegin(), taken.cend(), [&](const QRect& t) { return t.intersects(r); });
    };

    // Stack away from the nearer screen edge: upwards from a place in the lower half,
    // downwards from the upper half; a full column continues in the next one inwards.
    const int stepY = (anchor.y() + size.height() / 2 > area.center().y() ? -1 : 1) * (size.height() + kGap);
    const int stepX = (anchor.x() + size.width() / 2 > area.center().x() ? -1 : 1) * (size.width() + kGap);
    for (int column = 0; column < 16; ++column) {
        const int x = anchor.x() + column * stepX;
        if (column > 0 && (x < area.left() || x + size.width() - 1 > area.right()))
            break;
        for (int slot = 0; slot < 64; ++slot) {
            const QRect candidate(QPoint(x, anchor.y() + slot * stepY), size);
            if (slot > 0 && !area.contains(candidate))
                break;
            if (isFree(candidate))
                return candidate.topLeft();
        }
    }
    // The screen is full of alerts: overlap rather than lose one.
    return anchor;
}

} // namespace telvora
