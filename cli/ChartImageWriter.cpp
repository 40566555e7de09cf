#include "cli/ChartImageWriter.h"

#include "gui/render/ChartImage.h"
#include "core/DivisionChartFigures.h"
#include "cli/OffscreenQt.h"

#include <QApplication>

#include <algorithm>
#include <cmath>
#include <memory>

int CChartImageWriter::DefaultWidth(std::size_t classes)
{
    const int points = CChartImage::pictureSize(static_cast<int>(std::min<std::size_t>(classes, 100000))).width();
    return static_cast<int>(std::lround(points * CChartImage::kPictureRatio));
}

qreal CChartImageWriter::RatioFor(const QSize& pixels, const QSize& points)
{
    const qreal ratio = std::min(qreal(pixels.width()) / points.width(), qreal(pixels.height()) / points.height());
    return std::clamp(ratio, qreal(1.0), CChartImage::kPictureRatio);
}

bool CChartImageWriter::Write(const CScheduleTask& task, CDivisionChart::Kind kind, std::size_t measure, int width,
                              int height, const std::string& path, std::string& title)
{
    const auto application = StartOffscreenQt<QApplication>();
    const CDivisionChartFigures figures(task);
    auto chart = std::make_unique<CDivisionChart>(figures, kind, measure, CChartImage::kPictureTextScale);
    title = chart->plainTitle().toStdString();
    const QSize points = CChartImage::pictureSize(chart->classCount());
    const QSize pixels(width > 0 ? width : DefaultWidth(figures.GetClasses().size()),
                       height > 0 ? height
                                  : static_cast<int>(std::lround(points.height() * CChartImage::kPictureRatio)));
    return CChartImage::save(std::move(chart), pixels, QString::fromStdString(path), RatioFor(pixels, points));
}
