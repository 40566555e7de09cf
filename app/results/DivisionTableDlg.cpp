#include "DivisionTableDlg.h"

#include "DialogUnits.h"
#include "DivisionStatisticsDlg.h"
#include "DivisionTableData.h"
#include "DivisionTableModel.h"
#include "MessageBox.h"
#include "ScheduleTask.h"
#include "UICore.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableView>

using DialogUnits::toPixels;

CDivisionTableDlg::CDivisionTableDlg(CScheduleTask& task, QWidget* parent)
    : CResultTableDlg(parent), m_task(task), m_data(std::make_unique<CDivisionTableData>(task))
{
    setWindowTitle(QStringLiteral("分班表"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* label = new QLabel(QStringLiteral("班级："), this);
    label->setGeometry(toPixels(7), toPixels(9), toPixels(25), toPixels(8) + 2);
    m_chooser = new QComboBox(this);
    m_chooser->setGeometry(toPixels(34), toPixels(7), toPixels(135), toPixels(14));
    m_statisticsButton = new QPushButton(QStringLiteral("分班统计表"), this);
    m_statisticsButton->setGeometry(toPixels(181), toPixels(7), toPixels(69), toPixels(14));
    m_exportButton = new QPushButton(QStringLiteral("导出到EXCEL"), this);
    m_exportButton->setGeometry(toPixels(259), toPixels(7), toPixels(69), toPixels(14));
    // Enter must not open the statistics or the export.
    m_statisticsButton->setAutoDefault(false);
    m_exportButton->setAutoDefault(false);
    CUICore::instance()->SetAllChildWindowFont(this);

    // The class chooser: all classes first, then each class by record index.
    m_chooser->addItem(QStringLiteral("所有班级"), QString());
    for (const CClassInfo* info : CDivisionTableData::ClassesInOrder(task))
        m_chooser->addItem(QString::fromStdString(info->GetName()), QString::fromStdString(info->GetId()));

    setFrameMargins(QMargins(10, 38, 10, 10));
    setTableInset(QMargins(1, 1, 1, 2));

    m_model = new CDivisionTableModel(*m_data, this);
    m_data->Fill(); // the columns are known before the view is set up
    table()->setModel(m_model);
    for (int column = 0; column < m_model->columnCount(); ++column)
        table()->horizontalHeader()->resizeSection(column, m_model->defaultColumnWidth(column));
    table()->setColumnHidden(CDivisionTableData::ColumnId, true);

    connect(m_chooser, &QComboBox::currentIndexChanged, this, [this] { fillTable(); });
    connect(m_statisticsButton, &QPushButton::clicked, this, [this] { showStatistics(); });
    connect(m_exportButton, &QPushButton::clicked, this, [this] { exportTable(); });

    // Cover the work area of the screen (the desktop without the task bar).
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        resize(area.size());
        move(area.topLeft());
    } else {
        resize(toPixels(436), toPixels(248));
    }
    setWindowState(windowState() | Qt::WindowMaximized);
}

CDivisionTableDlg::~CDivisionTableDlg() = default;

void CDivisionTableDlg::fillTable()
{
    const std::string classId = m_chooser->currentData().toString().toStdString();
    m_model->beginRefill();
    m_data->Fill(classId);
    m_model->endRefill();
    table()->scrollToTop();
}

void CDivisionTableDlg::showStatistics()
{
    CDivisionStatisticsDlg dialog(m_task, this);
    dialog.exec();
}

void CDivisionTableDlg::exportTable()
{
    CMessageBox::information(this, QStringLiteral("分班表的导出功能将在后续版本中提供。"));
}
