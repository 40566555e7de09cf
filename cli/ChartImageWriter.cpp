#include "ChartImageWriter.h"

#include "ChartImage.h"
#include "DivisionChartFigures.h"
#include "OffscreenQt.h"

#include <QApplication>
#include <QChartView>

#include <algorithm>

int CChartImageWriter::DefaultWidth(std::size_t classes)
{
    // Room for the value axis, then as much per class as on screen.
    constexpr int axis = 140;
    constexpr int perClass = 26;
    constexpr int widest = 20000;
    return static_cast<int>(std::clamp<std::size_t>(axis + perClass * classes, 1200, widest));
}

bool CChartImageWriter::Write(const CScheduleTask& task, CDivisionChart::Kind kind, std::size_t measure, int width,
                              int height, const std::string& path, std::string& title)
{
    const auto application = StartOffscreenQt<QApplication>();
    const CDivisionChartFigures figures(task);
    QChartView view;
    view.setFrameShape(QFrame::NoFrame);
    view.setRenderHint(QPainter::Antialiasing);
    auto* chart = new CDivisionChart(figures, kind, measure);
    view.setChart(chart);
    view.resize(width > 0 ? width : DefaultWidth(figures.GetClasses().size()), height > 0 ? height : 700);
    // Laid out as on screen, without a screen.
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.show();
    QCoreApplication::processEvents();
    title = chart->title().toStdString();
    return CChartImage::Save(view, QString::fromStdString(path));
}
