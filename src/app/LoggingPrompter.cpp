#include "LoggingPrompter.h"

#include <cstdio>

namespace telvora {

LoggingPrompter::~LoggingPrompter() = default;

bool LoggingPrompter::message(QWidget*, PromptKind kind, const QString& caption, const QString& text)
{
    std::fprintf(stderr, "[%s] %s\n", qPrintable(caption), qPrintable(text));
    return kind != PromptKind::Question;
}

QString LoggingPrompter::getOpenFileName(QWidget*, const FileRequest&)
{
    return {};
}

QString LoggingPrompter::getSaveFileName(QWidget*, const FileRequest&)
{
    return {};
}

QString LoggingPrompter::getExistingDirectory(QWidget*, const QString&, const QString&)
{
    return {};
}

} // namespace telvora
