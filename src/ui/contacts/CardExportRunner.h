#pragma once

#include "contacts/CardExporter.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <atomic>

class QWidget;

namespace telvora {

class CAppContext;
class CProgressAdapter;
class FrameServices;
class Prompter;

// What one folder export came to.
struct CardExportOutcome
{
    CCardExporter::Result result = CCardExporter::Result::Failed;
    std::string error;
};

// Runs a folder export on a worker with a connection of its own, so a large address book
// never freezes the window; the frame's progress pane follows it. cancel() stops it after
// the row under way and the unfinished file is removed. The outcome is told to the user.
class CCardExportRunner final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CCardExportRunner)

public:
    CCardExportRunner(CAppContext& app, Prompter& prompter, FrameServices& frame, QWidget* owner);
    ~CCardExportRunner() override;

    // The cards of folderId (0: all) into path; caption opens the closing message. False,
    // with a message, while another export runs.
    bool start(long folderId, const QString& path, const QString& caption);
    void cancel();
    bool isRunning() const;
    // Reports on the worker thread; the window hears it queued.
    CProgressAdapter* progressAdapter() const { return m_adapter; }

signals:
    void finished(CCardExporter::Result result);

private:
    void onFinished();

    CAppContext& m_app;
    Prompter& m_prompter;
    FrameServices& m_frame;
    QWidget* m_owner;
    CProgressAdapter* m_adapter;
    std::atomic<bool> m_stop = false;
    QFutureWatcher<CardExportOutcome> m_watcher;
    QString m_caption;
};

} // namespace telvora
