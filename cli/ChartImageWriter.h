#pragma once

#include "gui/render/DivisionChart.h"

#include <QSize>

#include <cstddef>
#include <string>

class CScheduleTask;

// Draws one chart of a task's division into a PNG or SVG file without a
// display. Starts Qt (offscreen) for itself, as the PDF writer does.
class CChartImageWriter
{
public:
    // width and height in pixels; either 0 takes the default, the picture
    // the window saves: CChartImage::pictureSize at CChartImage::kPictureRatio
    // (3200 × 1800, wider when there are many classes). title receives the
    // chart's title. False when the file could not be written.
    static bool Write(const CScheduleTask& task, CDivisionChart::Kind kind, std::size_t measure, int width, int height,
                      const std::string& path, std::string& title);

    // The default width in pixels for a number of classes.
    static int DefaultWidth(std::size_t classes);
    // Pixels a point for a picture of pixels whose chart is best laid out
    // at points: up to kPictureRatio when the pixels allow, the layout of
    // points drawn coarser as they shrink, and at one pixel a point a
    // layout as small as the picture.
    static qreal RatioFor(const QSize& pixels, const QSize& points);
};
