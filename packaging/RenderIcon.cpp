// Renders the program's SVG icon to the PNG sizes of the hicolor icon theme:
//   render-icon ICON.svg OUTPUT_FOLDER NAME SIZE...
// writes OUTPUT_FOLDER/<SIZE>x<SIZE>/apps/NAME.png for every size.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: render-icon ICON.svg OUTPUT_FOLDER NAME SIZE...\n");
        return 2;
    }
    // No window is shown; the offscreen platform keeps this working on
    // build machines without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "render-icon: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString output = QString::fromLocal8Bit(argv[2]);
    const QString name = QString::fromLocal8Bit(argv[3]);
    for (int i = 4; i < argc; ++i) {
        bool ok = false;
        const int size = QByteArray(argv[i]).toInt(&ok);
        if (!ok || size <= 0) {
            std::fprintf(stderr, "render-icon: bad size %s\n", argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(output).arg(size);
        const QString file = folder + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!QDir().mkpath(folder) || !image.save(file)) {
            std::fprintf(stderr, "render-icon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
