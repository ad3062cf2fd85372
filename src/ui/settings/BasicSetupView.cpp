#include "settings/BasicSetupView.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace telvora {

namespace {

QCheckBox* box(const QString& caption, const char* name, QWidget* parent)
{
    auto* check = new QCheckBox(caption, parent);
    check->setObjectName(QString::fromLatin1(name));
    return check;
}

QSpinBox* number(const char* name, int maximum, QWidget* parent)
{
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setRange(0, maximum);
    return spin;
}

} // namespace

CBasicSetupView::CBasicSetupView(QWidget* parent)
    : QWidget(parent)
    , m_checkUpdate(box(QStringLiteral("系统启动检查最新版本"), "checkUpdate", this))
    , m_autoSaveDatabase(box(QStringLiteral("系统退出自动备份数据库"), "autoSaveDatabase", this))
    , m_autoClear(box(QStringLiteral("历史记录自动清除，"), "autoClear", this))
    , m_keepDays(number("keepDays", 99999, this))
    , m_autoSaveRepliers(box(QStringLiteral("自动保存短信回复新号码"), "autoSaveRepliers", this))
    , m_incomingSound(box(QStringLiteral("接收短信时声音提示"), "incomingSound", this))
    , m_stockWarning(box(QStringLiteral("短信余量少于"), "stockWarning", this))
    , m_stockAmount(number("stockAmount", 99999999, this))
    , m_addSignature(box(QStringLiteral("添加短信落款"), "addSignature", this))
    , m_signature(new QLineEdit(this))
    , m_skipUnsubscribed(box(QStringLiteral("退订号码不再发送"), "skipUnsubscribed", this))
{
    m_signature->setObjectName(QStringLiteral("signature"));
    auto* layout = new QGridLayout(this);
    int row = 0;
    layout->addWidget(m_checkUpdate, row++, 0, 1, 4);
    layout->addWidget(m_autoSaveDatabase, row++, 0, 1, 4);
    layout->addWidget(m_autoClear, row, 0);
    layout->addWidget(new QLabel(QStringLiteral("保存期限"), this), row, 1);
    layout->addWidget(m_keepDays, row, 2);
    layout->addWidget(new QLabel(QStringLiteral("天"), this), row++, 3);
    layout->addWidget(m_autoSaveRepliers, row++, 0, 1, 4);
    layout->addWidget(m_incomingSound, row++, 0, 1, 4);
    layout->addWidget(m_stockWarning, row, 0);
    layout->addWidget(m_stockAmount, row, 1, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("条时,登陆提醒我"), this), row++, 3);
    layout->addWidget(m_addSignature, row, 0);
    layout->addWidget(m_signature, row++, 1, 1, 3);
    layout->addWidget(m_skipUnsubscribed, row++, 0, 1, 4);
    layout->setRowStretch(row, 1);
}

CBasicSetupView::~CBasicSetupView() = default;

void CBasicSetupView::load(const BasicSettings& settings)
{
    m_checkUpdate->setChecked(settings.checkUpdate);
    m_autoSaveDatabase->setChecked(settings.autoSaveDatabase);
    m_autoClear->setChecked(settings.autoClear);
    m_keepDays->setValue(settings.keepDays);
    m_autoSaveRepliers->setChecked(settings.autoSaveRepliers);
    m_incomingSound->setChecked(settings.incomingSound);
    m_stockWarning->setChecked(settings.stockWarning);
    m_stockAmount->setValue(settings.stockWarningAmount);
    m_addSignature->setChecked(settings.addSignature);
    m_signature->setText(QString::fromStdString(settings.signature));
    m_skipUnsubscribed->setChecked(settings.skipUnsubscribed);
    // The service's own signature is not ours to change.
    m_signatureFixed = settings.signatureFixed;
    m_addSignature->setEnabled(!settings.signatureFixed);
    m_signature->setEnabled(!settings.signatureFixed);
}

BasicSettings CBasicSetupView::values() const
{
    BasicSettings settings;
    settings.checkUpdate = m_checkUpdate->isChecked();
    settings.autoSaveDatabase = m_autoSaveDatabase->isChecked();
    settings.autoClear = m_autoClear->isChecked();
    settings.keepDays = m_keepDays->value();
    settings.autoSaveRepliers = m_autoSaveRepliers->isChecked();
    settings.incomingSound = m_incomingSound->isChecked();
    settings.stockWarning = m_stockWarning->isChecked();
    settings.stockWarningAmount = m_stockAmount->value();
    settings.addSignature = m_addSignature->isChecked();
    settings.signature = m_signature->text().toStdString();
    settings.signatureFixed = m_signatureFixed;
    settings.skipUnsubscribed = m_skipUnsubscribed->isChecked();
    return settings;
}

} // namespace telvora
