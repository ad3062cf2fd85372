#pragma once

#include <QIcon>

namespace telvora {

// The few images of the main window, drawn at run time so that nothing needs to ship.
class ShellIcons final
{
public:
    static QIcon application();
    // The connection pane: online (logged in) or offline.
    static QIcon online();
    static QIcon offline();
    static QIcon alert();
};

} // namespace telvora
