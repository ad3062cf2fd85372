#include "widgets/DesktopAlert.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPropertyAnimation>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

namespace telvora {

namespace {
constexpr int kIconSize = 32;
constexpr int kCloseSize = 16;
} // namespace

DesktopAlert::DesktopAlert(const QString& caption, const QString& text, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , m_icon(new QLabel(this))
    , m_caption(new QLabel(caption, this))
    , m_text(new QLabel(text, this))
    , m_close(new QToolButton(this))
    , m_fade(new QPropertyAnimation(this, "windowOpacity", this))
    , m_showTimer(new QTimer(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(kWidth, kHeight);
    setAutoFillBackground(true);

    m_icon->setFixedSize(kIconSize, kIconSize);
    setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
    QFont bold = m_caption->font();
    bold.setBold(true);
    m_caption->setFont(bold);
    // The texts are a replier's words: "<b>" or "<img>" in them is shown as typed.
    m_caption->setTextFormat(Qt::PlainText);
    m_text->setTextFormat(Qt::PlainText);
    m_caption->setObjectName(QStringLiteral("caption"));
    m_text->setObjectName(QStringLiteral("text"));
    m_text->setWordWrap(true);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette textPalette = m_text->palette();
    textPalette.setColor(QPalette::WindowText, QColor(0, 61, 178));
    m_text->setPalette(textPalette);
    m_close->setObjectName(QStringLiteral("closeButton"));
    m_close->setAutoRaise(true);
    m_close->setFixedSize(kCloseSize + 4, kCloseSize + 4);
    m_close->setIconSize(QSize(kCloseSize, kCloseSize));
    m_close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_close->setToolTip(tr("关闭"));

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(8, 6, 4, 6);
    layout->setHorizontalSpacing(8);
    layout->setVerticalSpacing(2);
    layout->addWidget(m_icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(m_caption, 0, 1);
    layout->addWidget(m_close, 0, 2, Qt::AlignTop | Qt::AlignRight);
    layout->addWidget(m_text, 1, 1, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(1, 1);

    m_showTimer->setSingleShot(true);
    connect(m_showTimer, &QTimer::timeout, this, &DesktopAlert::fadeOut);
    connect(m_fade, &QPropertyAnimation::finished, this, &DesktopAlert::onFadeFinished);
    connect(m_close, &QToolButton::clicked, this, &QWidget::close);
}

DesktopAlert::~DesktopAlert() = default;

QString DesktopAlert::caption() const
{
    return m_caption->text();
}

QString DesktopAlert::text() const
{
    return m_text->text();
}

void DesktopAlert::setIcon(const QIcon& icon)
{
    m_icon->setPixmap(icon.pixmap(kIconSize, kIconSize));
}

void DesktopAlert::setTimings(int fadeMs, int showMs)
{
    m_fadeMs = std::max(0, fadeMs);
    m_showMs = std::max(0, showMs);
}

void DesktopAlert::popup(const QPoint& topLeft)
{
    move(topLeft);
    setWindowOpacity(0.0);
    show();
    m_phase = Phase::FadingIn;
    m_fade->stop();
    m_fade->setDuration(m_fadeMs);
    m_fade->setStartValue(0.0);
    m_fade->setEndValue(kOpacity);
    m_fade->start();
}

void DesktopAlert::onFadeFinished()
{
    if (m_phase == Phase::FadingIn) {
        m_phase = Phase::Showing;
        m_showTimer->start(m_showMs);
    } else if (m_phase == Phase::FadingOut) {
        close();
    }
}

void DesktopAlert::fadeOut()
{
    m_phase = Phase::FadingOut;
    m_fade->stop();
    m_fade->setDuration(m_fadeMs);
    m_fade->setStartValue(windowOpacity());
    m_fade->setEndValue(0.0);
    m_fade->start();
}

void DesktopAlert::closeEvent(QCloseEvent* event)
{
    m_phase = Phase::Hidden;
    m_fade->stop();
    m_showTimer->stop();
    emit closed();
    QWidget::closeEvent(event);
}

void DesktopAlert::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void DesktopAlert::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_dragging = true;
    m_moved = false;
    m_dragOffset = event->globalPosition().toPoint() - pos();
    event->accept();
}

void DesktopAlert::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const QPoint target = event->globalPosition().toPoint() - m_dragOffset;
    if (target != pos()) {
        move(target);
        m_moved = true;
    }
    event->accept();
}

void DesktopAlert::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging || event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_dragging = false;
    if (m_moved)
        emit dragged(pos());
    event->accept();
}

} // namespace telvora
