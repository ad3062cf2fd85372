#include "widgets/ReportTreeView.h"

#include "widgets/ReportModel.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>

namespace telvora {

namespace {
constexpr int kMarkWidth = 18;
}

ReportTreeView::ReportTreeView(QWidget* parent)
    : QTreeView(parent)
{ }

ReportTreeView::~ReportTreeView() = default;

bool ReportTreeView::isHeader(const QModelIndex& index) const
{
    return index.isValid() && index.data(ReportModel::GroupHeaderRole).toBool();
}

QRect ReportTreeView::markRect(const QRect& row) const
{
    return QRect(row.left() + 2, row.top(), kMarkWidth, row.height());
}

void ReportTreeView::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!isHeader(index)) {
        QTreeView::drawRow(painter, option, index);
        return;
    }
    const int width = std::max(viewport()->width(), header()->length() - header()->offset());
    const QRect row(0, option.rect.top(), width, option.rect.height());
    painter->save();
    painter->fillRect(row, palette().color(QPalette::Button));
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawLine(row.bottomLeft(), row.bottomRight());

    QStyleOption mark;
    mark.initFrom(this);
    mark.rect = markRect(row);
    mark.state = QStyle::State_Children | QStyle::State_Item;
    if (isExpanded(index))
        mark.state |= QStyle::State_Open;
    style()->drawPrimitive(QStyle::PE_IndicatorBranch, &mark, painter, this);

    const QRect textRect = row.adjusted(mark.rect.right() + 4, 0, -4, 0);
    QFont font = painter->font();
    font.setBold(true);
    painter->setFont(font);
    painter->setPen(palette().color(QPalette::ButtonText));
    const QString text = index.siblingAtColumn(0).data(Qt::DisplayRole).toString();
    painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
        painter->fontMetrics().elidedText(text, Qt::ElideRight, textRect.width()));
    if (currentIndex().isValid() && currentIndex().siblingAtColumn(0) == index.siblingAtColumn(0) && hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = row.adjusted(0, 0, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, this);
    }
    painter->restore();
}

void ReportTreeView::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (isHeader(index) && event->button() == Qt::LeftButton) {
        const QRect row = visualRect(index);
        if (event->position().x() < markRect(QRect(0, row.top(), row.width(), row.height())).right() + 4) {
            setExpanded(index.siblingAtColumn(0), !isExpanded(index.siblingAtColumn(0)));
            event->accept();
            return;
        }
    }
    QTreeView::mousePressEvent(event);
}

} // namespace telvora
