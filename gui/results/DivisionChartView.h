#pragma once

#include "gui/render/DivisionChart.h"

#include <QWidget>

#include <cstddef>
#include <memory>
#include <string>

class CDivisionChartFigures;
class CScheduleTask;
class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollBar;

// The charts of a division beside the statistics table: a chooser of the
// chart and of the subject (or the total), or of the category when the task
// has condition columns or score bands and their chart is chosen, the chart itself with a scroll
// bar when the classes do not all fit, and buttons to save the chart as a
// picture or to copy it. A saved picture shows every class, laid out and
// drawn as CChartImage does for a report, whatever the window's size; a
// copy is what the window shows. The figures are taken from the task when
// the widget is made.
class CDivisionChartView : public QWidget
{
    Q_OBJECT

public:
    explicit CDivisionChartView(const CScheduleTask& task, QWidget* parent = nullptr);
    ~CDivisionChartView() override;

    // Shows another chart; measure as CDivisionChart takes it.
    void showChart(CDivisionChart::Kind kind, std::size_t measure);

    CDivisionChart* currentChart() const;
    QChartView* chartView() const { return m_view; }
    QComboBox* kindChooser() const { return m_kindChooser; }
    QComboBox* measureChooser() const { return m_measureChooser; }
    // The categories ("#住校:是"); hidden unless their chart is chosen.
    QComboBox* categoryChooser() const { return m_categoryChooser; }
    QScrollBar* scrollBar() const { return m_scrollBar; }
    QPushButton* saveButton() const { return m_saveButton; }
    QPushButton* copyButton() const { return m_copyButton; }

    // The narrowest room a class gets on screen; more classes than fit
    // scroll.
    static constexpr int kMinClassWidth = CDivisionChart::kMinClassWidth;

    // Room enough for a chart to read without anything cut short.
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chooseChart();
    CDivisionChart::Kind currentKind() const;
    // The subject, or the category for the chart of categories.
    std::size_t currentMeasure() const;
    void fitClasses();
    void saveImage();
    void copyImage();

    std::unique_ptr<CDivisionChartFigures> m_figures;
    std::string m_folder;
    QComboBox* m_kindChooser = nullptr;
    QComboBox* m_measureChooser = nullptr;
    QComboBox* m_categoryChooser = nullptr;
    QLabel* m_measureLabel = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_copyButton = nullptr;
    QChartView* m_view = nullptr;
    QScrollBar* m_scrollBar = nullptr;
};
