#pragma once

#include <QDialog>

#include <array>
#include <memory>
#include <string>
#include <vector>

class CClassFiguresBand;
class CClassPairModel;
class CDivisionChange;
class CDivisionStatistics;
class CDivisionTableDialog;
class CScheduleTask;
class QAction;
class QComboBox;
class QDragMoveEvent;
class QMenu;
class QPushButton;
class QTableView;

// "两班对照": two classes side by side, each with its figures above its
// list, for changing the division by hand between them. A student dragged
// onto the other list goes to that class; dropped onto a student of the
// other class, the two change places. "调到另一班" and "与选中学生对调" do the
// same from the keyboard, the buttons and the lists' menu. While students
// are dragged, the figures show what they would become.
//
// Every change goes through the division table the view is opened from:
// the same rule check and question as its "调到班级…" and "对调", the same
// save, and one undo history; "撤销" and "重做" here are the table's own.
class CClassPairDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Side
    {
        Left,
        Right,
    };

    // Shows firstClassId on the left (the first class when it names none)
    // and the class after it on the right. The task needs two classes.
    CClassPairDialog(CScheduleTask& task, CDivisionTableDialog& table, const std::string& firstClassId = {});
    ~CClassPairDialog() override;

    QComboBox* classChooser(Side side) const { return m_choosers[at(side)]; }
    QTableView* list(Side side) const { return m_lists[at(side)]; }
    CClassPairModel* model(Side side) const { return m_models[at(side)]; }
    CClassFiguresBand* figures(Side side) const { return m_bands[at(side)]; }
    QPushButton* moveButton() const { return m_moveButton; }
    QPushButton* exchangeButton() const { return m_exchangeButton; }
    QPushButton* undoButton() const { return m_undoButton; }
    QPushButton* redoButton() const { return m_redoButton; }
    QPushButton* closeButton() const { return m_closeButton; }
    QAction* moveAction() const { return m_moveAction; }
    QAction* exchangeAction() const { return m_exchangeAction; }
    // The lists' menu: the two commands, then the table's undo and redo.
    QMenu* contextMenu() const { return m_contextMenu; }

    // Shows the class on a side; when the other side shows it, that side
    // takes the class this one showed.
    void showClass(Side side, const std::string& classId);
    std::vector<std::string> selectedStudentIds(Side side) const;
    void selectStudents(Side side, const std::vector<std::string>& ids);
    // The side "调到另一班" moves from: the one where students were chosen last.
    Side activeSide() const { return m_active; }

    // "调到另一班": the students chosen on the side go to the other class.
    bool moveToOtherClass(Side from);
    // "与选中学生对调": the student chosen on each side change places.
    bool exchangeSelected();
    // Students dropped on a side: onto one of its students (for a single
    // student, an exchange with it) or onto its list (a move to its class).
    // True when the change was made.
    bool dropStudents(Side onto, const std::vector<std::string>& ids, const std::string& onStudentId);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static std::size_t at(Side side) { return side == Side::Left ? 0 : 1; }
    static Side other(Side side) { return side == Side::Left ? Side::Right : Side::Left; }

    // The change a drop at the event's place would ask for; none when the
    // list does not take what is dragged.
    std::unique_ptr<CDivisionChange> changeForDrag(Side onto, const QDragMoveEvent& event) const;
    void previewDrag(Side onto, const QDragMoveEvent& event);
    // The figures of both classes, and what they would be after preview.
    void showFigures(const CDivisionChange* preview = nullptr);
    // After a change (or none): both lists read afresh, the given students chosen.
    void refresh(const std::vector<std::string>& chosen);
    void updateCommands();

    CScheduleTask& m_task;
    CDivisionTableDialog& m_table;
    std::unique_ptr<CDivisionStatistics> m_statistics;
    std::array<QComboBox*, 2> m_choosers{};
    std::array<QTableView*, 2> m_lists{};
    std::array<CClassPairModel*, 2> m_models{};
    std::array<CClassFiguresBand*, 2> m_bands{};
    std::array<std::string, 2> m_classIds;
    QPushButton* m_moveButton = nullptr;
    QPushButton* m_exchangeButton = nullptr;
    QPushButton* m_undoButton = nullptr;
    QPushButton* m_redoButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    QAction* m_moveAction = nullptr;
    QAction* m_exchangeAction = nullptr;
    QMenu* m_contextMenu = nullptr;
    Side m_active = Side::Left;
    // Where the drag shown in the figures is: side and student ("" for the list).
    QString m_previewAt;
};
