#include "shell/TrayIcon.h"

#include "shell/ShellIcons.h"

#include <QMenu>

namespace telvora {

CTrayIcon::CTrayIcon(QObject* parent)
    : QSystemTrayIcon(ShellIcons::application(), parent)
    , m_menu(std::make_unique<QMenu>())
{
    setToolTip(QStringLiteral("Telvora"));
    m_menu->addAction(QStringLiteral("访问Pelwin网站"), this, &CTrayIcon::websiteRequested);
    m_menu->addAction(QStringLiteral("系统退出"), this, &CTrayIcon::exitRequested);
    setContextMenu(m_menu.get());
    connect(this, &QSystemTrayIcon::activated, this, &CTrayIcon::onActivated);
}

CTrayIcon::~CTrayIcon() = default;

bool CTrayIcon::canHoldWindow() const
{
    return isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void CTrayIcon::showBalloon(const QString& title, const QString& text, int milliseconds)
{
    if (isVisible() && supportsMessages())
        showMessage(title, text, QSystemTrayIcon::Critical, milliseconds);
    emit balloonShown(title, text);
}

void CTrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
        emit restoreRequested();
}

} // namespace telvora
