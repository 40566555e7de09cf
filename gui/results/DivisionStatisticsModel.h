#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

class CDivisionCategoryCounts;
class CDivisionStatistics;

// The division statistics for a list view: one row per class and the
// whole-school row last, drawn in blue. With condition columns or score
// bands, a column per category follows the averages, with its count.
class CDivisionStatisticsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit CDivisionStatisticsModel(QObject* parent = nullptr);

    // Takes the titles and the rows of computed statistics, and the
    // category counts of the same students.
    void load(const std::vector<std::string>& subjectNames, const CDivisionStatistics& statistics,
              const CDivisionCategoryCounts& categories);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    int defaultColumnWidth(int column) const;
    bool hasSchoolRow() const { return !m_rows.empty(); }
    // The first category column; columnCount() when there is none.
    int firstCategoryColumn() const { return m_firstCategory; }

private:
    bool isRightAligned(int column) const { return column >= 5; }

    QStringList m_titles;
    std::vector<QStringList> m_rows;
    int m_firstCategory = 0;
};
