#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

class CDivisionTableData;
class CScheduleTask;

// The students of one class for one side of the two-class view: number,
// name, sex, original school, scores and total, as the division table shows
// them. Students are dragged from here to the other side's list; the drag
// carries the class they come from and their ids. A drop of students of
// another class is not carried out here: it is announced by
// studentsDropped, and the view makes the change.
class CClassPairModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // The drag's format: the class id, then the student ids (QDataStream).
    static constexpr const char* kMimeType = "application/x-quillon-students";

    explicit CClassPairModel(CScheduleTask& task, QObject* parent = nullptr);
    ~CClassPairModel() override;

    // Shows the students of the class (none for an empty id).
    void setClassId(const std::string& classId);
    const std::string& classId() const { return m_classId; }
    // Reads the students of the class afresh.
    void refill();

    // The student shown in row; empty outside the list.
    std::string studentIdAt(int row) const;
    // The row of the student; -1 when not shown.
    int rowOf(const std::string& studentId) const;
    // The column of the total score.
    int totalColumn() const;

    // The class and the students a drag carries; false when it carries none.
    static bool readStudents(const QMimeData* mime, std::string& fromClassId, std::vector<std::string>& studentIds);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;
    // Students of another class dropped onto the list or onto a student.
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

signals:
    // Students of another class were dropped here: onto the student
    // onStudentId, or onto the list when it is empty.
    void studentsDropped(const QStringList& studentIds, const QString& onStudentId);

private:
    // The column of the division table's rows shown in a column here.
    int dataColumn(int column) const;

    CScheduleTask& m_task;
    std::unique_ptr<CDivisionTableData> m_data;
    std::string m_classId;
};
