#include "cli/ChartImageWriter.h"

#include "gui/render/ChartImage.h"
#include "core/DivisionChartFigures.h"
#include "cli/OffscreenQt.h"

#include <QApplication>

#include <algorithm>
#include <memory>

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
    auto chart = std::make_unique<CDivisionChart>(figures, kind, measure);
    title = chart->title().toStdString();
    const QSize size(width > 0 ? width : DefaultWidth(figures.GetClasses().size()), height > 0 ? height : 700);
    return CChartImage::save(std::move(chart), size, QString::fromStdString(path));
}
