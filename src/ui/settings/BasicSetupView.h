#pragma once

#include "app/BasicSettings.h"

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace telvora {

// "系统参数设置": the basic system parameters.
class CBasicSetupView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CBasicSetupView)

public:
    explicit CBasicSetupView(QWidget* parent = nullptr);
    ~CBasicSetupView() override;

    void load(const BasicSettings& settings);
    BasicSettings values() const;

private:
    QCheckBox* m_checkUpdate;
    QCheckBox* m_autoSaveDatabase;
    QCheckBox* m_autoClear;
    QSpinBox* m_keepDays;
    QCheckBox* m_autoSaveRepliers;
    QCheckBox* m_incomingSound;
    QCheckBox* m_stockWarning;
    QSpinBox* m_stockAmount;
    QCheckBox* m_addSignature;
    QLineEdit* m_signature;
    QCheckBox* m_skipUnsubscribed;
    bool m_signatureFixed = false;
};

} // namespace telvora
