#pragma once

#include "gui/results/ResultTableDialog.h"

#include <memory>

class CDivisionChartView;
class CDivisionStatistics;
class CDivisionStatisticsModel;
class CScheduleTask;
class QPushButton;
class QTabBar;

// "分班统计表": per class the headcount, girls, boys and the averages of
// every subject and of the total, and a last row for the whole school.
// The figures are computed afresh each time the dialog is made. The tab
// "图表" shows them as charts in the table's place, and the window grows to
// give a chart room when the screen has it.
class CDivisionStatisticsDialog : public CResultTableDialog
{
    Q_OBJECT

public:
    explicit CDivisionStatisticsDialog(CScheduleTask& task, QWidget* parent = nullptr);
    ~CDivisionStatisticsDialog() override;

    CDivisionStatisticsModel* model() const { return m_model; }
    const CDivisionStatistics& statistics() const { return *m_statistics; }
    QPushButton* closeButton() const { return m_closeButton; }
    QPushButton* printButton() const { return m_printButton; }
    CDivisionChartView* chartView() const { return m_charts; }
    QTabBar* viewTabs() const { return m_views; }

private:
    void print();
    // The window was sized for the table; a chart needs more height.
    void makeRoomForCharts();

    CScheduleTask& m_task;
    std::unique_ptr<CDivisionStatistics> m_statistics;
    CDivisionStatisticsModel* m_model = nullptr;
    QPushButton* m_closeButton = nullptr;
    QPushButton* m_printButton = nullptr;
    CDivisionChartView* m_charts = nullptr;
    QTabBar* m_views = nullptr;
};
