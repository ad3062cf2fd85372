#include "app/Prompter.h"

namespace telvora {

Prompter::~Prompter() = default;

QString Prompter::getOpenFileName(QWidget*, const FileRequest&)
{
    return {};
}

QString Prompter::getSaveFileName(QWidget*, const FileRequest&)
{
    return {};
}

QString Prompter::getExistingDirectory(QWidget*, const QString&, const QString&)
{
    return {};
}

QString Prompter::getText(QWidget*, const QString&, const QString&)
{
    return {};
}

void Prompter::information(QWidget* parent, const QString& text)
{
    message(parent, PromptKind::Information, captionFor(PromptKind::Information), text);
}

bool Prompter::question(QWidget* parent, const QString& text)
{
    return message(parent, PromptKind::Question, captionFor(PromptKind::Question), text);
}

void Prompter::error(QWidget* parent, const QString& text)
{
    message(parent, PromptKind::Error, captionFor(PromptKind::Error), text);
}

QString Prompter::captionFor(PromptKind kind)
{
    switch (kind) {
    case PromptKind::Information:
        return QStringLiteral("提示");
    case PromptKind::Question:
        return QStringLiteral("询问");
    case PromptKind::Error:
        return QStringLiteral("错误");
    }
    return {};
}

} // namespace telvora
