#pragma once

#include <QSortFilterProxyModel>

namespace telvora {

class ReportModel;

// Filters rows by a text over all visible cells and sorts by the clicked column. Group
// headers stay while any of their rows is shown, and count only the rows shown.
class ReportFilterProxy final : public QSortFilterProxyModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReportFilterProxy)

public:
    explicit ReportFilterProxy(ReportModel* model, QObject* parent = nullptr);
    ~ReportFilterProxy() override;

    void setFilterText(const QString& text);
    QString filterText() const { return m_filterText; }
    // Re-applies the filter, e.g. after a column was hidden or shown.
    void refilter();

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    ReportModel* m_model;
    QString m_filterText;
};

} // namespace telvora
