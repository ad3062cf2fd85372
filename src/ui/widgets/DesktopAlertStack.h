#pragma once

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <optional>

namespace telvora {

class DesktopAlert;

// The open desktop alerts of the main window. A new alert goes to the remembered place
// (where the user last dropped one; the bottom-right corner of the screen until then)
// or, when an open alert is there, next to it, so that alerts never cover each other.
// The caller stores the remembered place: anchorChanged tells it when to.
class DesktopAlertStack final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DesktopAlertStack)

public:
    static constexpr int kGap = 4;
    static constexpr int kMargin = 8;

    explicit DesktopAlertStack(QObject* parent = nullptr);
    // Closes the alerts still open.
    ~DesktopAlertStack() override;

    DesktopAlert* showAlert(const QString& caption, const QString& text);

    std::optional<QPoint> anchor() const { return m_anchor; }
    void setAnchor(const std::optional<QPoint>& topLeft);
    // Where alerts go while no place is remembered.
    static QPoint defaultAnchor();

    void setIcon(const QIcon& icon);
    void setTimings(int fadeMs, int showMs);
    QList<DesktopAlert*> alerts() const;

signals:
    void anchorChanged(const QPoint& topLeft);

private:
    QPoint placeFor() const;

    QList<QPointer<DesktopAlert>> m_alerts;
    std::optional<QPoint> m_anchor;
    QIcon m_icon;
    int m_fadeMs = 500;
    int m_showMs = 3000;
};

} // namespace telvora
