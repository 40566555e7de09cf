#include "gui/render/ChartImage.h"

#include "base/util/FileUtil.h"

#include <QBuffer>
#include <QChartView>
#include <QCoreApplication>
#include <QFileInfo>
#include <QPainter>
#include <QSvgGenerator>

namespace {

void Paint(QChartView& view, QPainter& painter)
{
    const QRect area(QPoint(0, 0), view.size());
    painter.fillRect(area, Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    view.render(&painter, area, area);
}

} // namespace

QImage CChartImage::render(QChartView& view)
{
    // A view that was never shown lays its chart out when it is drawn.
    view.ensurePolished();
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    Paint(view, painter);
    painter.end();
    return image;
}

bool CChartImage::save(QChartView& view, const QString& path)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QStringLiteral("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(view.size());
        svg.setViewBox(QRect(QPoint(0, 0), view.size()));
        svg.setTitle(view.chart() ? view.chart()->title() : QString());
        QPainter painter(&svg);
        Paint(view, painter);
    } else {
        const QByteArray format = suffix.isEmpty() ? QByteArrayLiteral("png") : suffix.toLatin1();
        if (!render(view).save(&buffer, format.constData()))
            return false;
    }
    buffer.close();
    return CFileUtil::WriteFileAtomically(path.toStdString(), std::string_view(bytes.constData(), bytes.size()));
}

bool CChartImage::save(std::unique_ptr<QChart> chart, const QSize& size, const QString& path)
{
    QChartView view(chart.release()); // the view's from now on
    view.setFrameShape(QFrame::NoFrame);
    view.setRenderHint(QPainter::Antialiasing);
    view.resize(size);
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.show();
    QCoreApplication::processEvents();
    return save(view, path);
}
