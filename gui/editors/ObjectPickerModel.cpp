#include "gui/editors/ObjectPickerModel.h"

#include "base/object/QZObject.h"
#include "logic/editing/RecordOrder.h"

CObjectPickerModel::CObjectPickerModel(const QIcon& icon, QObject* parent) : QAbstractListModel(parent), m_icon(icon) {}

void CObjectPickerModel::setRecords(const CQZObjectList& list)
{
    beginResetModel();
    m_records = CRecordOrder::InIndexOrder<CQZObject>(list);
    std::vector<std::string> names;
    names.reserve(m_records.size());
    for (const CQZObject* record : m_records)
        names.push_back(record->GetName());
    m_index.Build(names);
    m_shown = m_index.Find({});
    endResetModel();
}

void CObjectPickerModel::setFilter(const QString& text)
{
    beginResetModel();
    m_shown = m_index.Find(text.toStdString());
    endResetModel();
}

CQZObject* CObjectPickerModel::recordAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return nullptr;
    return m_records[static_cast<std::size_t>(m_shown[static_cast<std::size_t>(row)])];
}

int CObjectPickerModel::rowOf(const std::string& id) const
{
    for (int row = 0; row < rowCount(); ++row) {
        if (recordAt(row)->IdRef() == id)
            return row;
    }
    return -1;
}

int CObjectPickerModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_shown.size());
}

QVariant CObjectPickerModel::data(const QModelIndex& index, int role) const
{
    const CQZObject* record = recordAt(index.row());
    if (!index.isValid() || !record)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: return QString::fromStdString(record->NameRef());
    case Qt::DecorationRole: return m_icon;
    default: return {};
    }
}
