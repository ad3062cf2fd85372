#pragma once

#include "remind/BirthdaySettings.h"

#include <QWidget>

class QCheckBox;
class QPlainTextEdit;
class QTimeEdit;

namespace telvora {

// "生日祝福设置": the birthday greeting settings.
class CSecuritySetupView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSecuritySetupView)

public:
    explicit CSecuritySetupView(QWidget* parent = nullptr);
    ~CSecuritySetupView() override;

    void load(const BirthdaySettings& settings);
    BirthdaySettings values() const;

private:
    void updateEnabled();
    void limitContent();

    QCheckBox* m_autoSend;
    QCheckBox* m_insertTitle;
    QCheckBox* m_confirm;
    QTimeEdit* m_time;
    QPlainTextEdit* m_content;
};

} // namespace telvora
