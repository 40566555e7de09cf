#pragma once

#include "ResultTableDlg.h"

#include <memory>

class CDivisionTableData;
class CDivisionTableModel;
class CScheduleTask;
class QComboBox;
class QLabel;
class QPushButton;

// "分班表": every placed student with class, sex, original school, scores
// and total, for all classes or for the class chosen above the table.
// Covers the desktop's work area. Changes nothing in the task but the
// class ids that name a class which no longer exists (they are cleared).
// A task that has not been divided yet gets a word instead of an empty
// grid.
class CDivisionTableDlg : public CResultTableDlg
{
    Q_OBJECT

public:
    explicit CDivisionTableDlg(CScheduleTask& task, QWidget* parent = nullptr);
    ~CDivisionTableDlg() override;

    QComboBox* classChooser() const { return m_chooser; }
    QPushButton* statisticsButton() const { return m_statisticsButton; }
    QPushButton* exportButton() const { return m_exportButton; }
    QPushButton* printButton() const { return m_printButton; }
    const CDivisionTableData& tableData() const { return *m_data; }
    CDivisionTableModel* model() const { return m_model; }
    // The word shown over the list when the task has no division yet.
    QLabel* noDivisionLabel() const { return m_noDivision; }

    // Whether any student of the task is in one of its classes.
    static bool hasDivision(const CScheduleTask& task);

    // Shows the rows of the class chosen in the class chooser.
    void fillTable();

private:
    void showStatistics();
    void exportTable();
    // A roster per class shown, each from a new page.
    void print();

    CScheduleTask& m_task;
    std::unique_ptr<CDivisionTableData> m_data;
    CDivisionTableModel* m_model = nullptr;
    QComboBox* m_chooser = nullptr;
    QPushButton* m_statisticsButton = nullptr;
    QPushButton* m_exportButton = nullptr;
    QPushButton* m_printButton = nullptr;
    QLabel* m_noDivision = nullptr;
};
