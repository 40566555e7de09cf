#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

class QChart;
class QChartView;

// A chart as a picture: for the clipboard, or saved as PNG or SVG.
//
// A picture is laid out at a size in points and drawn at ratio pixels a
// point: a picture for a report is laid out as on a roomy screen
// (pictureSize) and drawn at kPictureRatio, so that it stays sharp printed
// or shown on a dense screen, and looks the same whatever the window was.
class CChartImage
{
public:
    static constexpr qreal kPictureRatio = 2.0;
    // The texts of a chart in a picture, against the window's: a picture
    // is mostly seen smaller than it is.
    static constexpr qreal kPictureTextScale = 1.25;

    // 1600 × 900 points, wider when a chart of that many classes needs
    // more room at CDivisionChart::kMinClassWidth a class (up to 10000).
    static QSize pictureSize(int classes);

    // The chart as the view shows it now, at the view's size times ratio,
    // on white.
    static QImage render(QChartView& view, qreal ratio = 1.0);
    // SVG when path ends in ".svg" (any case), otherwise a bitmap in the
    // format the ending names, PNG without one, at the view's size times
    // ratio. The file is replaced safely: an old file stays whole when the
    // new one cannot be written.
    static bool save(QChartView& view, const QString& path, qreal ratio = 1.0);
    // Lays chart out at pixels / ratio points, as on screen but without
    // one, and saves it as above, pixels in size.
    static bool save(std::unique_ptr<QChart> chart, const QSize& pixels, const QString& path, qreal ratio = 1.0);
};
