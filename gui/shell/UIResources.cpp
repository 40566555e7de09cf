#include "gui/shell/UIResources.h"

#include "gui/common/UICore.h"

#include <QPainter>
#include <QSvgRenderer>

#include <memory>

// The pictures are compiled into the program's static library; this makes
// sure the linker keeps them.
static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace {
std::unique_ptr<CUIResources>& holder()
{
    static std::unique_ptr<CUIResources> resources;
    return resources;
}

// A face wish list ending in the default UI face, so Chinese text always
// finds glyphs.
QFont makeFont(const QStringList& faces, int pointSize, int weight)
{
    QStringList families = faces;
    families << CUICore::instance()->GetDefaultFontName();
    QFont font;
    font.setFamilies(families);
    font.setPointSize(pointSize);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}
} // namespace

CUIResources::CUIResources()
    : m_defaultFont(CUICore::instance()->getDefaultFont()),
      m_titleFont(makeFont({QStringLiteral("楷体"), QStringLiteral("KaiTi")}, 16, 700)),
      m_largeFont(makeFont({QStringLiteral("楷体_GB2312"), QStringLiteral("KaiTi_GB2312")}, 26, 700)),
      m_yaheiFont(makeFont({QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei")}, 11, 400))
{
}

CUIResources* CUIResources::instance()
{
    auto& resources = holder();
    if (!resources) {
        initResources();
        resources.reset(new CUIResources());
    }
    return resources.get();
}

void CUIResources::release()
{
    holder().reset();
}

QPixmap CUIResources::picture(const QString& name, const QSize& size)
{
    const QString key = QStringLiteral("%1@%2x%3").arg(name).arg(size.width()).arg(size.height());
    auto it = m_pictures.constFind(key);
    if (it != m_pictures.constEnd())
        return *it;
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/images/%1.svg").arg(name));
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    m_pictures.insert(key, pixmap);
    return pixmap;
}
