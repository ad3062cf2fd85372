#include "app/QtPrompter.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace telvora {

QtPrompter::~QtPrompter() = default;

bool QtPrompter::message(QWidget* parent, PromptKind kind, const QString& caption, const QString& text)
{
    QMessageBox box(parent);
    box.setWindowTitle(caption);
    // Texts often carry the service's message: shown as they are, never as rich text.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    switch (kind) {
    case PromptKind::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case PromptKind::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case PromptKind::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    QPushButton* ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    if (kind == PromptKind::Question) {
        QPushButton* cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        box.setEscapeButton(cancel);
    } else {
        box.setEscapeButton(ok);
    }
    box.exec();
    return box.clickedButton() == ok;
}

QString QtPrompter::getOpenFileName(QWidget* parent, const FileRequest& request)
{
    return QFileDialog::getOpenFileName(parent, request.title, request.path, request.filter);
}

QString QtPrompter::getSaveFileName(QWidget* parent, const FileRequest& request)
{
    // The static helper cannot add a default suffix.
    QFileDialog dialog(parent, request.title, request.path, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString QtPrompter::getExistingDirectory(QWidget* parent, const QString& title, const QString& directory)
{
    return QFileDialog::getExistingDirectory(parent, title, directory);
}

QString QtPrompter::getText(QWidget* parent, const QString& caption, const QString& text)
{
    bool ok = false;
    const QString typed = QInputDialog::getText(parent, caption, {}, QLineEdit::Normal, text, &ok);
    return ok ? typed : QString();
}

} // namespace telvora
