#pragma once

#include <QString>

namespace telvora {

// Command ids of the main window's menus and tool bar.
enum FrameCommand : int {
    CmdLogin = 32812,
    CmdClearData = 32781,
    CmdExit = 57665,
    CmdRestoreCards = 32797,
    CmdClearCards = 32799,
    CmdRestoreRecords = 32804,
    CmdClearRecords = 32805,
    CmdBackup = 32793,
    CmdRestore = 32802,
    CmdCompact = 32789,
    CmdPassword = 32778,
    CmdRefreshStock = 32803,
    CmdSettings = 32811,
    CmdHolidays = 32815,
    CmdUpdate = 32810,
    CmdRegionQuery = 32813,
    CmdDivision = 32817,
    CmdExtract = 32820,
    CmdWebsite = 32807,
    CmdMail = 32808,
    CmdHelp = 32809,
    CmdAbout = 57664,
    CmdPhrases = 32774,
    CmdBills = 32791,
    CmdAccounts = 138,
};

// What a view may ask of the window that hosts it. Views get this instead of the main
// window, so each can be built and tested on its own.
class FrameServices
{
public:
    FrameServices() = default;
    virtual ~FrameServices();
    FrameServices(const FrameServices&) = delete;
    FrameServices& operator=(const FrameServices&) = delete;

    // Switches to the page of that caption (the navigation pane follows), then broadcasts
    // hint to every view; 0 broadcasts nothing.
    virtual void showPage(const QString& caption, int hint) = 0;
    // Shows or hides the pane left of the current page, e.g. the recipient picker that
    // "添加客户" reveals beside the send page.
    virtual void showLeftPane(bool shown) = 0;
    // The status text pane.
    virtual void setStatusText(const QString& text) = 0;
    // The progress pane of long work (a send, an export): shown with the first call,
    // range 0 to total; endProgress removes it.
    virtual void setProgress(int done, int total) = 0;
    virtual void endProgress() = 0;
    // As if the user chose that menu or tool bar command.
    virtual void runCommand(int command) = 0;
};

} // namespace telvora
