#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <functional>

class QDialog;
class QDialogButtonBox;
class QLayout;
class QProgressBar;
class QWidget;

namespace telvora {

// One service call or transfer of a dialog, run on a pool thread. While it runs the
// dialog's controls are disabled and the indicator moves (busy, or the share done once
// progress is reported); the dialog itself keeps painting and can be moved. The end
// reaches done() on the dialog's thread. Destroying the task waits for the work: every
// call it runs is bounded by a time-out.
class CServiceTask final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CServiceTask)

public:
    CServiceTask(QWidget* controls, QProgressBar* indicator, QObject* parent = nullptr);
    ~CServiceTask() override;

    // Lays out a dialog as content, an indicator and buttons (whose Cancel rejects), and
    // makes the task that disables the buttons while it runs.
    static CServiceTask* layOut(QDialog* dialog, QLayout* content, QDialogButtonBox* buttons);

    // False, doing nothing, while an earlier piece of work runs.
    bool run(std::function<bool()> work, std::function<void(bool)> done);
    // Until done() has run.
    bool isRunning() const { return m_running; }

    // Thread-safe: done of total bytes; shown as a share from then on.
    void reportProgress(qint64 done, qint64 total);

signals:
    void finished(bool ok);

private:
    void onFinished();
    void showBusy(bool busy);

    QPointer<QWidget> m_controls;
    QPointer<QProgressBar> m_indicator;
    QFutureWatcher<bool> m_watcher;
    std::function<void(bool)> m_done;
    bool m_running = false;
};

} // namespace telvora
