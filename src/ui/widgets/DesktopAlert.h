#pragma once

#include <QPoint>
#include <QWidget>

class QLabel;
class QPropertyAnimation;
class QTimer;
class QToolButton;

namespace telvora {

// A small frameless pop-up on top of every window: it fades in, stays a while, fades
// out and closes itself, or closes at once by its close button. It deletes itself
// once closed. The user may drag it; DesktopAlertStack remembers where.
class DesktopAlert final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DesktopAlert)

public:
    static constexpr int kWidth = 280;
    static constexpr int kHeight = 80;
    // Opacity while fully shown: 250 of 255.
    static constexpr double kOpacity = 250.0 / 255.0;

    DesktopAlert(const QString& caption, const QString& text, QWidget* parent = nullptr);
    ~DesktopAlert() override;

    QString caption() const;
    QString text() const;
    void setIcon(const QIcon& icon);
    // Shortened in tests; 500 ms and 3000 ms by default.
    void setTimings(int fadeMs, int showMs);
    int fadeDuration() const { return m_fadeMs; }
    int showDuration() const { return m_showMs; }

    // Shows the alert with its top-left corner at topLeft and starts its timing.
    void popup(const QPoint& topLeft);

signals:
    // The user dropped the alert at a new place.
    void dragged(const QPoint& topLeft);
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class Phase { Hidden, FadingIn, Showing, FadingOut };

    void onFadeFinished();
    void fadeOut();

    QLabel* m_icon;
    QLabel* m_caption;
    QLabel* m_text;
    QToolButton* m_close;
    QPropertyAnimation* m_fade;
    QTimer* m_showTimer;
    Phase m_phase = Phase::Hidden;
    int m_fadeMs = 500;
    int m_showMs = 3000;
    bool m_dragging = false;
    bool m_moved = false;
    QPoint m_dragOffset;
};

} // namespace telvora
