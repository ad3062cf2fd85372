#pragma once

#include "app/Prompter.h"

#include <QQueue>
#include <QStringList>
#include <QVector>

namespace telvora {

// Answers dialogs from a script and records every message and file dialog shown. A
// question without a scripted answer is answered Cancel and counted as unexpected; a file
// dialog without one is cancelled. Open, save and directory dialogs have a script each.
class ScriptedPrompter final : public Prompter
{
public:
    struct Shown
    {
        PromptKind kind;
        QString caption;
        QString text;
    };
    enum class FileDialog { Open, Save, Directory };
    struct FileAsked
    {
        FileDialog dialog;
        FileRequest request; // a directory dialog fills title and path
    };

    void answerQuestion(bool ok) { m_questionAnswers.enqueue(ok); }
    // An empty path answers Cancel.
    void answerOpenFile(const QString& path) { m_openAnswers.enqueue(path); }
    void answerSaveFile(const QString& path) { m_saveAnswers.enqueue(path); }
    void answerDirectory(const QString& path) { m_directoryAnswers.enqueue(path); }
    const QVector<FileAsked>& fileDialogs() const { return m_fileDialogs; }

    const QVector<Shown>& shown() const { return m_shown; }
    QString lastText() const { return m_shown.isEmpty() ? QString() : m_shown.last().text; }
    QStringList texts() const
    {
        QStringList result;
        for (const Shown& s : m_shown)
            result.append(s.text);
        return result;
    }
    int unexpectedQuestions() const { return m_unexpectedQuestions; }

    bool message(QWidget*, PromptKind kind, const QString& caption, const QString& text) override
    {
        m_shown.append(Shown {kind, caption, text});
        if (kind != PromptKind::Question)
            return true;
        if (m_questionAnswers.isEmpty())
            ++m_unexpectedQuestions;
        return !m_questionAnswers.isEmpty() && m_questionAnswers.dequeue();
    }
    QString getOpenFileName(QWidget*, const FileRequest& request) override
    {
        return answer(FileDialog::Open, request, m_openAnswers);
    }
    QString getSaveFileName(QWidget*, const FileRequest& request) override
    {
        return answer(FileDialog::Save, request, m_saveAnswers);
    }
    QString getExistingDirectory(QWidget*, const QString& title, const QString& directory) override
    {
        return answer(FileDialog::Directory, FileRequest {title, directory, {}, {}}, m_directoryAnswers);
    }

    // Input dialogs: a null answer (or none scripted) is Cancel.
    void answerText(const QString& text) { m_textAnswers.enqueue(text); }
    QString getText(QWidget*, const QString&, const QString&) override
    {
        return m_textAnswers.isEmpty() ? QString() : m_textAnswers.dequeue();
    }

private:
    QString answer(FileDialog dialog, const FileRequest& request, QQueue<QString>& script)
    {
        m_fileDialogs.append(FileAsked {dialog, request});
        return script.isEmpty() ? QString() : script.dequeue();
    }

    QVector<Shown> m_shown;
    QVector<FileAsked> m_fileDialogs;
    QQueue<bool> m_questionAnswers;
    QQueue<QString> m_openAnswers;
    QQueue<QString> m_saveAnswers;
    QQueue<QString> m_directoryAnswers;
    QQueue<QString> m_textAnswers;
    int m_unexpectedQuestions = 0;
};

} // namespace telvora
