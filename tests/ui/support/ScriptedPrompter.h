#pragma once

#include "app/Prompter.h"

#include <QQueue>
#include <QStringList>
#include <QVector>

namespace telvora {

// Answers dialogs from a script and records every message shown. A question without a
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

    void answerQuestion(bool ok) { m_questionAnswers.enqueue(ok); }
    void answerFile(const QString& path) { m_fileAnswers.enqueue(path); }

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
    QString getOpenFileName(QWidget*, const FileRequest&) override
    {
        return m_fileAnswers.isEmpty() ? QString() : m_fileAnswers.dequeue();
    }

private:
    QVector<Shown> m_shown;
    QQueue<bool> m_questionAnswers;
    QQueue<QString> m_fileAnswers;
    int m_unexpectedQuestions = 0;
};

} // namespace telvora
