#pragma once

#include "core/DivisionBalance.h"
#include "gui/results/ResultTableDialog.h"
#include "logic/pinyin/NameMatcher.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class CDivisionChange;
class CDivisionEditor;
class CDivisionTableData;
class CDivisionTableModel;
class CScheduleTask;
class CSearchField;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;

// "分班表": every placed student with class, sex, original school, scores
// and total, for all classes or for the class chosen above the table, and
// the students without a class on a view of their own. Covers the
// desktop's work area.
//
// The division can be changed by hand here: the chosen students move to
// another class ("调到班级…"), two students of different classes change
// places ("对调"). Before a change the rules it would break are named and
// the user decides; each change is saved to input.xml at once, and one
// that cannot be saved is taken back. "撤销" and "重做" step through the
// changes made since the window opened. A line above the table shows how
// even the classes are, before and after the last change.
//
// The search field narrows the rows to the students whose name matches
// (Chinese, full pinyin or initials); a click on a column title sorts by
// it, a second click the other way. A click on a class name shows that
// class alone. Every command works on the rows as shown.
//
// A task that has not been divided yet gets a word instead of an empty
// grid. Class ids that name a class which no longer exists are cleared.
class CDivisionTableDialog : public CResultTableDialog
{
    Q_OBJECT

public:
    explicit CDivisionTableDialog(CScheduleTask& task, QWidget* parent = nullptr);
    ~CDivisionTableDialog() override;

    QComboBox* classChooser() const { return m_chooser; }
    QPushButton* statisticsButton() const { return m_statisticsButton; }
    QPushButton* exportButton() const { return m_exportButton; }
    QPushButton* printButton() const { return m_printButton; }
    // "分班公示…": the lists posted for parents, without scores.
    QPushButton* publishButton() const { return m_publishButton; }
    // The school's name the posted lists are titled with.
    void setSchoolName(const QString& name) { m_schoolName = name; }
    QPushButton* moveButton() const { return m_moveButton; }
    QPushButton* exchangeButton() const { return m_exchangeButton; }
    QPushButton* undoButton() const { return m_undoButton; }
    QPushButton* redoButton() const { return m_redoButton; }
    // "两班对照…": two classes side by side, changed through this table.
    QPushButton* classPairButton() const { return m_classPairButton; }
    // The commands of the buttons above, also in the table's context menu
    // and on Ctrl+Z and Ctrl+Y.
    QAction* moveAction() const { return m_moveAction; }
    QAction* exchangeAction() const { return m_exchangeAction; }
    QAction* undoAction() const { return m_undoAction; }
    QAction* redoAction() const { return m_redoAction; }
    QMenu* contextMenu() const { return m_contextMenu; }
    QLabel* balanceLabel() const { return m_balance; }
    const CDivisionTableData& tableData() const { return *m_data; }
    CDivisionTableModel* model() const { return m_model; }
    // The word shown over the list when the task has no division yet.
    QLabel* noDivisionLabel() const { return m_noDivision; }
    CSearchField* searchField() const { return m_search; }
    // How many rows are shown, of how many.
    QLabel* countLabel() const { return m_count; }
    // Back to every class; shown while one class is.
    QPushButton* allClassesButton() const { return m_allClassesButton; }

    // Whether any student of the task is in one of its classes.
    static bool hasDivision(const CScheduleTask& task);

    // Shows the rows of the class chosen in the class chooser.
    void fillTable();

    // The ids of the students selected in the table, in row order; and
    // selecting students by id (those not shown are left out).
    std::vector<std::string> selectedStudentIds() const;
    void selectStudents(const std::vector<std::string>& ids);

    // Asks for a class and moves the selected students there.
    void moveSelected();
    // Moves the students to the class: the rule check and its question,
    // then the change and its save. True when the change was made.
    bool moveStudents(const std::vector<std::string>& ids, const std::string& classId);
    // Exchanges the two selected students of different classes.
    bool exchangeSelected();
    // Exchanges two students of different classes, as exchangeSelected.
    bool exchangeStudents(const std::string& firstId, const std::string& secondId);
    bool undo();
    bool redo();

private:
    // The chooser's last entry: the students without a class.
    bool unplacedChosen() const;
    // The search field, the count, the way back to every class, sorting by
    // the column titles and class names as links.
    void setUpSearchAndSort();
    // The rows just filled, narrowed by the search and sorted.
    void narrowAndSort();
    void updateSearchRow();
    // Fills again as the search or the order changed, the selection kept.
    void reshow();
    // A click on the class name of a row: that class alone, the row's
    // student still selected.
    void showClassOf(int row);
    void refill();
    void showStatistics();
    void showClassPair();
    void exportTable();
    // A roster per class shown, each from a new page.
    void print();
    void publish();

    // False, after saying why, when the task cannot take changes.
    bool canChange();
    // Checks, asks and applies; true when the change was made and saved.
    bool applyChange(const CDivisionChange& change);
    // Shows the task as a change left it, the given students selected.
    void showChange(const std::vector<std::string>& changed);
    // Undo (back) or redo, saved.
    bool step(bool back);
    void tellNotSaved(const QString& what);
    // Each command's button and action.
    std::array<std::pair<QPushButton*, QAction*>, 4> commandButtons() const;
    void updateCommands();
    void updateBalance();

    CScheduleTask& m_task;
    std::unique_ptr<CDivisionTableData> m_data;
    std::unique_ptr<CDivisionEditor> m_editor;
    CDivisionTableModel* m_model = nullptr;
    QComboBox* m_chooser = nullptr;
    QPushButton* m_statisticsButton = nullptr;
    QPushButton* m_exportButton = nullptr;
    QPushButton* m_printButton = nullptr;
    QPushButton* m_publishButton = nullptr;
    QString m_schoolName;
    QPushButton* m_moveButton = nullptr;
    QPushButton* m_exchangeButton = nullptr;
    QPushButton* m_undoButton = nullptr;
    QPushButton* m_redoButton = nullptr;
    QPushButton* m_classPairButton = nullptr;
    QAction* m_moveAction = nullptr;
    QAction* m_exchangeAction = nullptr;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    QMenu* m_contextMenu = nullptr;
    QLabel* m_balance = nullptr;
    QLabel* m_noDivision = nullptr;
    CSearchField* m_search = nullptr;
    QLabel* m_count = nullptr;
    QPushButton* m_allClassesButton = nullptr;
    CNameMatcher m_matcher;
    int m_sortColumn = -1; // none: the students' order
    bool m_sortDescending = false;
    std::size_t m_filledRows = 0; // before the search narrowed them
    CDivisionBalance m_balanceNow;
    std::optional<CDivisionBalance> m_balanceBefore; // before the last change
};
