#pragma once

#include "app/Prompter.h"

namespace telvora {

// The real dialogs: QMessageBox and QFileDialog, with Chinese button texts.
class QtPrompter final : public Prompter
{
public:
    QtPrompter() = default;
    ~QtPrompter() override;

    bool message(QWidget* parent, PromptKind kind, const QString& caption, const QString& text) override;
    QString getOpenFileName(QWidget* parent, const FileRequest& request) override;
    QString getSaveFileName(QWidget* parent, const FileRequest& request) override;
    QString getExistingDirectory(QWidget* parent, const QString& title, const QString& directory) override;
    QString getText(QWidget* parent, const QString& caption, const QString& text) override;
};

} // namespace telvora
