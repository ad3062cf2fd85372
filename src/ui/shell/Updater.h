#pragma once

#include <QString>

namespace telvora {

class CAppContext;

// The online updater is a separate program. None ships with this one: it is used only
// when the setup key "Updater" names an executable (absolute, or relative to the data
// directory).
class CUpdater final
{
public:
    static constexpr const char* kSetupKey = "Updater";

    // The configured updater's path, or empty when there is none to run.
    static QString ConfiguredProgram(const CAppContext& app);
    // Starts it detached in the data directory; false when none is configured or it
    // cannot be started.
    static bool Start(const CAppContext& app);
};

} // namespace telvora
