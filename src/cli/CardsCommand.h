#pragma once

#include "CommandLine.h"

#include <iosfwd>

namespace telvora {
class CAppContext;
} // namespace telvora

namespace telvora::cli {

/// "cards import|list|export" on the working database the application context has open.
class CCardsCommand final
{
public:
    CCardsCommand(CAppContext& app, std::ostream& out, std::ostream& err);

    /// The exit code.
    int Run(const CommandLine& line);

private:
    int runImport(const CommandLine& line);
    int runList(const CommandLine& line);
    int runExport(const CommandLine& line);
    /// The folder named by --folder: its id, 0 without --folder, -1 (told) when unknown.
    long namedFolder(const CommandLine& line);

    CAppContext& m_app;
    std::ostream& m_out;
    std::ostream& m_err;
};

} // namespace telvora::cli
