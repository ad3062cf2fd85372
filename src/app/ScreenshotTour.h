#pragma once

#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <functional>

namespace telvora {

class CMainFrame;

// Saves pictures of the login dialog and of every page of the main window (the send page
// also once filled in) into a directory, then ends the program: for the documentation and for checking the look.
class ScreenshotTour final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ScreenshotTour)

public:
    ScreenshotTour(CMainFrame& frame, QString directory, QObject* parent = nullptr);
    ~ScreenshotTour() override;

    // Takes the login dialog now and the pages once the dialog has closed.
    void start();

private:
    void takePages();
    void takeNextPage();
    bool save(QWidget& widget, const QString& name);
    // Fills the send page as a user would: a message, typed numbers, a loaded file and a
    // handed-over list; then calls done.
    void composeSendPage(std::function<void()> done);

    CMainFrame& m_frame;
    QString m_directory;
    QStringList m_remaining;
    int m_failures = 0;
    QTemporaryDir m_files; // the number file the send page loads
};

} // namespace telvora
