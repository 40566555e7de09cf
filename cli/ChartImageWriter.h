#pragma once

#include "gui/render/DivisionChart.h"

#include <cstddef>
#include <string>

class CScheduleTask;

// Draws one chart of a task's division into a PNG or SVG file without a
// display. Starts Qt (offscreen) for itself, as the PDF writer does.
class CChartImageWriter
{
public:
    // width or height 0 takes the default: 1200 × 700, wider when there are
    // so many classes that their names would not fit. title receives the
    // chart's title. False when the file could not be written.
    static bool Write(const CScheduleTask& task, CDivisionChart::Kind kind, std::size_t measure, int width, int height,
                      const std::string& path, std::string& title);

    // The default width for a number of classes.
    static int DefaultWidth(std::size_t classes);
};
