#include "gui/shell/StepSheet.h"

#include "gui/shell/RecentTaskView.h"
#include "gui/shell/SheetHeader.h"
#include "gui/shell/StepCommands.h"
#include "gui/shell/ToolBox.h"
#include "gui/shell/ToolDesc.h"
#include "gui/shell/UIResources.h"

#include <QPainter>

namespace {
constexpr int kMargin = 5;
// The sub-header strip under the tabs covers the lines 28 to 56.
constexpr int kSubHeaderBottom = 57;
} // namespace

CStepSheet::CStepSheet(QWidget* parent)
    : QWidget(parent),
      m_header(new CSheetHeader(this)),
      m_toolBox(new CToolBox(this)),
      m_toolDesc(new CToolDesc(this)),
      m_recentTasks(new CRecentTaskView(this))
{
    connect(m_header, &CSheetHeader::pageSelected, this, &CStepSheet::onPageSelected);
    connect(m_header, &CSheetHeader::describe, m_toolDesc, &CToolDesc::setDescription);
    connect(m_toolBox, &CToolBox::commandChosen, this,
            [this](int command) { emit commandChosen(static_cast<StepCommandId>(command)); });

    addPage(QStringLiteral("1 欢迎"), QStringLiteral("全新的自动化分班体验从这里开始！"));
    selectPage(0);
}

int CStepSheet::addPage(const QString& caption, const QString& description)
{
    return m_header->addPage(caption, description);
}

void CStepSheet::addTaskPages()
{
    addPage(QStringLiteral("2 基本数据维护"), QStringLiteral("从EXCEL文件导入分班的基本数据。"));
    addPage(QStringLiteral("3 分班条件设置"), QStringLiteral("可以在这里设置自动分班的约束条件。"));
    addPage(QStringLiteral("4 自动分班"),
            QStringLiteral("自动化分班控制及相关信息。\n"
                           "均衡优化：在分班结果的基础上调整学生，使各班的成绩、男女生人数和生源学校更加均衡。\n"
                           "摇号分班：用公开抽取的种子分班并留下公证记录，任何人都可以核验。"));
    addPage(QStringLiteral("5 查看分班表"), QStringLiteral("查看自动化分班的结果，可以导出到EXCEL。"));
}

void CStepSheet::selectPage(int index)
{
    m_header->selectPage(index);
}

int CStepSheet::pageCount() const
{
    return m_header->pageCount();
}

int CStepSheet::currentPage() const
{
    return m_header->currentPage();
}

void CStepSheet::setTaskName(const QString& name)
{
    m_toolDesc->setTaskName(name);
}

void CStepSheet::setTaskLocation(const QString& location)
{
    m_toolDesc->setTaskLocation(location);
}

void CStepSheet::setTaskWarning(const QString& warning)
{
    m_toolDesc->setWarning(warning);
}

void CStepSheet::onPageSelected(int index)
{
    m_recentTasks->setVisible(index == 0);
    m_toolBox->clear();
    for (const CStepCommands::Button& b : CStepCommands::all()) {
        if (b.page == index)
            m_toolBox->addCommand(QString::fromLatin1(b.icon), static_cast<int>(b.command),
                                  QString::fromUtf8(b.caption));
    }
}

void CStepSheet::resizeEvent(QResizeEvent*)
{
    const int w = width();
    const int h = height();
    m_header->setGeometry(0, 0, w, CSheetHeader::kHeight);
    // The grid starts on the first line below the sub-header and ends where
    // the panel, CToolDesc::kHeight lines above the bottom margin, begins.
    const int gridTop = kSubHeaderBottom;
    const int gridBottom = std::max(gridTop, h - CToolDesc::kHeight - kMargin);
    m_toolBox->setGeometry(kMargin, gridTop, std::max(0, w - 2 * kMargin), gridBottom - gridTop);
    m_toolDesc->setGeometry(kMargin, gridBottom, std::max(0, w - 2 * kMargin), std::max(0, h - kMargin - gridBottom));
    // The recent tasks fill the grid below the welcome page's one row of
    // buttons, in line with the buttons.
    const int listLeft = kMargin + CToolBox::kOrigin;
    const int listTop = gridTop + CToolBox::kOrigin + CToolBox::kCellHeight + CToolBox::kGap;
    m_recentTasks->setGeometry(listLeft, listTop, std::max(0, w - kMargin - CToolBox::kOrigin - listLeft),
                               std::max(0, gridBottom - CToolBox::kGap - listTop));
}

void CStepSheet::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    // The sub-header strip under the tabs.
    const QRect subHeader(QPoint(kMargin, CSheetHeader::kHeight), QPoint(width() - kMargin - 1, kSubHeaderBottom - 1));
    QLinearGradient strip(subHeader.topLeft(), subHeader.bottomLeft());
    strip.setColorAt(0, QColor(255, 255, 255));
    strip.setColorAt(1, QColor(240, 245, 252));
    painter.fillRect(subHeader, strip);
    painter.setPen(CUIResources::frame());
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
