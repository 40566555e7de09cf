#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

class CDivisionStatistics;

// The division statistics for a list view: one row per class and the
// whole-school row last, drawn in blue.
class CDivisionStatisticsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit CDivisionStatisticsModel(QObject* parent = nullptr);

    // Takes the titles and the rows of computed statistics.
    void load(const std::vector<std::string>& subjectNames, const CDivisionStatistics& statistics);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    int defaultColumnWidth(int column) const;
    bool hasSchoolRow() const { return !m_rows.empty(); }

private:
    bool isRightAligned(int column) const { return column >= 5; }

    QStringList m_titles;
    std::vector<QStringList> m_rows;
};
