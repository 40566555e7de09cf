#pragma once

#include "logic/pinyin/NameMatcher.h"

#include <QSortFilterProxyModel>

#include <vector>

// The rows of a list editor as its list view shows them: all of them, or
// while a search stands only those with a searched column matching it (see
// CNameMatcher). The order is always the rows' own, since moving rows up and
// down is part of the editing; the model never sorts.
class CListFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit CListFilterModel(QObject* parent = nullptr);

    // The columns whose texts a search looks at.
    void setSearchColumns(std::vector<int> columns);
    void setSearch(const QString& text);
    bool isSearching() const { return m_matcher.IsActive(); }

    // The row of the source shown at row, and the reverse (-1 for a row not
    // shown).
    int sourceRow(int row) const;
    int shownRow(int sourceRow) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    std::vector<int> m_columns;
    // Learns the keys of the names it meets; that is no change of the
    // filter's answer.
    mutable CNameMatcher m_matcher;
};
