#include "settings/SecuritySetupView.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QPlainTextEdit>
#include <QTimeEdit>

namespace telvora {

CSecuritySetupView::CSecuritySetupView(QWidget* parent)
    : QWidget(parent)
    , m_autoSend(new QCheckBox(QStringLiteral("自动发送生日短信"), this))
    , m_insertTitle(new QCheckBox(QStringLiteral("插入接收者称呼"), this))
    , m_confirm(new QCheckBox(QStringLiteral("发送短信时提醒我确认"), this))
    , m_time(new QTimeEdit(this))
    , m_content(new QPlainTextEdit(this))
{
    m_autoSend->setObjectName(QStringLiteral("autoSend"));
    m_insertTitle->setObjectName(QStringLiteral("insertTitle"));
    m_confirm->setObjectName(QStringLiteral("confirm"));
    m_time->setObjectName(QStringLiteral("time"));
    m_content->setObjectName(QStringLiteral("content"));
    m_time->setDisplayFormat(QStringLiteral("HH:mm"));
    auto* layout = new QFormLayout(this);
    layout->addRow(m_autoSend);
    layout->addRow(m_insertTitle);
    layout->addRow(m_confirm);
    layout->addRow(QStringLiteral("发送时间"), m_time);
    layout->addRow(QStringLiteral("发送内容"), m_content);
    connect(m_autoSend, &QCheckBox::toggled, this, &CSecuritySetupView::updateEnabled);
    connect(m_content, &QPlainTextEdit::textChanged, this, &CSecuritySetupView::limitContent);
    updateEnabled();
}

CSecuritySetupView::~CSecuritySetupView() = default;

void CSecuritySetupView::load(const BirthdaySettings& settings)
{
    m_autoSend->setChecked(settings.autoSend);
    m_insertTitle->setChecked(settings.insertTitle);
    m_confirm->setChecked(settings.confirm);
    m_time->setTime(QTime(settings.hour, settings.minute, settings.second));
    m_content->setPlainText(QString::fromStdString(settings.content));
    updateEnabled();
}

BirthdaySettings CSecuritySetupView::values() const
{
    BirthdaySettings settings;
    settings.autoSend = m_autoSend->isChecked();
    settings.insertTitle = m_insertTitle->isChecked();
    settings.confirm = m_confirm->isChecked();
    settings.content = m_content->toPlainText().toStdString();
    settings.hour = m_time->time().hour();
    settings.minute = m_time->time().minute();
    settings.second = 0;
    settings.timeValid = true;
    return settings;
}

void CSecuritySetupView::updateEnabled()
{
    const bool on = m_autoSend->isChecked();
    for (QWidget* control : std::initializer_list<QWidget*> {m_insertTitle, m_confirm, m_time, m_content})
        control->setEnabled(on);
}

void CSecuritySetupView::limitContent()
{
    const QString text = m_content->toPlainText();
    if (text.size() <= BirthdaySettings::kMaxContentLength)
        return;
    m_content->setPlainText(text.left(BirthdaySettings::kMaxContentLength));
    m_content->moveCursor(QTextCursor::End);
}

} // namespace telvora
