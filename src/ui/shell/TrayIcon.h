#pragma once

#include <QSystemTrayIcon>
#include <memory>

class QMenu;

namespace telvora {

// The notification-area icon: a click brings the window back; its menu offers the web
// site and leaving the program.
class CTrayIcon final : public QSystemTrayIcon
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CTrayIcon)

public:
    explicit CTrayIcon(QObject* parent = nullptr);
    ~CTrayIcon() override;

    QMenu* menu() const { return m_menu.get(); }
    // Whether the icon really stands in a notification area, so that a window hidden
    // behind it can be brought back.
    bool canHoldWindow() const;
    // A balloon with the error icon; shown only where a notification area exists.
    void showBalloon(const QString& title, const QString& text, int milliseconds);

signals:
    void restoreRequested();
    void websiteRequested();
    void exitRequested();
    void balloonShown(const QString& title, const QString& text);

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);

    std::unique_ptr<QMenu> m_menu;
};

} // namespace telvora
