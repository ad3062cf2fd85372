#pragma once

#include "app/FrameServices.h"
#include "app/HintBroadcaster.h"

#include <QPair>
#include <QStringList>
#include <QVector>

namespace telvora {

// Stands in for the main window: records what the views ask of it; hints go to the
// views through the broadcaster given.
class RecordingFrame final : public FrameServices
{
public:
    explicit RecordingFrame(HintBroadcaster& hints)
        : m_hints(hints)
    { }

    void showPage(const QString& caption, int hint) override
    {
        pages.append(caption);
        if (hint != 0)
            m_hints.broadcast(hint);
    }
    void showLeftPane(bool shown) override { leftPaneShown = shown; }
    void setStatusText(const QString& text) override { status = text; }
    void setProgress(int done, int total) override { progress.append({done, total}); }
    void endProgress() override { progressEnded = true; }
    void runCommand(int command) override { commands.append(command); }

    QStringList pages;
    bool leftPaneShown = false;
    QString status;
    QVector<QPair<int, int>> progress;
    bool progressEnded = false;
    QVector<int> commands;

private:
    HintBroadcaster& m_hints;
};

} // namespace telvora
