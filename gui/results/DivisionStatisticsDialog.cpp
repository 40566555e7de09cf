#include "gui/results/DivisionStatisticsDialog.h"

#include "gui/common/DialogUnits.h"
#include "gui/results/DivisionChartView.h"
#include "gui/render/DivisionPrinter.h"
#include "core/DivisionCategoryCounts.h"
#include "core/DivisionStatistics.h"
#include "gui/results/DivisionStatisticsModel.h"
#include "base/task/ScheduleTask.h"
#include "gui/common/MessageBox.h"
#include "gui/render/TablePrinter.h"
#include "gui/common/UICore.h"
#include "gui/common/WindowPlacement.h"

#include <QHeaderView>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

using DialogUnits::toPixels;

namespace {
// The window manager's title bar and borders above and below the window.
constexpr int kFrameHeight = 48;
} // namespace

CDivisionStatisticsDialog::CDivisionStatisticsDialog(CScheduleTask& task, QWidget* parent)
    : CResultTableDialog(parent), m_task(task), m_statistics(std::make_unique<CDivisionStatistics>(task))
{
    setWindowTitle(QStringLiteral("分班统计表"));
    setObjectName(QStringLiteral("statisticsWindow"));
    CWindowPlacement::setKind(this, CWindowPlacement::Kind::Panel);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_closeButton = new QPushButton(QStringLiteral("关闭"), this);
    m_closeButton->setAutoDefault(false);
    m_closeButton->setMinimumSize(toPixels(69), toPixels(14));
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);
    m_printButton = new QPushButton(QStringLiteral("打印"), this);
    m_printButton->setAutoDefault(false);
    m_printButton->setMinimumSize(toPixels(69), toPixels(14));
    connect(m_printButton, &QPushButton::clicked, this, [this] { print(); });
    // "表格 / 图表": the charts take the table's place while chosen.
    m_charts = new CDivisionChartView(task, this);
    m_charts->hide();
    m_views = new QTabBar(this);
    m_views->setShape(QTabBar::RoundedSouth);
    m_views->addTab(QStringLiteral("表格"));
    m_views->addTab(QStringLiteral("图表"));
    connect(m_views, &QTabBar::currentChanged, this, [this](int tab) {
        if (tab == 1)
            makeRoomForCharts();
        table()->setVisible(tab == 0);
        m_charts->setVisible(tab == 1);
        update(); // the frame goes with the table
    });
    CUICore::instance()->SetAllChildWindowFont(this);

    // The list keeps the template's distance from the edges as the window
    // grows; the print and close buttons sit in the corner below it.
    const QMargins inset(1, 1, 1, 1);
    setTableInset(inset);
    QVBoxLayout* layout = contentLayout();
    layout->setContentsMargins(toPixels(7) + inset.left(), toPixels(7) + inset.top(), toPixels(7) + inset.right(),
                               toPixels(7));
    layout->setSpacing(toPixels(227 - 223) + inset.bottom()); // the list ends at 223, the button starts at 227
    layout->insertWidget(layout->indexOf(table()) + 1, m_charts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_views);
    buttons->addStretch(1);
    buttons->addWidget(m_printButton);
    buttons->addSpacing(toPixels(6));
    buttons->addWidget(m_closeButton);
    layout->addLayout(buttons);

    m_statistics->Calculate();
    m_model = new CDivisionStatisticsModel(this);
    m_model->load(task.GetCustomSubjectArray(), *m_statistics, CDivisionCategoryCounts(task));
    table()->setModel(m_model);
    QHeaderView* header = table()->horizontalHeader();
    for (int column = 0; column < m_model->columnCount(); ++column) {
        int width = m_model->defaultColumnWidth(column);
        // A category's title ("分数段:10%-30%") shows whole, with a
        // character's room to spare for the header's own margins.
        if (column >= m_model->firstCategoryColumn())
            width = std::max(width, header->sectionSizeHint(column) + header->fontMetrics().height());
        header->resizeSection(column, width);
    }
    table()->setColumnHidden(0, true);

    // The template's size, widened so that every subject's column shows
    // without scrolling where the screen has room for it.
    int columns = 0;
    for (int column = 1; column < m_model->columnCount(); ++column)
        columns += header->sectionSize(column);
    const int needed =
        columns + toPixels(7) + toPixels(464 - 457) + 2 + table()->verticalScrollBar()->sizeHint().width() + 4;
    int width = std::max(toPixels(464), needed);
    // Tall enough for every class and the "全校" row where the screen has
    // room for them: the list asks for all its rows.
    table()->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    int height = std::max(toPixels(248), sizeHint().height());
    if (const QScreen* screen = this->screen()) {
        width = std::min(width, screen->availableGeometry().width() - 40);
        height = std::min(height, screen->availableGeometry().height() - kFrameHeight);
    }
    resize(std::max(width, toPixels(464)), std::max(height, toPixels(248)));
}

CDivisionStatisticsDialog::~CDivisionStatisticsDialog() = default;

void CDivisionStatisticsDialog::makeRoomForCharts()
{
    // The charts take the table's place: the window grows by what they
    // lack there, as far as the screen leaves room, and moves up when it
    // would reach past the screen's bottom.
    const QSize lacking = (m_charts->sizeHint() - table()->size()).expandedTo(QSize(0, 0));
    QSize grown = size() + lacking;
    const QScreen* screen = this->screen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    if (screen)
        grown = grown.boundedTo(room.size() - (frameGeometry().size() - size())).expandedTo(size());
    if (grown == size())
        return;
    resize(grown);
    if (screen && isVisible() && frameGeometry().bottom() > room.bottom())
        move(x(), std::max(room.top(), y() - (frameGeometry().bottom() - room.bottom())));
}

void CDivisionStatisticsDialog::print()
{
    CTablePrinter printer;
    if (printer.StartPrint(this) != 0)
        return;
    if (!CDivisionPrinter::print(printer, {CDivisionPrinter::statistics(m_task)}))
        CMessageBox::error(this, QStringLiteral("打印未能完成。"));
}
