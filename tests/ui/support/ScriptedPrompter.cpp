#include "support/ScriptedPrompter.h"

namespace telvora {

ScriptedPrompter::~ScriptedPrompter() = default;

void ScriptedPrompter::answerQuestion(bool ok)
{
    m_questionAnswers.enqueue(ok);
}

void ScriptedPrompter::answerFile(const QString& path)
{
    m_fileAnswers.enqueue(path);
}

QStringList ScriptedPrompter::texts() const
{
    QStringList result;
    for (const Shown& s : m_shown)
        result.append(s.text);
    return result;
}

QString ScriptedPrompter::lastText() const
{
    return m_shown.isEmpty() ? QString() : m_shown.last().text;
}

bool ScriptedPrompter::message(QWidget*, PromptKind kind, const QString& caption, const QString& text)
{
    m_shown.append(Shown {kind, caption, text});
    if (kind != PromptKind::Question)
        return true;
    if (m_questionAnswers.isEmpty()) {
        ++m_unexpectedQuestions;
        return false;
    }
    return m_questionAnswers.dequeue();
}

QString ScriptedPrompter::getOpenFileName(QWidget*, const FileRequest& request)
{
    return nextFile(FileDialog::Open, request);
}

QString ScriptedPrompter::getSaveFileName(QWidget*, const FileRequest& request)
{
    return nextFile(FileDialog::Save, request);
}

QString ScriptedPrompter::getExistingDirectory(QWidget*, const QString& title, const QString& directory)
{
    return nextFile(FileDialog::Directory, FileRequest {title, directory, {}, {}});
}

QString ScriptedPrompter::nextFile(FileDialog::Kind kind, const FileRequest& request)
{
    m_fileDialogs.append(FileDialog {kind, request});
    return m_fileAnswers.isEmpty() ? QString() : m_fileAnswers.dequeue();
}

} // namespace telvora
