#include "widgets/ReportFilterProxy.h"

#include "widgets/ReportModel.h"

namespace telvora {

ReportFilterProxy::ReportFilterProxy(ReportModel* model, QObject* parent)
    : QSortFilterProxyModel(parent)
    , m_model(model)
{
    setRecursiveFilteringEnabled(true);
    setSourceModel(model);
}

ReportFilterProxy::~ReportFilterProxy() = default;

void ReportFilterProxy::setFilterText(const QString& text)
{
    if (text == m_filterText)
        return;
    m_filterText = text;
    invalidateFilter();
}

void ReportFilterProxy::refilter()
{
    invalidateFilter();
}

QVariant ReportFilterProxy::data(const QModelIndex& index, int role) const
{
    // Headers are exactly the top-level items while grouped.
    if (role == Qt::DisplayRole && index.column() == 0 && m_model->isGrouped() && !index.parent().isValid()) {
        return QStringLiteral("%1 (%2)").arg(index.data(ReportModel::GroupCaptionRole).toString()).arg(rowCount(index));
    }
    return QSortFilterProxyModel::data(index, role);
}

bool ReportFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    const QModelIndex index = m_model->index(sourceRow, 0, sourceParent);
    // A header passes by itself only without a filter; otherwise it is shown through
    // the recursive filtering as soon as one of its rows passes.
    if (m_model->isGroupHeader(index))
        return m_filterText.isEmpty();
    return m_filterText.isEmpty() || m_model->rowContains(m_model->rowForIndex(index), m_filterText);
}

bool ReportFilterProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    return m_model->lessThan(left, right, left.column());
}

} // namespace telvora
