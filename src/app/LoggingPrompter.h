#pragma once

#include "app/Prompter.h"

namespace telvora {

// For unattended runs (screenshots): prints what a message box would show, answers every
// question with Cancel and every file dialog with nothing, so that nothing waits for a user.
class LoggingPrompter final : public Prompter
{
public:
    LoggingPrompter() = default;
    ~LoggingPrompter() override;

    bool message(QWidget* parent, PromptKind kind, const QString& caption, const QString& text) override;
    QString getOpenFileName(QWidget* parent, const FileRequest& request) override;
    QString getSaveFileName(QWidget* parent, const FileRequest& request) override;
    QString getExistingDirectory(QWidget* parent, const QString& title, const QString& directory) override;
};

} // namespace telvora
