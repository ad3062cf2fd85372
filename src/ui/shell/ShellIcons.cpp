#include "shell/ShellIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace telvora {

namespace {

QPixmap canvas()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QIcon dot(const QColor& colour)
{
    QPixmap pixmap = canvas();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour.darker(150), 2));
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(6, 6, 20, 20));
    return QIcon(pixmap);
}

// A speech bubble: the program's mark.
QIcon bubble(const QColor& colour)
{
    QPixmap pixmap = canvas();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(2, 4, 28, 19), 6, 6);
    path.moveTo(9, 22);
    path.lineTo(7, 30);
    path.lineTo(16, 22);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(path.simplified());
    painter.setBrush(Qt::white);
    for (int x : {9, 16, 23})
        painter.drawEllipse(QPointF(x, 13.5), 2.2, 2.2);
    return QIcon(pixmap);
}

} // namespace

QIcon ShellIcons::application()
{
    return bubble(QColor(0, 61, 178));
}

QIcon ShellIcons::online()
{
    return dot(QColor(40, 170, 70));
}

QIcon ShellIcons::offline()
{
    return dot(QColor(200, 50, 40));
}

QIcon ShellIcons::alert()
{
    return bubble(QColor(230, 140, 20));
}

} // namespace telvora
