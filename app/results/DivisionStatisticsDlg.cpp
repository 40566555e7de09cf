#include "DivisionStatisticsDlg.h"

#include "DialogUnits.h"
#include "DivisionChartView.h"
#include "DivisionPrinter.h"
#include "DivisionStatistics.h"
#include "DivisionStatisticsModel.h"
#include "ScheduleTask.h"
#include "MessageBox.h"
#include "TablePrinter.h"
#include "UICore.h"

#include <QHeaderView>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>

#include <algorithm>

using DialogUnits::ToPixels;

CDivisionStatisticsDlg::CDivisionStatisticsDlg(CScheduleTask& task, QWidget* parent)
    : CResultTableDlg(parent), m_task(task), m_statistics(std::make_unique<CDivisionStatistics>(task))
{
    setWindowTitle(QStringLiteral("分班统计表"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_closeButton = new QPushButton(QStringLiteral("关闭"), this);
    m_closeButton->setAutoDefault(false);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);
    m_printButton = new QPushButton(QStringLiteral("打印"), this);
    m_printButton->setAutoDefault(false);
    connect(m_printButton, &QPushButton::clicked, this, [this] { Print(); });
    // "表格 / 图表": the charts take the table's place while chosen.
    m_charts = new CDivisionChartView(task, this);
    m_charts->hide();
    m_views = new QTabBar(this);
    m_views->setShape(QTabBar::RoundedSouth);
    m_views->addTab(QStringLiteral("表格"));
    m_views->addTab(QStringLiteral("图表"));
    connect(m_views, &QTabBar::currentChanged, this, [this](int tab) {
        GetTable()->setVisible(tab == 0);
        m_charts->setVisible(tab == 1);
    });
    CUICore::instance()->SetAllChildWindowFont(this);

    // The list keeps the template's distance from the edges as the window grows.
    SetFrameMargins(QMargins(ToPixels(7), ToPixels(7), ToPixels(464 - 457), ToPixels(248 - 223)));
    SetTableInset(QMargins(1, 1, 1, 1));

    m_statistics->Calculate();
    m_model = new CDivisionStatisticsModel(this);
    m_model->Load(task.GetCustomSubjectArray(), *m_statistics);
    GetTable()->setModel(m_model);
    for (int column = 0; column < m_model->columnCount(); ++column)
        GetTable()->horizontalHeader()->resizeSection(column, m_model->DefaultColumnWidth(column));
    GetTable()->setColumnHidden(0, true);

    // The template's size, widened so that every subject's column shows
    // without scrolling where the screen has room for it.
    int columns = 0;
    for (int column = 1; column < m_model->columnCount(); ++column)
        columns += m_model->DefaultColumnWidth(column);
    const int needed = columns + ToPixels(7) + ToPixels(464 - 457) + 2
                       + GetTable()->verticalScrollBar()->sizeHint().width() + 4;
    int width = std::max(ToPixels(464), needed);
    if (const QScreen* screen = this->screen())
        width = std::min(width, screen->availableGeometry().width() - 40);
    resize(std::max(width, ToPixels(464)), ToPixels(248));
}

CDivisionStatisticsDlg::~CDivisionStatisticsDlg() = default;

void CDivisionStatisticsDlg::resizeEvent(QResizeEvent* event)
{
    CResultTableDlg::resizeEvent(event);
    const QSize button(ToPixels(69), ToPixels(14));
    m_closeButton->setGeometry(width() - ToPixels(7) - button.width(), height() - ToPixels(7) - button.height(),
                               button.width(), button.height());
    m_printButton->setGeometry(m_closeButton->x() - ToPixels(6) - button.width(), m_closeButton->y(),
                               button.width(), button.height());
    m_charts->setGeometry(GetTable()->geometry());
    m_views->setGeometry(QRect(QPoint(ToPixels(7), GetTableFrame().bottom() + 1), m_views->sizeHint()));
}

void CDivisionStatisticsDlg::Print()
{
    CTablePrinter printer;
    if (printer.StartPrint(this) != 0)
        return;
    if (!CDivisionPrinter::Print(printer, {CDivisionPrinter::Statistics(m_task)}))
        CMessageBox::Error(this, QStringLiteral("打印未能完成。"));
}
