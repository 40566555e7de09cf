#include "gui/results/DivisionTableModel.h"

#include "core/DivisionTableData.h"

#include <QColor>

namespace {
const QColor kClassText(0, 0, 255);
}

CDivisionTableModel::CDivisionTableModel(CDivisionTableData& data, QObject* parent)
    : QAbstractTableModel(parent), m_data(data)
{
}

void CDivisionTableModel::beginRefill()
{
    beginResetModel();
}

void CDivisionTableModel::endRefill()
{
    endResetModel();
}

int CDivisionTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_data.GetRowCount());
}

int CDivisionTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_data.GetColumnCount();
}

bool CDivisionTableModel::isRightAligned(int column) const
{
    return m_data.IsFigureColumn(column);
}

QVariant CDivisionTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(m_data.CellText(static_cast<std::size_t>(index.row()), index.column()));
    case Qt::TextAlignmentRole:
        return int((isRightAligned(index.column()) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        if (m_classLinks && index.column() == CDivisionTableData::ColumnClass)
            return kClassText;
        return {};
    case Qt::ToolTipRole:
        if (m_classLinks && index.column() == CDivisionTableData::ColumnClass) {
            const std::string& name = m_data.GetRows()[static_cast<std::size_t>(index.row())].className;
            if (!name.empty())
                return QStringLiteral("单击只看“%1”").arg(QString::fromStdString(name));
        }
        return {};
    default: return {};
    }
}

QVariant CDivisionTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_data.GetColumnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return QString::fromStdString(m_data.ColumnTitles()[static_cast<std::size_t>(section)]);
    if (role == Qt::TextAlignmentRole)
        return int((isRightAligned(section) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    // A first click on a score or the total puts the highest first.
    if (role == Qt::InitialSortOrderRole)
        return int(m_data.SortsHighestFirst(section) ? Qt::DescendingOrder : Qt::AscendingOrder);
    return {};
}

void CDivisionTableModel::setClassLinks(bool links)
{
    if (m_classLinks == links)
        return;
    m_classLinks = links;
    if (rowCount() > 0)
        emit dataChanged(index(0, CDivisionTableData::ColumnClass),
                         index(rowCount() - 1, CDivisionTableData::ColumnClass));
}

int CDivisionTableModel::defaultColumnWidth(int column) const
{
    switch (column) {
    case CDivisionTableData::ColumnId: return 0;
    case CDivisionTableData::ColumnNumber: return 60;
    case CDivisionTableData::ColumnName: return 120;
    case CDivisionTableData::ColumnClass: return 200;
    case CDivisionTableData::ColumnSex: return 60;
    case CDivisionTableData::ColumnFromSchool: return 200;
    default: break;
    }
    if (column >= m_data.GetFirstConditionColumn())
        return 90;
    return column == m_data.GetTotalColumn() ? 90 : 70;
}
