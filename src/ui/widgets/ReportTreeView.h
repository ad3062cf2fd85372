#pragma once

#include <QTreeView>

namespace telvora {

// The tree under a ReportView: draws group headers across the whole row (the first
// column may be a hidden key column) with their expand mark.
class ReportTreeView final : public QTreeView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReportTreeView)

public:
    explicit ReportTreeView(QWidget* parent = nullptr);
    ~ReportTreeView() override;

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool isHeader(const QModelIndex& index) const;
    QRect markRect(const QRect& row) const;
};

} // namespace telvora
