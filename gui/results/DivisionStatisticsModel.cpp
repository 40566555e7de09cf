#include "gui/results/DivisionStatisticsModel.h"

#include "core/DivisionCategoryCounts.h"
#include "core/DivisionStatistics.h"

#include <QColor>

namespace {
const QColor kSchoolText(0, 0, 255);
const QColor kClassText(0, 0, 0);
} // namespace

CDivisionStatisticsModel::CDivisionStatisticsModel(QObject* parent) : QAbstractTableModel(parent) {}

void CDivisionStatisticsModel::load(const std::vector<std::string>& subjectNames, const CDivisionStatistics& statistics,
                                    const CDivisionCategoryCounts& categories)
{
    beginResetModel();
    m_titles.clear();
    for (const std::string& title : CDivisionStatistics::ColumnTitles(subjectNames))
        m_titles << QString::fromStdString(title);
    m_firstCategory = static_cast<int>(m_titles.size());
    for (const std::string& title : categories.ColumnTitles())
        m_titles << QString::fromStdString(title);
    m_rows.clear();
    for (const CDivisionStatistics::Row& row : statistics.GetRows()) {
        QStringList texts;
        for (const std::string& text : CDivisionStatistics::RowTexts(row))
            texts << QString::fromStdString(text);
        for (const std::string& text : categories.CountTexts(row.classId))
            texts << QString::fromStdString(text);
        m_rows.push_back(std::move(texts));
    }
    endResetModel();
}

int CDivisionStatisticsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CDivisionStatisticsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_titles.size());
}

QVariant CDivisionStatisticsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const QStringList& row = m_rows[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole: return index.column() < row.size() ? row[index.column()] : QString();
    case Qt::TextAlignmentRole:
        return int((isRightAligned(index.column()) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        // The whole-school row is the last one.
        return index.row() == rowCount() - 1 ? kSchoolText : kClassText;
    default: return {};
    }
}

QVariant CDivisionStatisticsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_titles.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_titles[section];
    if (role == Qt::TextAlignmentRole)
        return int((isRightAligned(section) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    return {};
}

int CDivisionStatisticsModel::defaultColumnWidth(int column) const
{
    switch (column) {
    case 0: return 0;
    case 1: return 100;
    case 2:
    case 3:
    case 4: return 60;
    default: break;
    }
    if (column >= m_firstCategory)
        return 80;
    return column == m_firstCategory - 1 ? 90 : 80; // the total's average
}
