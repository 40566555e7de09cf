#include "gui/common/UICore.h"

#include <QFontDatabase>
#include <QWidget>

#include <memory>

namespace {
std::unique_ptr<CUICore>& holder()
{
    static std::unique_ptr<CUICore> core;
    return core;
}

// The preferred Chinese faces in order; the first installed one wins.
QString chooseFace()
{
    const QStringList installed = QFontDatabase::families();
    const char* preferred[] = {
        "微软雅黑",           "Microsoft YaHei",   "宋体",          "SimSun", "WenQuanYi Micro Hei", "Noto Sans CJK SC",
        "Source Han Sans SC", "WenQuanYi Zen Hei", "AR PL UMing CN"};
    for (const char* face : preferred) {
        const QString name = QString::fromUtf8(face);
        if (installed.contains(name, Qt::CaseInsensitive))
            return name;
    }
    // Any face that can write Simplified Chinese.
    const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    if (!chinese.isEmpty())
        return chinese.first();
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}
} // namespace

CUICore::CUICore() : m_fontName(chooseFace())
{
    m_font = QFont(m_fontName);
    m_font.setPointSizeF(m_fontSize / 10.0);
}

CUICore* CUICore::instance()
{
    auto& core = holder();
    if (!core)
        core.reset(new CUICore());
    return core.get();
}

void CUICore::Free()
{
    holder().reset();
}

void CUICore::SetAllChildWindowFont(QWidget* window) const
{
    if (!window)
        return;
    for (QWidget* child : window->findChildren<QWidget*>())
        child->setFont(m_font);
}
