#pragma once

#include <QString>

class QWidget;

namespace telvora {

enum class PromptKind {
    Information, // "提示", information icon, OK
    Question, // "询问", question icon, OK and Cancel
    Error, // "错误", stop icon, OK
};

struct FileRequest
{
    QString title;
    // Directory to open in, or a full path whose file name is the suggested name.
    QString path;
    // Qt filter syntax, e.g. "txt Files (*.txt)".
    QString filter;
    // Appended to a typed name that has no suffix (save dialogs only).
    QString defaultSuffix;
};

// Every message box and file dialog of the views goes through this, so that tests can
// script the answers and read what was shown.
class Prompter
{
public:
    Prompter() = default;
    virtual ~Prompter();
    Prompter(const Prompter&) = delete;
    Prompter& operator=(const Prompter&) = delete;

    // Returns true when the user chose OK (always for boxes without Cancel).
    virtual bool message(QWidget* parent, PromptKind kind, const QString& caption, const QString& text) = 0;
    // An empty result means the user cancelled; a prompter that shows no file dialogs
    // keeps these and cancels every one.
    virtual QString getOpenFileName(QWidget* parent, const FileRequest& request);
    virtual QString getSaveFileName(QWidget* parent, const FileRequest& request);
    virtual QString getExistingDirectory(QWidget* parent, const QString& title, const QString& directory);
    // The one-line input dialog, pre-filled with text; a null result means Cancel (a
    // prompter that shows no input dialog cancels every one).
    virtual QString getText(QWidget* parent, const QString& caption, const QString& text);

    void information(QWidget* parent, const QString& text);
    // OK → true, Cancel or closing the box → false.
    bool question(QWidget* parent, const QString& text);
    void error(QWidget* parent, const QString& text);

    static QString captionFor(PromptKind kind);
};

} // namespace telvora
