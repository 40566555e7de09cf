#pragma once

#include <QImage>
#include <QString>

#include <memory>

class QChart;
class QChartView;
class QSize;

// A chart as a picture: for the clipboard, or saved as PNG or SVG.
class CChartImage
{
public:
    // The chart as the view shows it now, at the view's size, on white.
    static QImage render(QChartView& view);
    // SVG when path ends in ".svg" (any case), otherwise a bitmap in the
    // format the ending names, PNG without one. The file is replaced
    // safely: an old file stays whole when the new one cannot be written.
    static bool save(QChartView& view, const QString& path);
    // Lays chart out at size, as on screen but without one, and saves it
    // as Save does.
    static bool save(std::unique_ptr<QChart> chart, const QSize& size, const QString& path);
};
