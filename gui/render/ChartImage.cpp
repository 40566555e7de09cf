#include "gui/render/ChartImage.h"

#include "base/util/FileUtil.h"
#include "gui/render/DivisionChart.h"

#include <QBuffer>
#include <QChartView>
#include <QCoreApplication>
#include <QFileInfo>
#include <QPainter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace {

constexpr QSize kPicture(1600, 900);
constexpr int kWidestPicture = 10000;
// The value axis and the margins beside the classes' bars.
constexpr int kBesideClasses = 140;
// Dots per metre of a screen of 96 dots per inch, which is ratio 1.
constexpr double kDotsPerMetre = 96.0 / 0.0254;

// Paints the whole view into target, in the painter's coordinates.
void Paint(QChartView& view, QPainter& painter, const QSizeF& target)
{
    const QRectF area(QPointF(0, 0), target);
    painter.fillRect(area, Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    view.render(&painter, area, view.rect());
}

QImage Render(QChartView& view, const QSize& pixels, qreal ratio)
{
    // A view that was never shown lays its chart out when it is drawn.
    view.ensurePolished();
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    // Said in the file too, so that a viewer or a word processor shows the
    // picture at its size in points.
    image.setDotsPerMeterX(static_cast<int>(std::lround(kDotsPerMetre * ratio)));
    image.setDotsPerMeterY(static_cast<int>(std::lround(kDotsPerMetre * ratio)));
    QPainter painter(&image);
    Paint(view, painter, QSizeF(pixels) / ratio);
    painter.end();
    return image;
}

bool Save(QChartView& view, const QSize& pixels, const QString& path, qreal ratio)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QStringLiteral("svg")) {
        const QSizeF points = QSizeF(pixels) / ratio;
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        // As big as the picture in points on a screen of 96 dots per inch.
        svg.setResolution(96);
        svg.setSize(points.toSize());
        svg.setViewBox(QRectF(QPointF(0, 0), points));
        const auto* chart = qobject_cast<const CDivisionChart*>(view.chart());
        svg.setTitle(chart ? chart->plainTitle() : view.chart() ? view.chart()->title() : QString());
        QPainter painter(&svg);
        Paint(view, painter, points);
    } else {
        const QByteArray format = suffix.isEmpty() ? QByteArrayLiteral("png") : suffix.toLatin1();
        if (!Render(view, pixels, ratio).save(&buffer, format.constData()))
            return false;
    }
    buffer.close();
    return CFileUtil::WriteFileAtomically(path.toStdString(), std::string_view(bytes.constData(), bytes.size()));
}

} // namespace

QSize CChartImage::pictureSize(int classes)
{
    const int wanted = kBesideClasses + CDivisionChart::kMinClassWidth * std::max(0, classes);
    return QSize(std::clamp(wanted, kPicture.width(), kWidestPicture), kPicture.height());
}

QImage CChartImage::render(QChartView& view, qreal ratio)
{
    const QSize pixels(static_cast<int>(std::lround(view.width() * ratio)),
                       static_cast<int>(std::lround(view.height() * ratio)));
    return Render(view, pixels, ratio);
}

bool CChartImage::save(QChartView& view, const QString& path, qreal ratio)
{
    const QSize pixels(static_cast<int>(std::lround(view.width() * ratio)),
                       static_cast<int>(std::lround(view.height() * ratio)));
    return Save(view, pixels, path, ratio);
}

bool CChartImage::save(std::unique_ptr<QChart> chart, const QSize& pixels, const QString& path, qreal ratio)
{
    QChartView view(chart.release()); // the view's from now on
    view.setFrameShape(QFrame::NoFrame);
    view.setRenderHint(QPainter::Antialiasing);
    view.resize(static_cast<int>(std::ceil(pixels.width() / ratio - 1e-6)),
                static_cast<int>(std::ceil(pixels.height() / ratio - 1e-6)));
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.show();
    QCoreApplication::processEvents();
    return Save(view, pixels, path, ratio);
}
