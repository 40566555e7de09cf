#include "gui/editors/ListFilterModel.h"

CListFilterModel::CListFilterModel(QObject* parent) : QSortFilterProxyModel(parent)
{
    // A row whose text changes is tested again.
    setDynamicSortFilter(true);
}

void CListFilterModel::setSearchColumns(std::vector<int> columns)
{
    m_columns = std::move(columns);
    invalidateFilter();
}

void CListFilterModel::setSearch(const QString& text)
{
    const std::string typed = text.toStdString();
    if (typed == m_matcher.GetText())
        return;
    m_matcher.SetText(typed);
    invalidateFilter();
}

int CListFilterModel::sourceRow(int row) const
{
    return mapToSource(index(row, 0)).row();
}

int CListFilterModel::shownRow(int sourceRow) const
{
    const QAbstractItemModel* source = sourceModel();
    if (!source || sourceRow < 0 || sourceRow >= source->rowCount())
        return -1;
    return mapFromSource(source->index(sourceRow, 0)).row();
}

bool CListFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    if (!m_matcher.IsActive())
        return true;
    const QAbstractItemModel* source = sourceModel();
    for (int column : m_columns) {
        const QString text = source->index(sourceRow, column, sourceParent).data(Qt::DisplayRole).toString();
        if (m_matcher.Matches(text.toStdString()))
            return true;
    }
    return false;
}
