#pragma once

#include "app/Prompter.h"

#include <QQueue>
#include <QStringList>
#include <QVector>

namespace telvora {

// Answers dialogs from a script and records everything shown. A question without a
// scripted answer is answered Cancel and counted as unexpected; a file dialog without
// one is cancelled.
class ScriptedPrompter final : public Prompter
{
public:
    struct Shown
    {
        PromptKind kind;
        QString caption;
        QString text;
    };
    struct FileDialog
    {
        enum Kind { Open, Save, Directory } kind;
        FileRequest request;
    };

    ScriptedPrompter() = default;
    ~ScriptedPrompter() override;

    void answerQuestion(bool ok);
    void answerFile(const QString& path);

    const QVector<Shown>& shown() const { return m_shown; }
    QStringList texts() const;
    QString lastText() const;
    const QVector<FileDialog>& fileDialogs() const { return m_fileDialogs; }
    int unexpectedQuestions() const { return m_unexpectedQuestions; }
    int pendingAnswers() const { return static_cast<int>(m_questionAnswers.size() + m_fileAnswers.size()); }

    bool message(QWidget* parent, PromptKind kind, const QString& caption, const QString& text) override;
    QString getOpenFileName(QWidget* parent, const FileRequest& request) override;
    QString getSaveFileName(QWidget* parent, const FileRequest& request) override;
    QString getExistingDirectory(QWidget* parent, const QString& title, const QString& directory) override;

private:
    QString nextFile(FileDialog::Kind kind, const FileRequest& request);

    QVector<Shown> m_shown;
    QVector<FileDialog> m_fileDialogs;
    QQueue<bool> m_questionAnswers;
    QQueue<QString> m_fileAnswers;
    int m_unexpectedQuestions = 0;
};

} // namespace telvora
