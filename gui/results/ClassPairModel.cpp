#include "gui/results/ClassPairModel.h"

#include "core/DivisionTableData.h"

#include <QDataStream>
#include <QIODevice>
#include <QMimeData>

#include <iterator>
#include <set>

namespace {
// The columns of the division table shown before the scores; the id and the
// class (the same on every row) are left out.
constexpr int kLeadingColumns[] = {CDivisionTableData::ColumnNumber, CDivisionTableData::ColumnName,
                                   CDivisionTableData::ColumnSex, CDivisionTableData::ColumnFromSchool};
constexpr int kLeadingCount = static_cast<int>(std::size(kLeadingColumns));
} // namespace

CClassPairModel::CClassPairModel(CScheduleTask& task, QObject* parent)
    : QAbstractTableModel(parent), m_task(task), m_data(std::make_unique<CDivisionTableData>(task))
{
}

CClassPairModel::~CClassPairModel() = default;

void CClassPairModel::setClassId(const std::string& classId)
{
    m_classId = classId;
    refill();
}

void CClassPairModel::refill()
{
    beginResetModel();
    if (m_classId.empty())
        m_data = std::make_unique<CDivisionTableData>(m_task); // no rows: an empty id would mean every class
    else
        m_data->Fill(m_classId);
    endResetModel();
}

std::string CClassPairModel::studentIdAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return std::string();
    return m_data->GetRows()[static_cast<std::size_t>(row)].studentId;
}

int CClassPairModel::rowOf(const std::string& studentId) const
{
    const auto& rows = m_data->GetRows();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].studentId == studentId)
            return static_cast<int>(r);
    }
    return -1;
}

int CClassPairModel::totalColumn() const
{
    return columnCount() - 1;
}

int CClassPairModel::dataColumn(int column) const
{
    if (column < kLeadingCount)
        return kLeadingColumns[column];
    return CDivisionTableData::ColumnFirstSubject + (column - kLeadingCount);
}

int CClassPairModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_data->GetRowCount());
}

int CClassPairModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kLeadingCount + static_cast<int>(m_data->GetSubjectCount()) + 1;
}

QVariant CClassPairModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const int column = dataColumn(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(m_data->CellText(static_cast<std::size_t>(index.row()), column));
    case Qt::TextAlignmentRole:
        return int((column >= CDivisionTableData::ColumnFirstSubject ? Qt::AlignRight : Qt::AlignLeft)
                   | Qt::AlignVCenter);
    default: return {};
    }
}

QVariant CClassPairModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const int column = dataColumn(section);
    if (role == Qt::DisplayRole)
        return QString::fromStdString(m_data->ColumnTitles()[static_cast<std::size_t>(column)]);
    if (role == Qt::TextAlignmentRole)
        return int((column >= CDivisionTableData::ColumnFirstSubject ? Qt::AlignRight : Qt::AlignLeft)
                   | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags CClassPairModel::flags(const QModelIndex& index) const
{
    // The list itself takes drops too: a drop beside the rows is a move.
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}

QStringList CClassPairModel::mimeTypes() const
{
    return {QString::fromLatin1(kMimeType)};
}

QMimeData* CClassPairModel::mimeData(const QModelIndexList& indexes) const
{
    std::set<int> rows;
    for (const QModelIndex& index : indexes) {
        if (index.isValid() && index.row() < rowCount())
            rows.insert(index.row());
    }
    if (rows.empty())
        return nullptr;
    QStringList ids;
    for (int row : rows)
        ids << QString::fromStdString(studentIdAt(row));
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << QString::fromStdString(m_classId) << ids;
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kMimeType), bytes);
    return mime;
}

bool CClassPairModel::readStudents(const QMimeData* mime, std::string& fromClassId,
                                   std::vector<std::string>& studentIds)
{
    fromClassId.clear();
    studentIds.clear();
    if (!mime || !mime->hasFormat(QString::fromLatin1(kMimeType)))
        return false;
    QDataStream in(mime->data(QString::fromLatin1(kMimeType)));
    QString from;
    QStringList ids;
    in >> from >> ids;
    if (in.status() != QDataStream::Ok)
        return false;
    fromClassId = from.toStdString();
    for (const QString& id : ids) {
        if (!id.isEmpty())
            studentIds.push_back(id.toStdString());
    }
    return !studentIds.empty();
}

Qt::DropActions CClassPairModel::supportedDragActions() const
{
    return Qt::MoveAction;
}

Qt::DropActions CClassPairModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

bool CClassPairModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int, int, const QModelIndex&) const
{
    std::string from;
    std::vector<std::string> ids;
    // Students already in this class go nowhere.
    return action == Qt::MoveAction && !m_classId.empty() && readStudents(data, from, ids) && from != m_classId;
}

bool CClassPairModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                   const QModelIndex& parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    std::string from;
    std::vector<std::string> ids;
    readStudents(data, from, ids);
    QStringList dropped;
    for (const std::string& id : ids)
        dropped << QString::fromStdString(id);
    // A drop between the rows is a drop onto the list.
    const QString onStudent = parent.isValid() ? QString::fromStdString(studentIdAt(parent.row())) : QString();
    emit studentsDropped(dropped, onStudent);
    return true;
}
